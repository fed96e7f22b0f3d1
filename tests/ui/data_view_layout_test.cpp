// The service data views' geometry as tables of cells and the rectangles
// their pieces get.
#include "ui/data_view_layout.h"

#include <QtTest>
#include <vector>

using vossik::LogViewLayout;
using vossik::Rect;
using vossik::StatisticsLayout;
using vossik::StatisticSlot;

Q_DECLARE_METATYPE(std::vector<StatisticSlot>)
Q_DECLARE_METATYPE(std::vector<Rect>)
Q_DECLARE_METATYPE(Rect)

namespace {

const StatisticSlot kText{22, false, false};
const StatisticSlot kRightText{22, true, false};
const StatisticSlot kGraph{110, false, true};
const StatisticSlot kRightPie{110, true, true};

char* Describe(const Rect& r) {
  return QTest::toString(
      QString("{%1,%2 %3x%4}").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}

}  // namespace

namespace vossik {
char* toString(const Rect& r) { return Describe(r); }
}  // namespace vossik

class DataViewLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void StatisticsStackShareRowsAndGrow_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<std::vector<StatisticSlot>>("statistics");
    QTest::addColumn<std::vector<Rect>>("expected");
    QTest::newRow("right-aligned text shares the row; the left one takes half")
        << 400 << 200 << std::vector<StatisticSlot>{kText, kRightText, kText}
        << std::vector<Rect>{{0, 0, 194, 22}, {204, 0, 194, 22}, {0, 22, 394, 22}};
    QTest::newRow("a graph takes the spare height, a text field does not")
        << 400 << 300 << std::vector<StatisticSlot>{kText, kGraph}
        << std::vector<Rect>{{0, 0, 394, 22}, {0, 22, 394, 254}};
    QTest::newRow("two graphs share the spare height equally")
        << 400 << 400 << std::vector<StatisticSlot>{kGraph, kGraph}
        << std::vector<Rect>{{0, 0, 394, 188}, {0, 188, 394, 188}};
    QTest::newRow("without spare height nothing grows")
        << 400 << 100 << std::vector<StatisticSlot>{kText, kGraph}
        << std::vector<Rect>{{0, 0, 394, 22}, {0, 22, 394, 110}};
    QTest::newRow("a pie beside a text field makes the row as high as itself")
        << 400 << 200 << std::vector<StatisticSlot>{kText, kRightPie, kText}
        << std::vector<Rect>{{0, 0, 194, 22}, {204, 0, 194, 154}, {0, 154, 394, 22}};
    QTest::newRow("a graph and a pie on one row grow together")
        << 500 << 300 << std::vector<StatisticSlot>{kGraph, kRightPie}
        << std::vector<Rect>{{0, 0, 244, 276}, {254, 0, 244, 276}};
    QTest::newRow("the first statistic cannot share a row")
        << 400 << 100 << std::vector<StatisticSlot>{kRightText}
        << std::vector<Rect>{{0, 0, 394, 22}};
    QTest::newRow("a third in a row starts the next")
        << 400 << 200 << std::vector<StatisticSlot>{kText, kRightText, kRightText}
        << std::vector<Rect>{{0, 0, 194, 22}, {204, 0, 194, 22}, {0, 22, 394, 22}};
  }
  void StatisticsStackShareRowsAndGrow() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(std::vector<StatisticSlot>, statistics);
    QFETCH(std::vector<Rect>, expected);
    const StatisticsLayout layout = vossik::LayOutStatistics(width, height, statistics);
    QCOMPARE(layout.statistics.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QCOMPARE(layout.statistics[i], expected[i]);
    }
    QCOMPARE(layout.refresh, (Rect{0, height - 24, 64, 22}));
  }

  void StatisticsPreferredHeightCountsRowsAndButton_data() {
    QTest::addColumn<std::vector<StatisticSlot>>("statistics");
    QTest::addColumn<int>("height");
    QTest::newRow("none") << std::vector<StatisticSlot>{} << 24;
    QTest::newRow("shared row counts once")
        << std::vector<StatisticSlot>{kText, kRightText, kGraph} << 22 + 110 + 24;
    QTest::newRow("taller right one sets the row")
        << std::vector<StatisticSlot>{kText, kRightPie} << 110 + 24;
  }
  void StatisticsPreferredHeightCountsRowsAndButton() {
    QFETCH(std::vector<StatisticSlot>, statistics);
    QFETCH(int, height);
    QCOMPARE(vossik::StatisticsPreferredHeight(statistics), height);
  }

  void LogViewHeightIsOneRowOrFourteenPerLine_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("height");
    QTest::newRow("one line") << 1 << 22;
    QTest::newRow("none given") << 0 << 22;
    QTest::newRow("two lines") << 2 << 28;
    QTest::newRow("ten lines") << 10 << 140;
  }
  void LogViewHeightIsOneRowOrFourteenPerLine() {
    QFETCH(int, lines);
    QFETCH(int, height);
    QCOMPARE(vossik::LogViewHeight(lines), height);
  }

  void LogViewPlacesTheTailRowUnderTheText_data() {
    QTest::addColumn<int>("label_width");
    QTest::addColumn<int>("choice_width");
    QTest::addColumn<Rect>("tail_lines");
    QTest::addColumn<Rect>("refresh");
    QTest::addColumn<Rect>("name");
    QTest::newRow("the usual widths")
        << 54 << 40 << Rect{58, 176, 40, 22} << Rect{100, 177, 60, 20} << Rect{168, 180, 268, 16};
    QTest::newRow("a wider label moves the rest")
        << 70 << 60 << Rect{74, 176, 60, 22} << Rect{136, 177, 60, 20} << Rect{204, 180, 232, 16};
  }
  void LogViewPlacesTheTailRowUnderTheText() {
    QFETCH(int, label_width);
    QFETCH(int, choice_width);
    QFETCH(Rect, tail_lines);
    QFETCH(Rect, refresh);
    QFETCH(Rect, name);
    const LogViewLayout layout = vossik::LayOutLogView(500, 200, label_width, choice_width);
    QCOMPARE(layout.view, (Rect{0, 0, 500, 174}));
    QCOMPARE(layout.tail_label, (Rect{0, 180, label_width, 16}));
    QCOMPARE(layout.tail_lines, tail_lines);
    QCOMPARE(layout.refresh, refresh);
    QCOMPARE(layout.name, name);
    QCOMPARE(layout.clear, (Rect{440, 177, 60, 20}));
  }
};

QTEST_MAIN(DataViewLayoutTest)
#include "data_view_layout_test.moc"
