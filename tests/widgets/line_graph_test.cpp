#include "widgets/line_graph.h"

#include <QImage>
#include <QPalette>
#include <QtTest>

using vossik::GraphScale;
using vossik::LineGraph;

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

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Window, QColor(45, 45, 45));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Mid, QColor(90, 90, 90));
  dark.setColor(QPalette::Midlight, QColor(70, 70, 70));
  return dark;
}

int Brightness(const QColor& c) {
  return (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000;
}

}  // namespace

class LineGraphTest : public QObject {
  Q_OBJECT

 private slots:
  void ScaleIsRoundAndCoversTheLargestValue_data() {
    QTest::addColumn<double>("largest");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("step");
    QTest::newRow("page counts") << 812.0 << 1000.0 << 250.0;
    QTest::newRow("seconds") << 2.41 << 3.0 << 1.0;
    QTest::newRow("exactly four steps") << 100.0 << 100.0 << 25.0;
    QTest::newRow("small fractions") << 0.3 << 0.3 << 0.1;
    QTest::newRow("one page") << 1.0 << 1.0 << 0.25;
    QTest::newRow("nothing yet") << 0.0 << 1.0 << 1.0;
    QTest::newRow("only negatives") << -5.0 << 1.0 << 1.0;
  }
  void ScaleIsRoundAndCoversTheLargestValue() {
    QFETCH(double, largest);
    QFETCH(double, top);
    QFETCH(double, step);
    const GraphScale scale = vossik::GraphScaleFor(largest);
    QVERIFY2(qFuzzyCompare(scale.top, top), qPrintable(QString::number(scale.top)));
    QVERIFY2(qFuzzyCompare(scale.step, step), qPrintable(QString::number(scale.step)));
    QVERIFY(scale.top >= largest);
  }

  void AxisLabelsDropTrailingZeros_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("whole") << 1000.0 << "1000";
    QTest::newRow("half") << 2.5 << "2.5";
    QTest::newRow("quarter") << 0.25 << "0.25";
    QTest::newRow("zero") << 0.0 << "0";
  }
  void AxisLabelsDropTrailingZeros() {
    QFETCH(double, value);
    QFETCH(QString, label);
    QCOMPARE(vossik::AxisLabel(value), label);
  }

  void PointsSpanThePlotFromZeroToTheTop() {
    const QRectF plot(10, 10, 100, 50);
    const auto points = vossik::GraphPoints({0, 5, 10, 20, -3}, plot, {10, 2.5});
    QCOMPARE(points.size(), std::size_t(5));
    QCOMPARE(points[0], QPointF(10, 60));
    QCOMPARE(points[1], QPointF(35, 35));
    QCOMPARE(points[2], QPointF(60, 10));
    QCOMPARE(points[3], QPointF(85, 10));   // above the scale: held at the top
    QCOMPARE(points[4], QPointF(110, 60));  // below zero: held at the bottom
    const auto single = vossik::GraphPoints({5}, plot, {10, 2.5});
    QCOMPARE(single.front(), QPointF(60, 35));
  }

  // Every piece stays inside the widget, even when it is small.
  void GeometryFitsTheWidget_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("laid out on the Status page") << 540 << 130;
    QTest::newRow("half a row") << 260 << 110;
    QTest::newRow("cramped") << 60 << 30;
  }
  void GeometryFitsTheWidget() {
    QFETCH(int, width);
    QFETCH(int, height);
    const QRect whole(0, 0, width, height);
    const auto g = vossik::LineGraphGeometryFor(width, height, 15, 30, true, true);
    for (const QRect& r : {g.caption, g.plot, g.x_title, g.y_title}) {
      QVERIFY2(r.width() >= 0 && r.height() >= 0, "negative size");
      QVERIFY2(
          r.isEmpty() || whole.contains(r),
          qPrintable(
              QString("%1,%2 %3x%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height())));
    }
    QVERIFY(g.plot.top() > g.caption.bottom());
    QVERIFY(g.x_title.top() >= g.plot.bottom());
    QVERIFY(g.plot.left() > g.y_title.right());
  }

  void LineColourReadsOnItsBackground_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    QTest::newRow("navy on black") << QColor(0, 0, 128) << QColor(30, 30, 30);
    QTest::newRow("black on black") << QColor(0, 0, 0) << QColor(0, 0, 0);
    QTest::newRow("yellow on white") << QColor(255, 255, 160) << QColor(255, 255, 255);
  }
  void LineColourReadsOnItsBackground() {
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    const QColor shade = vossik::ReadableOn(colour, background);
    QVERIFY2(std::abs(Brightness(shade) - Brightness(background)) >= 60, qPrintable(shade.name()));
  }

  void ColourThatAlreadyReadsIsKept() {
    QCOMPARE(vossik::ReadableOn(QColor(32, 96, 192), QColor(255, 255, 255)), QColor(32, 96, 192));
  }

  // The line is drawn in its colour, on the palette's background, in a
  // light and in a dark palette alike.
  void DrawsTheLineOnThePalettesBackground() {
    for (const bool dark : {false, true}) {
      LineGraph graph;
      if (dark) graph.setPalette(DarkPalette());
      graph.resize(300, 130);
      graph.SetCaption("Build time:");
      graph.SetAxisTitles("Build", "Seconds");
      graph.SetLineColour(QColor(255, 128, 0));
      graph.SetValues({2, 2, 2, 2});
      const QImage image = graph.grab().toImage();
      const QColor base = graph.palette().color(QPalette::Base);
      QCOMPARE(image.pixelColor(image.width() - 4, image.height() - 4), base);
      QVERIFY2(CountPixels(image, QColor(255, 128, 0)) > 150, dark ? "dark" : "light");
    }
  }
};

QTEST_MAIN(LineGraphTest)
#include "line_graph_test.moc"
