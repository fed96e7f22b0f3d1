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
      <parameter uid="xmlfields" name="Fetched files"><control>xmlfields</control>
        <file>fetched.xml</file><populateaction>FILE://fetched.txt</populateaction></parameter>
      <parameter uid="statscontrol" name="Statistics"><control>statscontrol</control>
        <file>statistics.xml</file><populateaction>FILE://statistics.txt</populateaction>
        <definition>
          <statistic name="Pages" from="Pages"/><statistic name="Words" from="Words" align="right"/>
          <statistic name="Build time" type="graph" xaxis="Build" yaxis="Seconds" from="BuildSeconds"><color>2D6FC0</color></statistic>
          <statistic name="Pages by type" type="pie" from="FileTypePages" titles="html,txt"/>
        </definition></parameter>
      <parameter uid="logcontrol" name="Log" lines="4"><control>logcontrol</control>
        <file>log.xml</file><populateaction>FILE://log.txt</populateaction><logfile>Test</logfile><color>FFFFF0</color></parameter>
      <parameter uid="xmllist" name="Report" lines="7"><control>xmllist</control><file>rows.xml</file><entry>row</entry><batch size="250"/>
        <definition><headings><title data="n" sort="numerical" width="60">N</title><title data="name" width="200">Name</title></headings>
          <levels column="n" color0="DDEEFF" color1="BBDDFF" color2="99CCFF" color3="77BBFF"/></definition></parameter>
      <parameter uid="cfglist" name="Entries" lines="6"><control>cfglist</control><entryenable uid="t:on"/>
        <definition><headings><title width="120">Key</title><title data="value" width="200">Value</title></headings>
          <entrydata><parameter uid="t:key" show="true"/><parameter uid="t:value" show="true"/></entrydata>
          <actions><option uid="1" button="Add..." entry="new" verb="New"/><option uid="2" button="Edit..." verb="Edit" default=""/>
            <spacer/><option uid="3" button="Delete" delete=""/></actions>
          <entryviewer name="Entry"><page name="Entry"><parameter uid="t:key"/><parameter uid="t:value"/></page></entryviewer>
        </definition></parameter>
      <parameter uid="key" name="Key%d" numbered="true"><control>edit</control></parameter>
      <parameter uid="value" name="Value%d" numbered="true"><control>edit</control></parameter>
      <parameter uid="on" name="On%d" numbered="true"><control>switch</control></parameter>
      <parameter uid="cachedxmllist" name="Fetched" lines="5"><control>cachedxmllist</control><file>cached.xml</file><entry>row</entry>
        <definition><headings><title data="n" width="60">N</title><title data="name" width="200">Name</title></headings></definition></parameter>
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
    <parameter uid="t:popupbutton"/><parameter uid="t:htmlviewer"/><parameter uid="t:xmlfields"/>
    <parameter uid="t:statscontrol"/><parameter uid="t:logcontrol"/>
    <parameter uid="t:xmllist"/><parameter uid="t:cfglist"/><parameter uid="t:cachedxmllist"/>
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
    dir.Write("statistics.txt",
              "[Statistics]\nPages=812\nWords=40211\nBuildSeconds=2.1,2.35,1.9,2.41\n"
              "FileTypePages=800,12\n");
    dir.Write("log.txt", "Started\nIndexed 812 pages\n");
    dir.Write("rows.xml",
              "<list><row><n>80</n><name>eighty</name></row><row><n>35</n><name>thirty-five</name>"
              "</row><row><n>10</n><name>ten</name></row></list>");
    dir.Write("cached.xml", "<list><row><n>1</n><name>a fetched row</name></row></list>");
    ControlFixture f(kDescriptor);
    f.Set("Key0", "first");
    f.Set("Value0", "a value");
    f.Set("On0", "1");
    f.Set("Key1", "second");
    f.page->resize(640, 2400);
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
