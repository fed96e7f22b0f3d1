#include "widgets/gradient_progress_bar.h"

#include <QImage>
#include <QtTest>

using vossik::GradientProgressBar;
using vossik::GradientStep;

namespace {

const QColor kWindowStart(100, 100, 200);
const QColor kWindowEnd(90, 250, 125);

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

class GradientProgressBarTest : public QObject {
  Q_OBJECT

 private slots:
  void StepCountIsLargestComponentDifference_data() {
    QTest::addColumn<QColor>("start");
    QTest::addColumn<QColor>("end");
    QTest::addColumn<int>("expected");
    QTest::newRow("progress window colours") << kWindowStart << kWindowEnd << 150;
    QTest::newRow("defaults red to blue") << QColor(255, 0, 0) << QColor(0, 0, 255) << 255;
    QTest::newRow("equal colours still one step") << QColor(7, 7, 7) << QColor(7, 7, 7) << 1;
  }
  void StepCountIsLargestComponentDifference() {
    QFETCH(QColor, start);
    QFETCH(QColor, end);
    QFETCH(int, expected);
    QCOMPARE(vossik::GradientStepCount(start, end), expected);
    QCOMPARE(static_cast<int>(vossik::GradientSteps(start, end, 1000, 100, 0, 100).size()),
             expected);
  }

  // Each component moves by t * (end - start) / steps, truncated toward zero.
  void StepColoursTruncate_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("first is the start") << 0 << QColor(100, 100, 200);
    QTest::newRow("second moves green only") << 1 << QColor(100, 101, 200);
    QTest::newRow("last stops short of the end") << 149 << QColor(91, 249, 126);
  }
  void StepColoursTruncate() {
    QFETCH(int, step);
    QFETCH(QColor, expected);
    const auto steps = vossik::GradientSteps(kWindowStart, kWindowEnd, 300, 100, 0, 100);
    QCOMPARE(steps.at(static_cast<std::size_t>(step)).colour, expected);
  }

  // Steps run from the left without gaps and stop after the first one whose
  // right edge passes position / maximum of the width.
  void DrawingStopsPastFilledWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastRight");
    QTest::newRow("0% still draws the first step") << 300 << 0 << 0 << 100 << 1 << 2;
    QTest::newRow("50% overshoots by one step") << 300 << 50 << 0 << 100 << 76 << 152;
    QTest::newRow("100% fills the bar") << 300 << 100 << 0 << 100 << 150 << 300;
    QTest::newRow("width not a multiple of steps") << 463 << 100 << 0 << 100 << 150 << 463;
    QTest::newRow("narrower than the step count") << 100 << 100 << 0 << 100 << 150 << 100;
    QTest::newRow("above the range") << 300 << 101 << 0 << 100 << 0 << 0;
    QTest::newRow("below the range") << 300 << 5 << 10 << 100 << 0 << 0;
    QTest::newRow("maximum 0") << 300 << 0 << 0 << 0 << 1 << 2;
  }
  void DrawingStopsPastFilledWidth() {
    QFETCH(int, width);
    QFETCH(int, position);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, count);
    QFETCH(int, lastRight);
    const auto steps =
        vossik::GradientSteps(kWindowStart, kWindowEnd, width, position, minimum, maximum);
    QCOMPARE(static_cast<int>(steps.size()), count);
    int left = 0;
    for (const GradientStep& step : steps) {
      QCOMPARE(step.left, left);
      QVERIFY(step.right >= step.left);
      left = step.right;
    }
    if (!steps.empty()) QCOMPARE(steps.back().right, lastRight);
  }

  void PercentageText_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("expected");
    QTest::newRow("37") << 37 << 100 << "37%";
    QTest::newRow("0") << 0 << 100 << "0%";
    QTest::newRow("100") << 100 << 100 << "100%";
    QTest::newRow("rounds down") << 1 << 3 << "33%";
    QTest::newRow("rounds up") << 2 << 3 << "67%";
    QTest::newRow("maximum 0") << 5 << 0 << "0%";
  }
  void PercentageText() {
    QFETCH(int, position);
    QFETCH(int, maximum);
    QFETCH(QString, expected);
    QCOMPARE(vossik::PercentageText(position, maximum), expected);
  }

  void PaintsGradientThenBackgroundAndText() {
    GradientProgressBar bar;
    bar.resize(300, 22);
    bar.SetGradientColours(kWindowStart, kWindowEnd);
    bar.SetBackgroundColour(QColor(212, 208, 200));
    bar.SetTextColour(Qt::black);
    bar.SetPosition(37);

    QImage plain = bar.grab().toImage();
    QCOMPARE(plain.pixelColor(0, 11), kWindowStart);
    QCOMPARE(plain.pixelColor(299, 11), QColor(212, 208, 200));
    QCOMPARE(CountPixels(plain, Qt::black), 0);

    bar.SetShowPercentage(true);
    QVERIFY(CountPixels(bar.grab().toImage(), Qt::black) > 0);

    bar.SetPosition(101);
    const QImage outside = bar.grab().toImage();
    QCOMPARE(CountPixels(outside, QColor(212, 208, 200)), 300 * 22);
  }
};

QTEST_MAIN(GradientProgressBarTest)
#include "gradient_progress_bar_test.moc"
