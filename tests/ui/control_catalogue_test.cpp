// Every catalogue type on one page: each is created, every input fits the
// text it must show within its cell, and a picture of the page is saved
// for a person to look at.
#include "ui/control_catalogue.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/temp_dir.h"
#include "ui/control_fixture.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="statictext" name="Note"><control>statictext</control><hint>Every control type</hint></parameter>
      <parameter uid="edit" name="Edit"><control>edit</control></parameter>
      <parameter uid="number" name="Number"><control>number</control></parameter>
      <parameter uid="port" name="Port"><control>port</control></parameter>
      <parameter uid="unitnumber" name="Unit number"><control>unitnumber</control><unit>seconds</unit></parameter>
      <parameter uid="slider" name="Slider"><control>slider</control><unit>%</unit></parameter>
      <parameter uid="multislider" name="Multislider"><control>multislider</control>
        <sliders number="2" bgcolor="C0C0C0"><slider from="t:low" color="FF0000"/><slider from="t:high" color="0000FF"/></sliders>
      </parameter>
      <parameter uid="low" name="Low"><default>20</default></parameter>
      <parameter uid="high" name="High"><default>70</default></parameter>
      <parameter uid="switch" name="Switch"><control>switch</control><hint>A switch</hint></parameter>
      <parameter uid="pageswitch" name="Page switch"><control>pageswitch</control><enable>t:edit</enable></parameter>
      <parameter uid="flagselect" name="Flags"><control>flagselect</control><allowed>Error,Warning,Message,Config,Service</allowed></parameter>
      <parameter uid="droplist" name="Drop list"><control>droplist</control><allowed>Off,General,Detailed</allowed></parameter>
      <parameter uid="password" name="Password" encrypted="true"><control>password</control></parameter>
      <parameter uid="iphostname" name="Host"><control>iphostname</control></parameter>
      <parameter uid="urledit" name="Address"><control>urledit</control></parameter>
      <parameter uid="filepathedit" name="Folder"><control>filepathedit</control>
        <browsebutton type="folder"/><openbutton>Open</openbutton></parameter>
      <parameter uid="time" name="Time"><control>time</control><default>23:59</default></parameter>
      <parameter uid="date" name="Date"><control>date</control><default>28/12/2026</default></parameter>
      <parameter uid="productversion" name="Version"><control>productversion</control></parameter>
      <parameter uid="linkbutton" name="Link"><control>linkbutton</control><hint>Read more</hint><url>https://example.org/</url></parameter>
      <parameter uid="browsebutton" name="Import"><control>browsebutton</control><hint>Import a file</hint></parameter>
      <parameter uid="messagebutton" name="Build"><control>messagebutton</control><buttontext>Build Index</buttontext></parameter>
      <parameter uid="popupbutton" name="More"><control>popupbutton</control>
        <definition><page name="More"><parameter uid="t:edit"/></page></definition></parameter>
      <parameter uid="htmlviewer" name="Preview" lines="3"><control>htmlviewer</control><show>t:edit</show></parameter>
      <parameter uid="list" name="List" listlines="5"><control>list</control><default>*.htm,*.txt</default>
        <import files="Lists (*.txt)|*.txt" validation="*"/></parameter>
      <parameter uid="iplist" name="Addresses"><control>iplist</control><default>127.0.0.1,::1</default></parameter>
      <parameter uid="keyvaluelist" name="Pairs"><control>keyvaluelist</control><value>Value</value>
        <default>user:ann,host:example.org</default></parameter>
      <parameter uid="textblocklist" name="Block%d" numbered="true" listlines="8"><control>textblocklist</control>
        <list>t:blockname</list><allowed>Header,Footer</allowed></parameter>
      <parameter uid="blockname" name="BlockName%d" numbered="true"/>
    </section>
  </config>
  <sheet name="Main"><page name="All">
    <parameter uid="t:statictext"/><parameter uid="t:edit"/><parameter uid="t:number"/>
    <parameter uid="t:port"/><parameter uid="t:unitnumber"/><parameter uid="t:slider"/>
    <parameter uid="t:multislider"/><parameter uid="t:switch"/><parameter uid="t:pageswitch"/>
    <parameter uid="t:flagselect"/><parameter uid="t:droplist"/><parameter uid="t:password"/>
    <parameter uid="t:iphostname"/><parameter uid="t:urledit"/><parameter uid="t:filepathedit"/>
    <parameter uid="t:time"/><parameter uid="t:date"/><parameter uid="t:productversion"/>
    <parameter uid="t:linkbutton"/><parameter uid="t:browsebutton"/><parameter uid="t:messagebutton"/>
    <parameter uid="t:popupbutton"/><parameter uid="t:htmlviewer"/>
    <parameter uid="t:list"/><parameter uid="t:iplist"/><parameter uid="t:keyvaluelist"/>
    <parameter uid="t:textblocklist" name="Text blocks"/>
  </page></sheet>
</vossik>)";

using vossik::testing::ControlFixture;

}  // namespace

class ControlCatalogueTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryTypeIsOnThePage() {
    ControlFixture f(kDescriptor);
    for (const vossik::CatalogueEntry& entry : vossik::Catalogue()) {
      const std::string uid = "t:" + std::string(entry.type_name);
      QVERIFY2(f.Control(uid.c_str()) != nullptr, uid.c_str());
    }
  }

  // The cells' pixel widths suit a smaller font than the desktop's; an input
  // that cannot show its value, or that spills out of its cell, is a fault.
  void InputsShowTheirTextWithinTheirCells() {
    vossik::testing::TempDir dir;  // the HTML view writes its preview here
    dir.ChangeInto();
    ControlFixture f(kDescriptor);
    f.page->resize(640, 1180);
    f.page->show();
    f.Set("BlockName0", "Header");
    f.Set("Block0", "<p>Welcome</p>");
    f.Set("BlockName1", "Footer");
    f.Load();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    for (const vossik::CatalogueEntry& entry : vossik::Catalogue()) {
      const std::string uid = "t:" + std::string(entry.type_name);
      vossik::ControlCell* cell = f.Control(uid.c_str())->Cell();
      for (QWidget* input : cell->findChildren<QWidget*>()) {
        if (!input->isVisible() || input->parentWidget() != cell) continue;
        const QString where = QString::fromStdString(uid) + " " + input->metaObject()->className() +
                              " " + input->objectName();
        QVERIFY2(cell->rect().contains(input->geometry()), qPrintable(where + " leaves its cell"));
        int needed = 0;
        if (qobject_cast<QAbstractSpinBox*>(input) || qobject_cast<QComboBox*>(input)) {
          needed = input->minimumSizeHint().width();
        } else if (auto* button = qobject_cast<QPushButton*>(input)) {
          // A caption needs some room on each side of it, less than a
          // default button's minimum width.
          needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        }
        QVERIFY2(
            input->width() >= needed,
            qPrintable(where + QString(" is %1 wide, needs %2").arg(input->width()).arg(needed)));
      }
    }
    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(f.page->grab().save(folder + "/control-catalogue.png"));
  }
};

QTEST_MAIN(ControlCatalogueTest)
#include "control_catalogue_test.moc"
