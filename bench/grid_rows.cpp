// Measures the report grid with many rows, as "Show All" gives it: filling
// it from an XML list of pages, sorting it by a numeric column both ways,
// painting its window, and scrolling it a page at a time from top to
// bottom. Prints the figures; not a test.
//
// Usage: QT_QPA_PLATFORM=offscreen grid_rows [ROWS]
#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::string xml = "<pages total=\"" + std::to_string(rows) + "\">";
  for (int i = 0; i < rows; ++i) {
    const std::string n = std::to_string(i);
    xml += "<page><url>docs/page" + n + ".html</url><title>Page number " + n +
           " of the documentation</title><size>" + std::to_string((i * 7919) % 2000000) +
           "</size><modified>" + std::to_string(1796632830 - i * 60) + "</modified><words>" +
           std::to_string(i % 3000) + "</words><share>" + std::to_string(i % 101) +
           "</share></page>";
  }
  xml += "</pages>";
  vossik::XmlDocument document;
  if (document.Parse(xml) != 0) return 1;

  vossik::ReportGrid grid;
  grid.AddColumn("Page", 190, vossik::ColumnKind::kAlphanumerical, "url");
  grid.AddColumn("Title", 190, vossik::ColumnKind::kAlphanumerical, "title");
  grid.AddColumn("Size", 70, vossik::ColumnKind::kSize, "size", Qt::AlignRight);
  grid.AddColumn("Changed", 130, vossik::ColumnKind::kDate, "modified");
  grid.AddColumn("Words", 60, vossik::ColumnKind::kNumerical, "words", Qt::AlignRight);
  grid.AddColumn("Share %", 60, vossik::ColumnKind::kNumerical, "share", Qt::AlignRight);
  grid.SetLevelColumn(5);
  grid.SetThresholds(vossik::kDefaultThresholds);
  grid.resize(760, 480);
  grid.show();
  QApplication::processEvents();

  auto start = std::chrono::steady_clock::now();
  const int added = grid.RowsFromXml(*document.Root(), "page");
  const double fill = MillisecondsSince(start);

  start = std::chrono::steady_clock::now();
  grid.SortBy(2, false);
  grid.SortBy(2, true);
  const double sort = MillisecondsSince(start) / 2;

  start = std::chrono::steady_clock::now();
  const QPixmap picture = grid.grab();
  const double paint = MillisecondsSince(start);

  QScrollBar* bar = grid.verticalScrollBar();
  int steps = 0;
  start = std::chrono::steady_clock::now();
  for (int at = 0; at < bar->maximum(); at += bar->pageStep(), ++steps) {
    bar->setValue(at);
    grid.viewport()->repaint();
  }
  const double scroll = steps > 0 ? MillisecondsSince(start) / steps : 0;

  std::printf(
      "report grid, %d rows: fill %.1f ms, sort %.1f ms, paint %.1f ms (%dx%d), "
      "scroll %.2f ms per page over %d pages\n",
      added, fill, sort, paint, picture.width(), picture.height(), scroll, steps);
  return 0;
}
