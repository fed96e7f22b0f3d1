// The `cfglist` control with the product's own schedule of builds: a sheet
// made from the product's descriptor, with a page that shows
// schedule:builds, over a real configuration file. Rows come from the
// numbered entries, the check boxes store the entries' switches, and the
// pop-up entry viewer edits, adds and (through Delete) removes entries,
// with the later entries renumbered in the saved file.
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>
#include <memory>
#include <string>

#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/data_grid.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace {

using vossik::ReportGrid;

// The product's descriptor with a first sheet holding the schedule table.
std::string DescriptorWithSchedulePage() {
  std::string xml = vossik::testing::ReadFile(std::filesystem::path(VOSSIK_TEST_DATA_DIR) /
                                              "../../data/vossik.xml");
  const std::size_t at = xml.find("  <sheet name=\"Settings\">");
  if (at == std::string::npos) return {};
  xml.insert(at,
             "  <sheet name=\"Service\"><page name=\"Schedule\" uid=\"schedulepage\">"
             "<parameter uid=\"schedule:builds\" name=\"Scheduled builds\" resize=\"true\"/>"
             "</page></sheet>\n");
  return xml;
}

struct ScheduleSheet {
  explicit ScheduleSheet(const char* configuration) {
    dir.ChangeInto();
    vossik::testing::MustParse(document, DescriptorWithSchedulePage());
    store.SetFileName("vossikd.cfg");
    vossik::testing::MustParse(store, configuration);
    QVERIFY(store.Save() == vossik::kResultOk);
    previous_hook = vossik::SetMessageHook(
        [this](vossik::MessageKind, const std::string& title, const std::string& text) {
          questions << QString::fromStdString(title + "|" + text);
          return answer;
        });
    sheet = std::make_unique<vossik::CGUIPropertySheet>(&store);
    sheet->SetUp("Vossik", "vossik", document.Root());
    sheet->resize(640, 420);
    sheet->show();
    QCoreApplication::processEvents();
  }
  ~ScheduleSheet() { vossik::SetMessageHook(previous_hook); }

  ReportGrid* Grid() const { return sheet->findChild<ReportGrid*>("schedule:builds"); }
  QPushButton* Button(const char* caption) const {
    for (QPushButton* button : sheet->findChildren<QPushButton*>()) {
      if (button->text() == caption && button->objectName().startsWith("schedule:builds/")) {
        return button;
      }
    }
    return nullptr;
  }
  QString Rows() const {
    QStringList rows;
    ReportGrid* grid = Grid();
    for (int row = 0; row < grid->RowCount(); ++row) {
      QString text = QString::fromStdString(grid->CellText(row, 0) + " " + grid->CellText(row, 1));
      if (grid->RowCheckState(row) == vossik::RowCheck::kOn) text += " [x]";
      rows << text;
    }
    return rows.join("; ");
  }
  /// The pop-up entry viewer open now, or nullptr.
  QWidget* Viewer() const {
    const QList<QWidget*> popups = sheet->findChildren<QWidget*>("popup");
    return popups.isEmpty() ? nullptr : popups.back();
  }
  QString FileText() const {
    return QString::fromStdString(vossik::testing::ReadFile(dir.Path() / "vossikd.cfg"));
  }

  vossik::testing::TempDir dir;
  vossik::XmlDocument document;
  vossik::SettingsStore store;
  QStringList questions;
  vossik::MessageAnswer answer = vossik::MessageAnswer::kYes;
  vossik::MessageHook previous_hook;
  std::unique_ptr<vossik::CGUIPropertySheet> sheet;
};

constexpr char kTwoEntries[] =
    "[Schedule]\nTime0=3:0\nDays0=Mon+Wed+\nEnabled0=1\n"
    "Time1=22:30\nDays1=Mon+Tue+Wed+Thu+Fri+Sat+Sun+\nEnabled1=0\n"
    "Time2=6:5\nDays2=Sun+\nEnabled2=1\n";

}  // namespace

class CfgListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void RowsShowTheNumberedEntries() {
    ScheduleSheet f(kTwoEntries);
    QVERIFY(f.Grid() != nullptr);
    QCOMPARE(f.Rows(), QString("03:00 Mon, Wed [x]; 06:05 Sun [x]; 22:30 All"));
    QCOMPARE(f.sheet->findChild<QLineEdit*>("schedule:builds/count")->text(), QString("3"));

    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QVERIFY(QDir().mkpath(folder));
    f.Grid()->SelectRow(0, true);
    QVERIFY(f.sheet->grab().save(folder + "/schedule.png"));
    f.Button("Edit...")->click();
    QCoreApplication::processEvents();
    QVERIFY(f.Viewer() != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(f.Viewer()));
    QVERIFY(f.Viewer()->grab().save(folder + "/schedule-entry.png"));
  }

  void AnEmptyFirstEntryShowsNoRows() {
    ScheduleSheet f("[Schedule]\nTime1=4:0\nDays1=Mon+\n");
    QCOMPARE(f.Grid()->RowCount(), 0);
    QCOMPARE(f.sheet->findChild<QLineEdit*>("schedule:builds/count")->text(), QString("0"));
  }

  void TickingARowStoresItsEntrysSwitch() {
    ScheduleSheet f(kTwoEntries);
    ReportGrid* grid = f.Grid();
    const int row = grid->FindRow("22:30");
    const QRect cell = grid->visualRect(grid->CellIndex(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() + 8, cell.center().y()));
    QCOMPARE(grid->RowCheckState(row), vossik::RowCheck::kOn);
    QCoreApplication::processEvents();
    std::string enabled;
    QVERIFY(f.store.GetValue("Schedule", "Enabled1", "", &enabled) == vossik::kResultOk);
    QCOMPARE(QString::fromStdString(enabled), QString("1"));
    QVERIFY(f.sheet->HasChanges());
  }

  void TheViewerEditsAnEntryAndDeleteRenumbersTheRest() {
    ScheduleSheet f(kTwoEntries);
    ReportGrid* grid = f.Grid();

    // Edit the 06:05 entry (entry 2, shown second) to 7:45.
    grid->SelectRow(grid->FindRow("06:05"), true);
    f.Button("Edit...")->click();
    QCoreApplication::processEvents();
    QPointer<QWidget> viewer = f.Viewer();
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->windowTitle(), QString("Edit Scheduled Build"));
    auto* time = viewer->findChild<QTimeEdit*>("schedule:time");
    QVERIFY(time != nullptr);
    QCOMPARE(time->time(), QTime(6, 5));
    time->setTime(QTime(7, 45));
    QCoreApplication::processEvents();
    viewer->findChild<QPushButton*>("ok")->click();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(viewer.isNull());
    QVERIFY(f.FileText().contains("Time2=7:45"));
    QCOMPARE(f.Rows(), QString("03:00 Mon, Wed [x]; 07:45 Sun [x]; 22:30 All"));

    // Delete the first entry: the two after it move down by one.
    grid->SelectAllRows(false);
    grid->SelectRow(grid->FindRow("03:00"), true);
    f.Button("Delete")->click();
    QCoreApplication::processEvents();
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(f.questions.front().endsWith("|Delete the selected scheduled builds?"));
    QCOMPARE(f.Rows(), QString("07:45 Sun [x]; 22:30 All"));
    f.sheet->findChild<QPushButton*>("apply")->click();
    QCoreApplication::processEvents();
    const QString saved = f.FileText();
    QVERIFY2(saved.contains("Time0=22:30\r\nDays0=Mon+Tue+Wed+Thu+Fri+Sat+Sun+\r\nEnabled0=0") ||
                 saved.contains("Time0=22:30\nDays0=Mon+Tue+Wed+Thu+Fri+Sat+Sun+\nEnabled0=0"),
             qPrintable(saved));
    QVERIFY2(saved.contains("Time1=7:45"), qPrintable(saved));
    QVERIFY2(saved.contains("Enabled1=1"), qPrintable(saved));
    QVERIFY2(!saved.contains("Time2=") || saved.contains("Time2=\r") || saved.contains("Time2=\n"),
             qPrintable(saved));
  }

  void TheContextMenuOffersTheActionsWithTheirBreak() {
    ScheduleSheet f(kTwoEntries);
    auto* menu = f.sheet->findChild<QMenu*>("schedule:builds/menu");
    QVERIFY(menu != nullptr);
    QStringList items;
    for (QAction* action : menu->actions()) {
      items << (action->isSeparator() ? QString("|") : action->text());
    }
    QCOMPARE(items, (QStringList{"Add...", "Edit...", "|", "Delete"}));
    QVERIFY(menu->actions().front()->font().bold());  // the default item
    // The menu runs the same actions as the buttons.
    f.Grid()->SelectRow(f.Grid()->FindRow("22:30"), true);
    menu->actions().at(1)->trigger();
    QCoreApplication::processEvents();
    QVERIFY(f.Viewer() != nullptr);
    QCOMPARE(f.Viewer()->findChild<QTimeEdit*>("schedule:time")->time(), QTime(22, 30));
    // A second viewer replaces the first.
    QPointer<QWidget> first = f.Viewer();
    f.Grid()->SelectAllRows(false);
    f.Grid()->SelectRow(f.Grid()->FindRow("03:00"), true);
    emit f.Grid()->doubleClicked(f.Grid()->CellIndex(f.Grid()->FindRow("03:00"), 0));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(f.sheet->findChildren<QWidget*>("popup").size(), 1);
    QCOMPARE(f.Viewer()->findChild<QTimeEdit*>("schedule:time")->time(), QTime(3, 0));
  }

  void ADeleteAnsweredNoKeepsEveryEntry() {
    ScheduleSheet f(kTwoEntries);
    f.answer = vossik::MessageAnswer::kNo;
    f.Grid()->SelectAllRows(true);
    f.Button("Delete")->click();
    QCOMPARE(f.Grid()->RowCount(), 3);
    QVERIFY(!f.sheet->HasChanges());
  }

  void AddOpensTheViewerOnANewEntryWithTheDefaults() {
    ScheduleSheet f(kTwoEntries);
    f.Button("Add...")->click();
    QCoreApplication::processEvents();
    QPointer<QWidget> viewer = f.Viewer();
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->windowTitle(), QString("New Scheduled Build"));
    viewer->findChild<QTimeEdit*>("schedule:time")->setTime(QTime(12, 0));
    QCoreApplication::processEvents();
    viewer->findChild<QPushButton*>("ok")->click();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(viewer.isNull());
    QVERIFY2(f.FileText().contains("Time3=12:0"), qPrintable(f.FileText()));
    QVERIFY(f.FileText().contains("Days3=Mon+Tue+Wed+Thu+Fri+Sat+Sun+"));
    QCOMPARE(f.Grid()->RowCount(), 4);

    // A new entry taken as it came, with OK and no edit, is kept too: the
    // table's page counts it as a change, and Apply writes it.
    f.Button("Add...")->click();
    QCoreApplication::processEvents();
    viewer = f.Viewer();
    QVERIFY(viewer != nullptr);
    viewer->findChild<QPushButton*>("ok")->click();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCOMPARE(f.Grid()->RowCount(), 5);
    QVERIFY(f.sheet->HasChanges());
    f.sheet->findChild<QPushButton*>("apply")->click();
    QCoreApplication::processEvents();
    QVERIFY2(f.FileText().contains("Time4=3:0"), qPrintable(f.FileText()));
    QVERIFY(f.FileText().contains("Enabled4=1"));
  }
};

QTEST_MAIN(CfgListControlTest)
#include "cfglist_control_test.moc"
