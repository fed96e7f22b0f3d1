// The settings sheet over a real store and configuration file: applying,
// cancelling, the descriptor's button settings, sheets and shortcuts, its
// configuration source and service bar, and the events it sends the
// application.
#include "ui/property_sheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "ui/sheet_fixture.h"
#include "xml/xml_document.h"

namespace {

constexpr char kTwoPages[] = R"(
  <gui minx="300" miny="200" oktext="" applytext="Save" okshow="false"/>
  <sheet name="Main">
    <page name="Source" uid="pagesource" icon="icons/source.bmp"><parameter uid="index:dirsrc"/></page>
    <page name="Target" uid="pagetarget"><parameter uid="index:dirdest"/><parameter uid="index:build"/></page>
    <page name="Log" icon="icons/log.bmp"/>
  </sheet>)";

void WriteIcon(const vossik::testing::TempDir& dir, const char* name) {
  std::filesystem::create_directories(dir.Path() / "icons");
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::blue);
  QVERIFY(pixmap.save(QString::fromStdString((dir.Path() / "icons" / name).string()), "BMP"));
}

// A configuration source that keeps its own store and records what the
// sheet asks of it.
class RecordingSource : public vossik::SheetConfigurationSource {
 public:
  RecordingSource() { vossik::testing::MustParse(store, "[Index]\nDirSrc=/remote\n"); }

  vossik::SettingsStore* LoadConfiguration(vossik::CGUIPropertySheet&) override {
    calls << "load";
    return &store;
  }
  bool ApplyConfiguration(vossik::CGUIPropertySheet&, vossik::SettingsStore& applied) override {
    calls << (&applied == &store ? "apply" : "apply to another store");
    return apply_succeeds;
  }
  void DiscardChanges(vossik::CGUIPropertySheet&, vossik::SettingsStore&) override {
    calls << "discard";
  }
  void Closing(vossik::CGUIPropertySheet&) override { calls << "closing"; }
  std::string WorkingFolder() const override { return "remote"; }

  vossik::SettingsStore store;
  bool apply_succeeds = true;
  QStringList calls;
};

using Fixture = vossik::testing::SheetFixture;

}  // namespace

class PropertySheetTest : public QObject {
  Q_OBJECT

 private slots:
  void ApplyWritesTheConfigurationFile() {
    Fixture f(kTwoPages);
    QVERIFY(!f.Find("apply")->isEnabled());
    QCOMPARE(f.Find<QLineEdit>("index:dirsrc")->text(), QString("/old"));

    f.Type("index:dirsrc", "/new");
    QVERIFY(f.Find("apply")->isEnabled());
    QVERIFY(!f.FileText().contains("/old/new"));

    f.Find<QPushButton>("apply")->click();
    QVERIFY(f.FileText().contains("DirSrc=/old/new"));
    QVERIFY(!f.sheet->Modified());
    QVERIFY(!f.Find("apply")->isEnabled());
    QCoreApplication::processEvents();
    QVERIFY(f.main_window.events.contains(int(vossik::kConfigurationChangedEvent)));
  }

  // An edit on one page survives a page change and reaches the file on OK.
  void OkCommitsEveryVisitedPage() {
    Fixture f(kTwoPages);
    QSignalSpy closed(f.sheet.get(), &vossik::CGUIPropertySheet::CloseRequested);
    f.Type("index:dirsrc", "/more");
    f.sheet->ActivatePage(1);
    QVERIFY(f.sheet->Modified());
    QVERIFY(f.Find("apply")->isEnabled());
    f.Type("index:dirdest", "search");
    f.sheet->Ok();
    QVERIFY(f.FileText().contains("DirSrc=/old/more"));
    QVERIFY(f.FileText().contains("DirDest=search"));
    QCOMPARE(closed.count(), 1);
  }

