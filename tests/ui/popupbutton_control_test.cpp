// The `popupbutton` control on a real sheet: its pop-up edits the sheet's
// store, and a second click replaces the pop-up opened before.
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/property_sheet.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="more" name="More"><control>popupbutton</control><buttontext>Advanced...</buttontext>
        <definition name="Advanced"><page name="Extra"><parameter uid="t:extra"/></page></definition>
      </parameter>
      <parameter uid="bare" name="Bare"><control>popupbutton</control></parameter>
      <parameter uid="extra" name="Extra"><control>edit</control></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="P"><parameter uid="t:more"/><parameter uid="t:bare"/></page></sheet>
</vossik>)";

}  // namespace

class PopupButtonControlTest : public QObject {
  Q_OBJECT

 private slots:
  void PopupReplacesTheOneOpenedBefore() {
    vossik::XmlDocument document;
    vossik::testing::MustParse(document, kDescriptor);
    vossik::SettingsStore store;
    vossik::testing::MustParse(store, "[T]\nExtra=inside\n");
    vossik::CGUIPropertySheet sheet(&store);
    sheet.SetUp("Vossik", "vossik", document.Root());
    sheet.resize(640, 400);
    sheet.show();
    QCoreApplication::processEvents();

    auto* button = sheet.findChild<QPushButton*>("t:more");
    QCOMPARE(button->text(), QString("Advanced..."));
    button->click();
    QCoreApplication::processEvents();
    QList<QWidget*> popups = sheet.findChildren<QWidget*>("popup");
    QCOMPARE(popups.size(), 1);
    QPointer<QWidget> first = popups.front();
    QVERIFY(first->isVisible());
    QCOMPARE(first->windowTitle(), QString("Advanced"));
    QCOMPARE(first->findChild<QLineEdit*>("t:extra")->text(), QString("inside"));

    button->click();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    popups = sheet.findChildren<QWidget*>("popup");
    QCOMPARE(popups.size(), 1);
    QVERIFY(popups.front()->isVisible());
  }

  void WithoutDefinitionThereIsNothingToOpen() {
    vossik::XmlDocument document;
    vossik::testing::MustParse(document, kDescriptor);
    vossik::SettingsStore store;
    vossik::CGUIPropertySheet sheet(&store);
    sheet.SetUp("Vossik", "vossik", document.Root());
    sheet.show();
    QCoreApplication::processEvents();
    auto* button = sheet.findChild<QPushButton*>("t:bare");
    QCOMPARE(button->text(), QString("Edit..."));
    QVERIFY(!button->isEnabled());
    sheet.EnableAllPages(true);
    QVERIFY(!button->isEnabled());
  }
};

QTEST_MAIN(PopupButtonControlTest)
#include "popupbutton_control_test.moc"
