#include "widgets/pie_chart.h"

#include <QImage>
#include <QPalette>
#include <QtTest>
#include <numeric>

using vossik::PieChart;

namespace {

int CountPixels(const QImage& image, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) ++count;
    }
  }
  return count;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(std::vector<int>)

class PieChartTest : public QObject {
  Q_OBJECT

 private slots:
  void SpansShareTheFullCircle_data() {
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<std::vector<int>>("spans");
    QTest::newRow("halves") << std::vector<double>{1, 1} << std::vector<int>{2880, 2880};
    QTest::newRow("a third and two") << std::vector<double>{1, 2} << std::vector<int>{1920, 3840};
    QTest::newRow("rounding goes to the last")
        << std::vector<double>{1, 1, 1, 1, 1, 1, 1}
        << std::vector<int>{823, 823, 823, 823, 823, 823, 822};
    QTest::newRow("zero and negative get none")
        << std::vector<double>{0, 3, -1} << std::vector<int>{0, 5760, 0};
    QTest::newRow("nothing positive") << std::vector<double>{0, 0} << std::vector<int>{0, 0};
    QTest::newRow("not a number") << std::vector<double>{std::nan(""), 2}
                                  << std::vector<int>{0, 5760};
    QTest::newRow("no values") << std::vector<double>{} << std::vector<int>{};
  }
  void SpansShareTheFullCircle() {
    QFETCH(std::vector<double>, values);
    QFETCH(std::vector<int>, spans);
    QCOMPARE(vossik::PieSpans(values), spans);
  }

  void LegendNamesEachSliceWithItsShare() {
    PieChart pie;
    pie.SetSliceTitles({"html", ""});
    pie.SetValues({800, 9, 0});
    QCOMPARE(pie.LegendText(0), QString("html: 800 (99%)"));
    QCOMPARE(pie.LegendText(1), QString("Slice 2: 9 (1%)"));
    QCOMPARE(pie.LegendText(2), QString("Slice 3: 0 (0%)"));
  }

  void SlicesBeyondTheGivenColoursTakeDistinctOnes() {
    const std::vector<QColor> given = {QColor(1, 2, 3)};
    QCOMPARE(vossik::SliceColour(given, 0), QColor(1, 2, 3));
    QSet<QRgb> seen;
    for (std::size_t i = 1; i < 9; ++i) seen.insert(vossik::SliceColour(given, i).rgb());
    QCOMPARE(seen.size(), 8);
  }

  void DiscAndLegendFitTheWidget_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("a row of its own") << 540 << 130;
    QTest::newRow("half a row") << 260 << 110;
    QTest::newRow("cramped") << 40 << 20;
  }
  void DiscAndLegendFitTheWidget() {
    QFETCH(int, width);
    QFETCH(int, height);
    const auto g = vossik::PieGeometryFor(width, height, 15, 3);
    QCOMPARE(g.disc.width(), g.disc.height());
    QVERIFY(g.disc.isEmpty() || QRect(0, 0, width, height).contains(g.disc));
    QVERIFY(g.legend.left() > g.disc.right());
    QVERIFY(g.legend.right() < width);
  }

  // Each slice shows in its colour, and the chart sits on the palette's
  // background, light or dark.
  void DrawsEverySliceInItsColour() {
    for (const bool dark : {false, true}) {
      PieChart pie;
      if (dark) {
        QPalette colours;
        colours.setColor(QPalette::Base, QColor(30, 30, 30));
        colours.setColor(QPalette::Text, QColor(230, 230, 230));
        pie.setPalette(colours);
      }
      pie.resize(300, 130);
      pie.SetCaption("Pages by type:");
      pie.SetSliceColours({QColor(200, 0, 0), QColor(0, 160, 0)});
      pie.SetSliceTitles({"html", "txt"});
      pie.SetValues({3, 1});
      const QImage image = pie.grab().toImage();
      const int red = CountPixels(image, QColor(200, 0, 0));
      const int green = CountPixels(image, QColor(0, 160, 0));
      QVERIFY2(green > 100, qPrintable(QString::number(green)));
      QVERIFY2(red > 2 * green, qPrintable(QString("%1 %2").arg(red).arg(green)));
      QCOMPARE(image.pixelColor(image.width() - 4, image.height() - 4),
               pie.palette().color(QPalette::Base));
    }
  }
};

QTEST_MAIN(PieChartTest)
#include "pie_chart_test.moc"