  void Cancel_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("commit");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("stored");
    QTest::newRow("no changes: closes at once") << false << false << false << 0 << true << "/old";
    QTest::newRow("uncommitted edit, No: stays open")
        << true << false << false << 1 << false << "/old";
    QTest::newRow("committed edit, No: keeps it") << true << true << false << 1 << false << "/oldx";
    QTest::newRow("committed edit, Yes: discarded") << true << true << true << 1 << true << "/old";
  }
  void Cancel() {
    QFETCH(bool, edit);
    QFETCH(bool, commit);
    QFETCH(bool, yes);
    QFETCH(int, questions);
    QFETCH(bool, closes);
    QFETCH(QString, stored);
    Fixture f(kTwoPages);
    QSignalSpy closed(f.sheet.get(), &vossik::CGUIPropertySheet::CloseRequested);
    if (edit) f.Type("index:dirsrc", "x");
    if (commit) f.sheet->ActivatePage(1);
    f.answer = yes ? vossik::MessageAnswer::kYes : vossik::MessageAnswer::kNo;

    f.Find<QPushButton>("cancel")->click();
    QCOMPARE(f.questions.size(), questions);
    if (questions > 0) {
      QCOMPARE(f.questions.front(),
               QString("Vossik Admin|Are you sure you wish to cancel and lose all changes since "
                       "the last Apply?"));
    }
    QCOMPARE(closed.count(), closes ? 1 : 0);
    std::string value;
    static_cast<void>(f.store.GetValue("Index", "DirSrc", "", &value));  // compared below
    QCOMPARE(QString::fromStdString(value), stored);
    if (edit && !closes) QCOMPARE(f.Find<QLineEdit>("index:dirsrc")->text(), QString("/oldx"));
  }

  // OK with a file that cannot be written warns and keeps the window open
  // with the edits, so that nothing is lost.
  void OkStaysOpenWhenTheSaveFails() {
    Fixture f(kTwoPages);
    QSignalSpy closed(f.sheet.get(), &vossik::CGUIPropertySheet::CloseRequested);
    f.store.SetFileName((f.dir.Path() / "missing" / "vossik.cfg").string());
    f.Type("index:dirsrc", "/kept");
    f.sheet->Ok();
    QCOMPARE(f.questions.size(), 1);
    QCOMPARE(closed.count(), 0);
    QVERIFY(f.sheet->Modified());
    QCOMPARE(f.Find<QLineEdit>("index:dirsrc")->text(), QString("/old/kept"));
  }

  // No sheet button is the default button, but Enter on a focused one
  // presses it.
  void EnterPressesTheFocusedButton() {
    Fixture f(kTwoPages);
    f.Type("index:dirsrc", "x");
    auto* apply = f.Find<QPushButton>("apply");
    apply->setFocus();
    QTest::keyClick(apply, Qt::Key_Return);
    QVERIFY(f.FileText().contains("DirSrc=/oldx"));
    // Enter in an input presses nothing.
    f.Type("index:dirsrc", "y");
    QTest::keyClick(f.Find("index:dirsrc"), Qt::Key_Return);
    QVERIFY(!f.FileText().contains("/oldxy"));
  }

  void ButtonsFollowTheGuiElement() {
    Fixture f(kTwoPages);
    QVERIFY(f.Find("ok")->isHidden());
    QCOMPARE(f.Find<QPushButton>("ok")->text(), QString("OK"));
    QCOMPARE(f.Find<QPushButton>("apply")->text(), QString("Save"));
    QVERIFY(!f.Find("cancel")->isHidden());
    QVERIFY(!f.Find("help")->isHidden() && f.Find("help")->isEnabled());
    QVERIFY(f.Find("selector") == nullptr);
    // The larger of minx and 71 per tab.
    QCOMPARE(f.sheet->minimumSize(), QSize(300, 200));
    QCOMPARE(f.Find("help")->geometry(), QRect(640 - 80, 400 - 26, 64, 22));
  }

  void SeveralSheetsGetTheSelector() {
    Fixture f(R"(<gui minx="100" miny="150"/>
      <sheet name="Index">
        <page name="Source"><parameter uid="index:dirsrc"/></page>
        <page name="Target" shortcut="T"><parameter uid="index:dirdest"/></page>
      </sheet>
      <sheet name="Log"><page name="Log"/></sheet>)");
    auto* selector = f.Find<QTreeWidget>("selector");
    QVERIFY(selector != nullptr);
    QCOMPARE(f.sheet->minimumSize(), QSize(71 * 2 + 140, 150));
    QCOMPARE(f.Find("tabs")->x(), 140);

    // Tree items name pages without their mnemonic marks.
    selector->setCurrentItem(selector->topLevelItem(0)->child(1));
    QCOMPARE(f.sheet->ActivePageIndex(), 1);
    selector->setCurrentItem(selector->topLevelItem(1));
    QCOMPARE(QString::fromStdString(f.sheet->CurrentSheetName()), QString("Log"));
    QCOMPARE(f.sheet->PageCount(), 1);
  }

  void AltKeyActivatesTheShortcutPage_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("page");
    QTest::newRow("upper case") << int(Qt::Key_Q) << 1;
    QTest::newRow("later page wins") << int(Qt::Key_G) << 2;
    QTest::newRow("no page") << int(Qt::Key_Z) << 0;
  }
  void AltKeyActivatesTheShortcutPage() {
    QFETCH(int, key);
    QFETCH(int, page);
    Fixture f(R"(<sheet name="Main">
        <page name="General" shortcut="G"><parameter uid="index:dirsrc"/></page>
        <page name="Queue" shortcut="q"/>
        <page name="Logs" shortcut="g"/>
      </sheet>)");
    QCOMPARE(f.sheet->ShortcutPage('Q'), 1);
    QTest::keyClick(f.Find("index:dirsrc"), Qt::Key(key), Qt::AltModifier);
    QCOMPARE(f.sheet->ActivePageIndex(), page);
  }

  void HelpAndBuildButtonsReachTheApplication() {
    Fixture f(kTwoPages);
    QStringList help;
    f.sheet->SetHelpHook(
        [&help](const std::string& base, const std::string& sheet, const std::string& page) {
          help << QString::fromStdString(base + "/" + sheet + "/" + page);
        });
    f.sheet->ActivatePage(1);
    f.Find<QPushButton>("help")->click();
    QTest::keyClick(f.sheet->ActivePage(), Qt::Key_F1);
    QCOMPARE(help, QStringList({"vossik/Main/pagetarget", "vossik/Main/pagetarget"}));

    auto* build = f.Find<QPushButton>("index:build");
    QCOMPARE(build->text(), QString("Build now"));
    build->click();
    QCoreApplication::processEvents();
    QVERIFY(f.main_window.events.contains(int(vossik::kStartMainTaskEvent)));
  }

  // Each tab gets its own page's icon even when an earlier page has none.
  void TabIconsFollowTheirPages() {
    Fixture f(kTwoPages, nullptr, [](const vossik::testing::TempDir& dir) {
      WriteIcon(dir, "log.bmp");
      WriteIcon(dir, "disabled.bmp");
    });
    auto* tabs = f.Find<QTabWidget>("tabs");
    QVERIFY(tabs->tabIcon(0).isNull());  // icons/source.bmp is missing
    QVERIFY(tabs->tabIcon(1).isNull());
    QVERIFY(!tabs->tabIcon(2).isNull());
    // log.bmp and disabled.bmp from the files, settingspage.bmp built in.
    QCOMPARE(f.sheet->Images().size(), std::size_t(3));
  }

  // The source gives the store the pages edit and keeps or drops the
  // edits; the working folder of the controls is its own.
  void TheSourceCarriesTheConfiguration() {
    RecordingSource source;
    Fixture f(kTwoPages, nullptr, {}, [&source](vossik::CGUIPropertySheet& sheet) {
      sheet.SetConfigurationSource(&source);
    });
    QCOMPARE(f.sheet->Store(), &source.store);
    QCOMPARE(f.Find<QLineEdit>("index:dirsrc")->text(), QString("/remote"));
    QCOMPARE(QString::fromStdString(f.sheet->ActivePage()->Controls()[0]->WorkingFolder()),
             QString("remote"));

    source.apply_succeeds = false;
    f.Type("index:dirsrc", "x");
    f.Find<QPushButton>("apply")->click();
    QVERIFY(f.sheet->Modified());
    source.apply_succeeds = true;
    f.Find<QPushButton>("apply")->click();
    QVERIFY(!f.sheet->Modified());
    QCoreApplication::processEvents();
    QCOMPARE(f.main_window.events.count(int(vossik::kConfigurationChangedEvent)), 1);

    f.Type("index:dirsrc", "y");
    f.answer = vossik::MessageAnswer::kYes;
    f.Find<QPushButton>("cancel")->click();
    QCOMPARE(source.calls, QStringList({"load", "apply", "apply", "discard", "closing"}));
    QVERIFY(!f.FileText().contains("/remote"));
  }

  // The service bar sits between the tabs and the buttons.
  void TheServiceBarHasItsPlace() {
    Fixture f(kTwoPages, nullptr, {}, [](vossik::CGUIPropertySheet& sheet) {
      auto* bar = new QWidget;
      bar->setObjectName("servicebar");
      sheet.SetServiceBar(bar);
    });
    QWidget* bar = f.Find("servicebar");
    QVERIFY(bar != nullptr && bar->isVisible());
    const vossik::Rect r = vossik::LayOutSheet(640, 400, false, true, false).service_bar;
    QCOMPARE(bar->geometry(), QRect(r.left, r.top, r.width, r.height));
  }

  // A sheet whose window closes without OK or Cancel asks, with a service
  // bar, whether its changes are to be dropped, and closes whatever the
  // answer.
  void ClosingTheWindowAsksWithAServiceBar_data() {
    QTest::addColumn<bool>("bar");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("stored");
    QTest::newRow("no bar: no question") << false << false << 0 << "/oldx";
    QTest::newRow("bar, No: the edits stay") << true << false << 1 << "/oldx";
    QTest::newRow("bar, Yes: the edits go") << true << true << 1 << "/old";
  }
  void ClosingTheWindowAsksWithAServiceBar() {
    QFETCH(bool, bar);
    QFETCH(bool, yes);
    QFETCH(int, questions);
    QFETCH(QString, stored);
    Fixture f(kTwoPages, nullptr, {}, [bar](vossik::CGUIPropertySheet& sheet) {
      if (bar) sheet.SetServiceBar(new QWidget);
    });
    // With a bar the pages wait for it to enable them.
    f.sheet->EnableAllPages(true);
    f.Type("index:dirsrc", "x");
    f.sheet->ActivatePage(1);  // commits the edit to the store
    f.answer = yes ? vossik::MessageAnswer::kYes : vossik::MessageAnswer::kNo;

    QVERIFY(f.sheet->close());
    QCOMPARE(f.questions.size(), questions);
    QVERIFY(!f.sheet->isVisible());
    QCOMPARE(f.Stored("DirSrc"), stored);
  }

  // No question in a destructor: a sheet destroyed with unapplied changes
  // goes quietly.
  void DestroyingTheSheetAsksNothing() {
    Fixture f(kTwoPages, nullptr, {},
              [](vossik::CGUIPropertySheet& sheet) { sheet.SetServiceBar(new QWidget); });
    f.sheet->EnableAllPages(true);
    f.Type("index:dirsrc", "x");
    QVERIFY(f.sheet->HasChanges());
    f.sheet.reset();
    QVERIFY(f.questions.isEmpty());
  }
};

QTEST_MAIN(PropertySheetTest)
#include "property_sheet_test.moc"
