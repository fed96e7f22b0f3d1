// The `cachedxmllist` control on a sheet whose service bar answers from a
// script: the fetched list becomes the local copy and the grid's rows, a
// "not modified" answer keeps the copy, a missing list shows the empty
// prompt, and the rows are copied into the numbered settings of
// `cfgentry`.
#include <QCoreApplication>
#include <QPushButton>
#include <QWidget>
#include <QtTest>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "admin/admin_result.h"
#include "support/temp_dir.h"
#include "ui/data_grid.h"
#include "ui/property_page.h"
#include "ui/service_requests.h"
#include "ui/sheet_fixture.h"
#include "widgets/report_grid.h"

namespace {

using vossik::AdminResult;

// The fixture's descriptor has its own `config`; these settings are types,
// kept in the [Default] section.
constexpr char kBody[] = R"(
  <types>
      <parameter uid="pages" name="Pages" lines="8"><control>cachedxmllist</control>
        <file>pages.xml</file><populateaction>GETPAGES</populateaction>
        <emptyprompt>No index yet.</emptyprompt>
        <entry>page</entry>
        <cfgentry><parameter uid="url" from="url"/><parameter uid="both" from="url,size"/></cfgentry>
        <definition><headings><title data="url" sort="alphanumerical">Page</title>
          <title data="size" sort="size">Size</title></headings>
          <actions><option uid="4" button="Open" default=""/></actions></definition>
      </parameter>
      <parameter uid="url" name="Url%d" numbered="true"/>
      <parameter uid="both" name="Both%d" numbered="true"/>
  </types>
  <sheet name="S"><page name="Pages"><parameter uid="pages"/></page></sheet>)";

constexpr char kPages[] =
    "<?xml version=\"1.0\"?><pages total=\"2\" start=\"0\">"
    "<page><url>b.html</url><size>2048</size></page>"
    "<page><url>a.html</url><size>1024</size></page></pages>";

// A service bar that answers every request from `answer` and notes it.
class ScriptedBar : public QWidget, public vossik::ServiceRequests {
 public:
  AdminResult ServiceRequest(std::string_view action, std::time_t stamp,
                             std::string_view extra_query, std::string* reply) override {
    requests.push_back(std::string(action) + " " + std::to_string(static_cast<long long>(stamp)) +
                       std::string(extra_query));
    if (result == AdminResult::kOk) *reply = body;
    return result;
  }

  AdminResult result = AdminResult::kOk;
  std::string body = kPages;
  std::vector<std::string> requests;
};

QString Rows(vossik::ReportGrid* grid) {
  QStringList rows;
  for (int row = 0; row < grid->RowCount(); ++row) {
    rows << QString::fromStdString(grid->CellText(row, 0) + " " + grid->CellText(row, 1));
  }
  return rows.join("; ");
}

}  // namespace

class CachedXmlListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void FetchesShowsAndCopiesTheRowsIntoTheSettings() {
    auto* bar = new ScriptedBar;
    vossik::testing::SheetFixture f(
        kBody, nullptr, {}, [bar](vossik::CGUIPropertySheet& sheet) { sheet.SetServiceBar(bar); });
    auto* grid = f.Find<vossik::ReportGrid>("pages");
    QVERIFY(grid != nullptr);
    QCOMPARE(bar->requests.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(bar->requests[0]), QString("GETPAGES -1"));  // no copy yet
    QCOMPARE(Rows(grid), QString("a.html 1024; b.html 2048"));
    QCOMPARE(QString::fromStdString(vossik::testing::ReadFile(f.dir.Path() / "pages.xml")),
             QString(kPages));
    // Rows in the grid's order, and an empty entry after the last.
    auto value = [&f](const char* key) {
      const std::string* stored = f.store.FindStoredValue("Default", key);
      return stored != nullptr ? QString::fromStdString(*stored) : QString("(none)");
    };
    QCOMPARE(value("Url1"), QString("a.html"));
    QCOMPARE(value("Url2"), QString("b.html"));
    QCOMPARE(value("Both1"), QString("a.html 1024"));
    QCOMPARE(value("Url3"), QString("(none)"));

    // Not modified: the copy stays and is shown again; the request carried
    // the copy's time.
    bar->result = AdminResult::kNotModified;
    f.sheet->ActivePage()->ExchangeValues(false);
    QCOMPARE(bar->requests.size(), std::size_t{2});
    QVERIFY(bar->requests[1] != "GETPAGES -1");
    QCOMPARE(Rows(grid), QString("a.html 1024; b.html 2048"));
    QVERIFY(f.questions.isEmpty());
  }

  // An action the control has no use for goes to the main window, with
  // the selected row.
  void OtherActionsArePostedToTheMainWindow() {
    vossik::testing::SheetFixture f(kBody, nullptr, [](const vossik::testing::TempDir& dir) {
      dir.Write("pages.xml", kPages);
    });
    auto* grid = f.Find<vossik::ReportGrid>("pages");
    grid->SelectRow(1, true);
    f.main_window.events.clear();
    f.Find<QPushButton>("pages/action4")->click();
    QCoreApplication::processEvents();
    QVERIFY(f.main_window.events.contains(int(vossik::GridActionEvent::EventType())));
  }

  void AMissingListShowsTheEmptyPrompt() {
    auto* bar = new ScriptedBar;
    bar->result = AdminResult::kNotFound;
    vossik::testing::SheetFixture f(
        kBody, nullptr, {}, [bar](vossik::CGUIPropertySheet& sheet) { sheet.SetServiceBar(bar); });
    QCOMPARE(f.questions, QStringList{"Vossik Admin|No index yet."});
    QCOMPARE(f.Find<vossik::ReportGrid>("pages")->RowCount(), 0);
  }

  void WithoutAServiceTheLocalCopyIsShown() {
    vossik::testing::SheetFixture f(kBody, nullptr, [](const vossik::testing::TempDir& dir) {
      dir.Write("pages.xml", kPages);
    });
    QCOMPARE(Rows(f.Find<vossik::ReportGrid>("pages")), QString("a.html 1024; b.html 2048"));
  }
};

QTEST_MAIN(CachedXmlListControlTest)
#include "cachedxmllist_control_test.moc"
