// The `xmllist` control: rows from an XML file under the working folder, in
// batches with "<<", ">>" and the batch drop-down, its view kept as
// preferences; and the product's pages report over the pages of a real
// build, sorted by size, with a picture of it.
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <string>

#include "indexer/index_builder.h"
#include "indexer/index_options.h"
#include "indexer/worker_thread.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "ui/control_fixture.h"
#include "ui/property_page.h"
#include "widgets/report_grid.h"

namespace {

using vossik::ReportGrid;
using vossik::testing::ControlFixture;

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="report" name="Report" lines="10"><control>xmllist</control>
        <file>rows.xml</file><entry>row</entry><batch size="250"/>
        <definition>
          <headings><title data="n" sort="numerical" width="60">N</title><title data="name">Name</title></headings>
          <levels column="n" color0="FF0000"/>
        </definition>
      </parameter>
      <parameter uid="plain" name="Plain" lines="4"><control>xmllist</control>
        <file>rows.xml</file><entry>row</entry>
        <definition><headings><title data="n" sort="numerical">N</title></headings></definition>
      </parameter>
    </section>
  </config>
  <sheet name="S"><page name="P"><parameter uid="t:report"/><parameter uid="t:plain"/></page></sheet>
</vossik>)";

// `count` rows numbered from the last down, so that sorting shows.
void WriteRows(const vossik::testing::TempDir& dir, int count, const char* root = "<list>") {
  std::string xml = root;
  for (int i = count - 1; i >= 0; --i) {
    xml += "<row><n>" + std::to_string(i) + "</n><name>row " + std::to_string(i) + "</name></row>";
  }
  xml += "</list>";
  dir.Write("rows.xml", xml);
}

ReportGrid* GridOf(const ControlFixture& f, const char* uid) { return f.Find<ReportGrid>(uid); }

QString BatchText(const ControlFixture& f) {
  return f.Find<QComboBox>("t:report/batch")->lineEdit()->text();
}

}  // namespace

class XmlListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void BatchesStepThroughTheRowsAndShowAllShowsTenThousand() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    WriteRows(dir, 12000);
    ControlFixture f(kDescriptor);
    f.page->resize(600, 400);
    f.Load();
    ReportGrid* grid = GridOf(f, "t:report");
    QCOMPARE(grid->RowCount(), 250);
    QCOMPARE(QString::fromStdString(grid->CellText(0, 0)), QString("0"));  // sorted by N
    QCOMPARE(BatchText(f), QString("0-250 of 12000"));
    auto* previous = f.Find<QPushButton>("t:report/previous");
    auto* next = f.Find<QPushButton>("t:report/next");
    QVERIFY(!previous->isEnabled());
    QVERIFY(next->isEnabled());

    next->click();
    QCOMPARE(BatchText(f), QString("250-500 of 12000"));
    QCOMPARE(QString::fromStdString(grid->CellText(0, 0)), QString("250"));
    QVERIFY(previous->isEnabled());

    // "Show All": a batch of 10000 from the first row.
    emit f.Find<QComboBox>("t:report/batch")->activated(5);
    QCOMPARE(grid->RowCount(), 10000);
    QCOMPARE(QString::fromStdString(grid->CellText(0, 0)), QString("0"));
    QCOMPARE(QString::fromStdString(grid->CellText(9999, 0)), QString("9999"));
    QCOMPARE(BatchText(f), QString("0-10000 of 12000"));
    next->click();
    QCOMPARE(BatchText(f), QString("2000-12000 of 12000"));
    QVERIFY(!next->isEnabled());

    // Without a batch row the count box shows the rows.
    QCOMPARE(f.Find<QLineEdit>("t:plain/count")->text(), QString("12000"));
    QVERIFY(f.Find<QComboBox>("t:plain/batch") == nullptr);
  }

  void SortAndBatchAreKeptAsPreferences() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    WriteRows(dir, 600);
    vossik::SettingsStore preferences;
    {
      ControlFixture f(kDescriptor);
      f.Control("t:report")->SetPreferences(&preferences);
      f.Load();
      ReportGrid* grid = GridOf(f, "t:report");
      grid->header()->sectionClicked(0);  // N was sorted already: now descending
      QCOMPARE(QString::fromStdString(grid->CellText(0, 0)), QString("249"));
      f.Find<QPushButton>("t:report/next")->click();
      // Every row is sorted before the batch is cut.
      QCOMPARE(QString::fromStdString(grid->CellText(0, 0)), QString("349"));
      f.Save();
    }
    auto stored = [&preferences](const char* key) {
      std::string value;
      static_cast<void>(preferences.GetValue("Preferences", key, "", &value));
      return QString::fromStdString(value);
    };
    QCOMPARE(stored("t:reportColumnSort"), QString("0"));
    QCOMPARE(stored("t:reportColumnSortDir"), QString("1"));
    QCOMPARE(stored("t:reportBatchSize"), QString("250"));
    QCOMPARE(stored("t:reportStartFrom"), QString("250"));
    QCOMPARE(stored("t:reportShowEntry"), QString("0"));

    ControlFixture again(kDescriptor);
    again.Control("t:report")->SetPreferences(&preferences);
    again.Load();
    QCOMPARE(QString::fromStdString(GridOf(again, "t:report")->CellText(0, 0)), QString("349"));
    QCOMPARE(BatchText(again), QString("250-500 of 600"));
  }

  void AFileThatHoldsOneBatchOfMoreIsShownAsItIs() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    WriteRows(dir, 3, "<list total=\"900\">");
    ControlFixture f(kDescriptor);
    f.Load();
    QCOMPARE(GridOf(f, "t:report")->RowCount(), 3);
    QCOMPARE(BatchText(f), QString("0-3 of 900"));
  }

  void AFileThatCannotBeReadOrParsedLeavesTheGridEmpty() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    ControlFixture f(kDescriptor);
    f.Load();
    QCOMPARE(GridOf(f, "t:report")->RowCount(), 0);
    QCOMPARE(BatchText(f), QString("0-0 of 0"));
    dir.Write("rows.xml", "<list><row><n>1</n></row>");
    f.Load();
    QCOMPARE(GridOf(f, "t:report")->RowCount(), 0);
    QCOMPARE(f.Find<QLineEdit>("t:plain/count")->text(), QString("0"));
  }

  // The product's page of the pages report after a build of Debian's
  // Python documentation, largest pages first.
  void ThePagesReportShowsABuiltSiteSortedBySize() {
    const std::filesystem::path docs = "/usr/share/doc/python3.11/html";
    if (!std::filesystem::is_directory(docs)) {
      QSKIP("python3.11-doc is not installed (scripts/install-deps.sh python3.11-doc)");
    }
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    std::filesystem::create_directory("logs");
    int copied = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(docs)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
      const std::filesystem::path to = dir.Path() / "site" / entry.path().lexically_relative(docs);
      std::filesystem::create_directories(to.parent_path());
      std::filesystem::copy_file(entry.path(), to);
      // The pages keep their times, which the report shows.
      std::filesystem::last_write_time(to, std::filesystem::last_write_time(entry.path()));
      ++copied;
    }
    vossik::ConfigDescriptor descriptor;
    QVERIFY(descriptor.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    vossik::SettingsStore store;
    QCOMPARE(store.Parse("[Index]\nDirSrc=" + (dir.Path() / "site").string() +
                         "\nDirDest=search\nCheckRecurse=1\n"),
             0);
    {
      vossik::TaskPtr<vossik::IndexBuilder> task = vossik::MakeTask<vossik::IndexBuilder>(
          0, std::filesystem::path(VOSSIK_BINARY_DIR) / "templates");
      std::string description;
      QVERIFY(task->configure(vossik::ReadIndexOptions(store, descriptor.Root()), &description));
      task->start(0, 0);
      task->WaitUntilFinished();
    }

    const vossik::XmlNode* page_element = nullptr;
    const vossik::XmlNode* sheet = descriptor.Root()->FindElement("sheet", nullptr, false);
    QVERIFY(sheet != nullptr);
    for (const vossik::XmlNode* page = sheet->FirstChild(); page != nullptr;
         page = page->NextSibling()) {
      const std::string* uid = page->Attribute("uid");
      if (uid != nullptr && *uid == "pagesreport") page_element = page;
    }
    QVERIFY(page_element != nullptr);
    vossik::CGUIPropertyPage page(page_element, descriptor.Root(), &store, nullptr);
    page.resize(760, 520);
    page.show();
    page.ExchangeValues(false);
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* grid = page.findChild<ReportGrid*>("pages");
    QVERIFY(grid != nullptr);
    emit page.findChild<QComboBox*>("pages/batch")->activated(5);  // Show All
    grid = page.findChild<ReportGrid*>("pages");
    const int size = grid->ColumnOfData("size");
    grid->header()->sectionClicked(size);
    grid->header()->sectionClicked(size);
    QVERIFY(grid->RowCount() > 400);
    QVERIFY(grid->RowCount() <= copied);
    QCOMPARE(QString::fromStdString(grid->CellText(0, grid->ColumnOfData("share"))),
             QString("100"));
    for (int row = 1; row < grid->RowCount(); ++row) {
      QVERIFY(std::stoll(grid->CellText(row - 1, size)) >= std::stoll(grid->CellText(row, size)));
    }
    qInfo("%d pages of %d files in the report", grid->RowCount(), copied);

    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(page.grab().save(folder + "/pages-report.png"));
  }
};

QTEST_MAIN(XmlListControlTest)
#include "xmllist_control_test.moc"
