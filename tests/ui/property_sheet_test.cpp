// The settings sheet over a real store and configuration file: applying,
// cancelling, the descriptor's button settings, sheets and shortcuts, the
// wizard, and the events it sends the application.
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
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

constexpr char kConfig[] = R"(
  <config>
    <section uid="index" name="Index">
      <parameter uid="dirsrc" name="DirSrc"><control>edit</control></parameter>
      <parameter uid="dirdest" name="DirDest"><control>edit</control></parameter>
      <parameter uid="skip" name="Skip"><control>switch</control></parameter>
      <parameter uid="build" name="Build"><control>messagebutton</control><buttontext>Build now</buttontext></parameter>
    </section>
  </config>)";

constexpr char kSheetAndPopup[] = R"(
  <sheet name="Main"><page name="Source"><parameter uid="index:dirsrc"/></page></sheet>
  <definition name="Entry"><page name="Entry"><parameter uid="index:dirdest"/></page></definition>)";

constexpr char kTwoPages[] = R"(
  <gui minx="300" miny="200" oktext="" applytext="Save" okshow="false"/>
  <sheet name="Main">
    <page name="Source" uid="pagesource" icon="icons/source.bmp"><parameter uid="index:dirsrc"/></page>
    <page name="Target" uid="pagetarget"><parameter uid="index:dirdest"/><parameter uid="index:build"/></page>
    <page name="Log" icon="icons/log.bmp"/>
  </sheet>)";

// Records the events the sheet sends to the application's main window.
class MainWindow : public QObject {
 public:
  QList<int> events;

 protected:
  bool event(QEvent* e) override {
    events << int(e->type());
    return QObject::event(e);
  }
};

void WriteIcon(const vossik::testing::TempDir& dir, const char* name) {
  std::filesystem::create_directories(dir.Path() / "icons");
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::blue);
  QVERIFY(pixmap.save(QString::fromStdString((dir.Path() / "icons" / name).string()), "BMP"));
}

struct Fixture {
  explicit Fixture(const char* body, const char* wizard = nullptr,
                   const std::function<void(const vossik::testing::TempDir&)>& prepare = {}) {
    dir.ChangeInto();
    if (prepare) prepare(dir);
    document.Parse(std::string("<vossik>") + kConfig + body + "</vossik>");
    store.SetFileName("vossik.cfg");
    store.Parse("[Index]\nDirSrc=/old\n");
    store.Save();
    previous_hook = vossik::SetMessageHook(
        [this](vossik::MessageKind, const std::string& title, const std::string& text) {
          questions << QString::fromStdString(title + "|" + text);
          return answer;
        });
    sheet = std::make_unique<vossik::CGUIPropertySheet>(&store);
    sheet->SetWizardUid(wizard);
    sheet->SetMainWindow(&main_window);
    sheet->SetUp("Vossik", "vossik", document.Root());
    sheet->resize(640, 400);
    sheet->show();
    QCoreApplication::processEvents();  // event 2025 attaches the store
  }
  ~Fixture() { vossik::SetMessageHook(previous_hook); }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return sheet->findChild<T*>(name);
  }
  QString FileText() const {
    return QString::fromStdString(vossik::testing::ReadFile(dir.Path() / "vossik.cfg"));
  }
  void Type(const char* uid, const char* text) {
    QTest::keyClicks(Find(uid), text);
    QCoreApplication::processEvents();
  }
  /// Opens a pop-up for the descriptor's `definition` and types `text` into
  /// its DirDest.
  vossik::CGUIPropertySheet* OpenPopupAndType(const char* text) {
    vossik::CGUIPropertySheet* popup =
        sheet->OpenPopup(document.Root()->FindElement("definition"), "Edit");
    QCoreApplication::processEvents();
    QTest::keyClicks(popup->findChild<QWidget*>("index:dirdest"), text);
    QCoreApplication::processEvents();
    return popup;
  }

  vossik::testing::TempDir dir;
  vossik::XmlDocument document;
  vossik::SettingsStore store;
  MainWindow main_window;
  QStringList questions;
  vossik::MessageAnswer answer = vossik::MessageAnswer::kNo;
  vossik::MessageHook previous_hook;
  std::unique_ptr<vossik::CGUIPropertySheet> sheet;
};

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
    f.store.GetValue("Index", "DirSrc", "", &value);
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
    QCOMPARE(f.sheet->Images().size(), std::size_t(2));
  }

  void PopupSharesTheStoreAndAppliesThroughItsOwner() {
    Fixture f(kSheetAndPopup);
    vossik::CGUIPropertySheet* popup = f.OpenPopupAndType("entry");
    QCOMPARE(popup->window()->windowTitle(), QString("Edit Entry"));
    QCOMPARE(popup->window()->minimumSize(), QSize(680, 260));
    QCOMPARE(popup->Store(), &f.store);
    QCOMPARE(popup->PageCount(), 1);
    QCOMPARE(popup->geometry(),
             QRect(4, 4, popup->window()->width() - 8, popup->window()->height() - 8));

    // OK on the pop-up applies the shared store through its owner.
    popup->Ok();
    QVERIFY(f.FileText().contains("DirDest=entry"));
    QVERIFY(!f.sheet->Modified());
  }

  // Cancelling a pop-up takes back its own edits only: the owner's
  // unapplied edits in the shared store stay.
  void PopupCancelKeepsTheOwnersEdits() {
    Fixture f(R"(<sheet name="Main"><page name="Source"><parameter uid="index:dirsrc"/></page>
      <page name="Other"/></sheet>
      <definition name="Entry"><page name="Entry"><parameter uid="index:dirdest"/></page>
      <page name="More"/></definition>)");
    f.Type("index:dirsrc", "/owner");
    f.sheet->ActivatePage(1);  // the owner's edit is now in the store
    vossik::CGUIPropertySheet* popup = f.OpenPopupAndType("entry");
    popup->ActivatePage(1);  // and so is the pop-up's
    f.answer = vossik::MessageAnswer::kYes;
    popup->Cancel();
    QCOMPARE(f.questions.size(), 1);

    std::string source, target;
    f.store.GetValue("Index", "DirSrc", "", &source);
    f.store.GetValue("Index", "DirDest", "", &target);
    QCOMPARE(QString::fromStdString(source), QString("/old/owner"));
    QCOMPARE(QString::fromStdString(target), QString());
    QVERIFY(f.sheet->Modified());
  }

  // The pop-up's close box is its Cancel: it asks, and No keeps it open.
  void PopupCloseBoxAsksFirst() {
    Fixture f(kSheetAndPopup);
    QPointer<QWidget> window = f.OpenPopupAndType("entry")->window();

    window->close();
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(window->isVisible());

    f.answer = vossik::MessageAnswer::kYes;
    window->close();
    QTRY_VERIFY(window.isNull());
  }
};

QTEST_MAIN(PropertySheetTest)
#include "property_sheet_test.moc"
