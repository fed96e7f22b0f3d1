// `statscontrol`: a real vossikd's statistics as text fields, a line graph
// and a pie chart; the same view over a file on this machine; statistics
// that share a row; and a picture of the page.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <string>

#include "support/temp_dir.h"
#include "ui/property_page.h"
#include "ui/service_fixture.h"
#include "widgets/line_graph.h"
#include "widgets/pie_chart.h"

namespace {

using vossik::LineGraph;
using vossik::PieChart;
using vossik::testing::ClientServiceBar;
using vossik::testing::DataViewSheet;
using vossik::testing::RunningVossikd;
using vossik::testing::TempDir;
using vossik::testing::WaitUntil;

std::string Descriptor(const std::string& source) {
  return R"(<vossik><config><section uid="status" name="Status">
    <parameter uid="statistics" name="Statistics" resize="true"><control>statscontrol</control>
      <file>statistics.xml</file><populateaction>)" +
         source + R"(</populateaction>
      <definition>
        <statistic name="Pages" from="Pages"><hint>Pages in the index</hint></statistic>
        <statistic name="Words" from="Words" align="right"/>
        <statistic name="Builds and failures" from="Builds,FailedBuilds"/>
        <statistic name="Index bytes" from="IndexBytes" align="right"/>
        <statistic name="Build time" type="graph" xaxis="Last builds" yaxis="Seconds" from="BuildSeconds"><color>2060C0</color></statistic>
        <statistic name="Pages built" type="graph" xaxis="Last builds" yaxis="Pages" from="BuildPages"><color>C06020</color></statistic>
        <statistic name="Pages by type" type="Pie" from="FileTypePages" titlesfrom="FileTypes" colors="3A7CC9,E08A1E"/>
      </definition>
    </parameter>
  </section></config>
  <sheet name="Service"><page name="Status" uid="status"><hint>What the index holds and how its builds went</hint>
    <parameter uid="status:statistics"/></page></sheet></vossik>)";
}

constexpr char kLocalStatistics[] =
    "[Statistics]\nPages=812\nWords=40211\nIndexBytes=5234123\nBuilds=14\nFailedBuilds=1\n"
    "BuildSeconds=2.10,2.35,1.90,2.41\nBuildPages=790,800,812,812\nFileTypes=htm,html,txt\n"
    "FileTypePages=3,800,9\n";

QString Field(const DataViewSheet& f, const char* uid, const char* name) {
  auto* field = f.Find<QLineEdit>(QString("%1/%2").arg(uid, name).toUtf8().constData());
  return field != nullptr ? field->text() : QString("(no field)");
}

QString Field(const DataViewSheet& f, const char* name) {
  return Field(f, "status:statistics", name);
}

void SaveScreenshot(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QVERIFY(QDir().mkpath(folder));
  QVERIFY(widget->grab().save(folder + "/" + name));
}

}  // namespace

class StatsControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheServicesStatistics() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    std::string body;
    QVERIFY(WaitUntil([&] {
      return bar->Client().GenericRequest("GETSTATS", -1, {}, false, &body) ==
                 vossik::AdminResult::kOk &&
             body.find("Builds=1&#10;") != std::string::npos;
    }));

    DataViewSheet f(Descriptor("GETSTATS"), bar, "copies");
    QCOMPARE(Field(f, "Pages"), QString("3"));
    QCOMPARE(Field(f, "Builds and failures"), QString("1,0"));  // two keys, joined
    QVERIFY(Field(f, "Index bytes").toLong() > 0);
    auto* time = f.Find<LineGraph>("status:statistics/Build time");
    QVERIFY(time != nullptr);
    QCOMPARE(time->Values().size(), std::size_t(1));
    QCOMPARE(time->XTitle(), QString("Last builds"));
    QCOMPARE(time->LineColour(), QColor(0x20, 0x60, 0xC0));
    auto* pages = f.Find<LineGraph>("status:statistics/Pages built");
    QCOMPARE(pages->Values(), std::vector<double>{3});
    auto* types = f.Find<PieChart>("status:statistics/Pages by type");
    QVERIFY(types != nullptr);
    QCOMPARE(types->SliceTitles(), (QStringList{"html", "txt"}));
    QCOMPARE(types->Values(), (std::vector<double>{2, 1}));
    QCOMPARE(types->SliceColours().front(), QColor(0x3A, 0x7C, 0xC9));

    // Refresh asks again; the service has nothing newer, and the view keeps
    // showing the copy.
    QTest::mouseClick(f.Find<QPushButton>("status:statistics/refresh"), Qt::LeftButton);
    QCOMPARE(bar->requests.size(), 2);
    QVERIFY(bar->requests[1].section('|', 2).toLong() > 0);
    QCOMPARE(Field(f, "Pages"), QString("3"));

    // A build the service is asked for shows at the next refresh.
    QVERIFY(bar->Client().GenericRequest("BUILD", -1, {}, false, &body) ==
            vossik::AdminResult::kOk);
    QVERIFY(WaitUntil([&] {
      QTest::mouseClick(f.Find<QPushButton>("status:statistics/refresh"), Qt::LeftButton);
      return Field(f, "Builds and failures") == "2,0";
    }));
    QCOMPARE(pages->Values(), (std::vector<double>{3, 3}));
    QVERIFY(f.messages.isEmpty());
  }

  // In the local window the statistics come from the file the batch build
  // writes, and a missing or broken copy shows nothing.
  void ReadsStatisticsFromAFileHere() {
    TempDir dir;
    dir.ChangeInto();
    dir.Write("stats/vossik.stats", kLocalStatistics);
    DataViewSheet f(Descriptor("FILE://stats/vossik.stats"));
    QCOMPARE(Field(f, "Pages"), QString("812"));
    QCOMPARE(Field(f, "Words"), QString("40211"));
    auto* time = f.Find<LineGraph>("status:statistics/Build time");
    QCOMPARE(time->Values(), (std::vector<double>{2.10, 2.35, 1.90, 2.41}));
    auto* types = f.Find<PieChart>("status:statistics/Pages by type");
    QCOMPARE(types->SliceTitles(), (QStringList{"htm", "html", "txt"}));

    dir.Write("statistics.xml", "not <xml");
    std::filesystem::remove(dir.Path() / "stats/vossik.stats");
    f.Reload();
    QCOMPARE(Field(f, "Pages"), QString());
    QVERIFY(time->Values().empty());
  }

  // Right-aligned statistics share the row of the one before, each half
  // wide; the graphs take the page's spare height and Refresh sits at the
  // bottom of the cell.
  void RightAlignedStatisticsShareARowAndGraphsGrow() {
    TempDir dir;
    dir.ChangeInto();
    dir.Write("stats/vossik.stats", kLocalStatistics);
    DataViewSheet f(Descriptor("FILE://stats/vossik.stats"));
    f.sheet->resize(640, 620);
    QCoreApplication::processEvents();
    QWidget* pages = f.Find("status:statistics/Pages");
    QWidget* words = f.Find("status:statistics/Words");
    QWidget* cell = f.Find("status:statistics/cell");
    QVERIFY(pages != nullptr && words != nullptr && cell != nullptr);
    QCOMPARE(words->y(), pages->y());
    QVERIFY(words->x() > cell->width() / 2);
    QVERIFY(pages->geometry().right() < cell->width() / 2);
    auto* time = f.Find<LineGraph>("status:statistics/Build time");
    QVERIFY2(time->height() > 110, qPrintable(QString::number(time->height())));
    QWidget* refresh = f.Find("status:statistics/refresh");
    QCOMPARE(refresh->geometry(), QRect(0, cell->height() - 24, 64, 22));
    QVERIFY(f.Find<PieChart>("status:statistics/Pages by type")->geometry().bottom() <
            refresh->y());
  }

  // The product's Status page of administration mode, over a real service.
  void TheProductsServiceStatusPage() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    for (int build = 1; build <= 3; ++build) {
      std::string body;
      QVERIFY(WaitUntil([&] {
        return bar->Client().GenericRequest("GETSTATS", -1, {}, false, &body) ==
                   vossik::AdminResult::kOk &&
               body.find("Builds=" + std::to_string(build) + "&#10;") != std::string::npos;
      }));
      if (build < 3) {
        service.Write("site/walks/page" + std::to_string(build) + ".html",
                      "<title>Walk</title>Another walk by the river");
        QVERIFY(bar->Client().GenericRequest("BUILD", -1, {}, false, &body) ==
                vossik::AdminResult::kOk);
      }
    }
    const std::string descriptor = vossik::testing::ProductDescriptor(true);
    QVERIFY(!descriptor.empty());
    DataViewSheet f(descriptor, bar, "copies");
    f.sheet->ShowSheet("Status");
    // The pages shown before go at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.sheet->EnableAllPages(true);
    f.sheet->ActivatePage(0);
    QCoreApplication::processEvents();
    QCOMPARE(Field(f, "statusview", "Pages"), QString("5"));
    QCOMPARE(Field(f, "statusview", "Builds, failed"), QString("3,0"));
    auto* pages = f.Find<LineGraph>("statusview/Pages built");
    QVERIFY(pages != nullptr && pages->isVisible());
    QCOMPARE(pages->Values(), (std::vector<double>{3, 4, 5}));
    auto* types = f.Find<PieChart>("statusview/Pages by type");
    QVERIFY(types != nullptr && types->isVisible());
    QCOMPARE(types->SliceTitles(), (QStringList{"html", "txt"}));
    QVERIFY(f.messages.isEmpty());
    SaveScreenshot(f.sheet.get(), "admin-status-page.png");
  }

  // The product's Status page of the local window, over the statistics the
  // batch build writes.
  void TheProductsLocalStatusPage() {
    TempDir dir;
    dir.ChangeInto();
    dir.Write("stats/vossik.stats", kLocalStatistics);
    DataViewSheet f(vossik::testing::ProductDescriptor(false));
    int status = -1;
    for (int i = 0; i < f.sheet->PageCount(); ++i) {
      if (f.sheet->Page(i)->PlainTitle() == "Status") status = i;
    }
    QVERIFY(status >= 0);
    f.sheet->ActivatePage(status);
    QCoreApplication::processEvents();
    QCOMPARE(Field(f, "statusview", "Pages"), QString("812"));
    QCOMPARE(f.Find<LineGraph>("statusview/Build time")->Values().size(), std::size_t(4));
    SaveScreenshot(f.sheet.get(), "status-page.png");
  }
};

QTEST_MAIN(StatsControlTest)
#include "statscontrol_control_test.moc"
