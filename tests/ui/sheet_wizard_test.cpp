// The first-run wizard on a real sheet: the wizard the command line asks
// for, its fixed size, Back, Next and Finish, skipping on a switch, and its
// own Cancel question.
#include "ui/sheet_wizard.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "ui/property_sheet.h"
#include "ui/sheet_fixture.h"
#include "xml/xml_document.h"

namespace {

using Fixture = vossik::testing::SheetFixture;

}  // namespace

class SheetWizardTest : public QObject {
  Q_OBJECT

 private slots:
  void FindWizard_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("found");
    QTest::newRow("by uid") << "other"
                            << "Other";
    QTest::newRow("nested") << "deep"
                            << "Deep";
    QTest::newRow("no match: the first") << "none"
                                         << "Setup";
  }
  void FindWizard() {
    QFETCH(QString, uid);
    QFETCH(QString, found);
    vossik::XmlDocument document;
    QCOMPARE(document.Parse(R"(<vossik><wizard uid="setup" name="Setup"/>
        <wizard uid="other" name="Other"/><group><wizard uid="deep" name="Deep"/></group></vossik>)"),
             0);
    const vossik::XmlNode* wizard =
        vossik::SheetWizard::FindWizard(document.Root(), uid.toStdString());
    QVERIFY(wizard != nullptr);
    QCOMPARE(QString::fromStdString(*wizard->Attribute("name")), found);

    vossik::XmlDocument none;
    QCOMPARE(none.Parse("<vossik><sheet/></vossik>"), 0);
    QVERIFY(vossik::SheetWizard::FindWizard(none.Root(), "setup") == nullptr);
  }

  void WizardSkipsOnItsSwitch() {
    Fixture f(R"(
      <sheet name="Main"><page name="Not in the wizard"/></sheet>
      <wizard uid="setup">
        <gui minx="420" miny="300"/>
        <sheet name="Setup">
          <page name="Start" skiponenable="index:skip" skipto="2"><parameter uid="index:skip"/></page>
          <page name="Source"><parameter uid="index:dirsrc"/></page>
          <page name="Done"/>
        </sheet>
      </wizard>
      <wizard uid="other"><sheet name="Other"><page name="Other"/></sheet></wizard>)",
              "no such wizard");
    QCOMPARE(f.sheet->PageCount(), 3);  // the first wizard
    QCOMPARE(f.sheet->minimumSize(), QSize(420, 300));
    QCOMPARE(f.sheet->maximumSize(), QSize(420, 300));
    QVERIFY(!f.Find("ok")->isVisible());

    f.Find<QPushButton>("next")->click();
    QCOMPARE(f.sheet->ActivePageIndex(), 1);
    f.Find<QPushButton>("back")->click();
    QCOMPARE(f.sheet->ActivePageIndex(), 0);

    f.Find<QCheckBox>("index:skip")->click();
    QCoreApplication::processEvents();
    f.Find<QPushButton>("next")->click();
    QCOMPARE(f.sheet->ActivePageIndex(), 2);
    QVERIFY(f.Find("finish")->isVisible());
    QVERIFY(!f.Find("next")->isVisible());
    f.Find<QPushButton>("back")->click();
    QCOMPARE(f.sheet->ActivePageIndex(), 0);

    // A wizard asks its own cancel question.
    f.Find<QPushButton>("cancel")->click();
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(
        f.questions.front().startsWith("Vossik Admin|Are you sure you wish to cancel and lose all "
                                       "changes so far?\nYou can rerun"));
  }

  // Finish on the last page is OK: the edits reach the file and the
  // wizard asks to be closed.
  void FinishKeepsTheSettings() {
    Fixture f(R"(<wizard uid="setup"><sheet name="Setup">
        <page name="Source"><parameter uid="index:dirsrc"/></page><page name="Done"/>
      </sheet></wizard>)",
              "setup");
    QSignalSpy closed(f.sheet.get(), &vossik::CGUIPropertySheet::CloseRequested);
    f.Type("index:dirsrc", "/site");
    f.Find<QPushButton>("next")->click();
    f.Find<QPushButton>("finish")->click();
    QVERIFY(f.FileText().contains("DirSrc=/old/site"));
    QCOMPARE(closed.count(), 1);
  }

  // A page's required values hold Next and Finish back until they are given.
  void RequiredValuesHoldTheWizard() {
    Fixture f(R"(<wizard uid="setup"><sheet name="Setup">
        <page name="Source"><parameter uid="index:dirsrc" required="true"/></page>
        <page name="Search"><parameter uid="index:dirdest" required="true"/></page>
      </sheet></wizard>)",
              "setup");
    auto* next = f.Find<QPushButton>("next");
    QVERIFY(next->isEnabled());  // the stored /old
    f.Find<QLineEdit>("index:dirsrc")->clear();
    QTest::keyClick(f.Find<QLineEdit>("index:dirsrc"), Qt::Key_Space);
    QCoreApplication::processEvents();
    QVERIFY(!next->isEnabled());  // blanks are no folder
    f.Type("index:dirsrc", "/site");
    QVERIFY(next->isEnabled());

    next->click();
    QVERIFY(!f.Find<QPushButton>("finish")->isEnabled());  // no search folder stored
    f.Type("index:dirdest", "search");
    QVERIFY(f.Find<QPushButton>("finish")->isEnabled());
  }
};

QTEST_MAIN(SheetWizardTest)
#include "sheet_wizard_test.moc"
