#include "widgets/multi_thumb_slider.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using vossik::MultiThumbSlider;

namespace {

// 212 pixels wide the track starts at 6 and is 200 long: 2 pixels a unit.
constexpr int kWidth = 212;

int XOf(int position) { return 6 + 2 * position; }

}  // namespace

class MultiThumbSliderTest : public QObject {
  Q_OBJECT

 private slots:
  void MapsPositionsToPixelsAndBack_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("x");
    QTest::newRow("minimum at the track's start") << 0 << 0 << 100 << 6;
    QTest::newRow("maximum at its end") << 100 << 0 << 100 << 206;
    QTest::newRow("middle") << 50 << 0 << 100 << 106;
    QTest::newRow("offset range") << 15 << 10 << 20 << 106;
  }
  void MapsPositionsToPixelsAndBack() {
    QFETCH(int, position);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, x);
    QCOMPARE(vossik::ThumbCentreAt(position, minimum, maximum, 6, 200), x);
    QCOMPARE(vossik::PositionAtX(x, minimum, maximum, 6, 200), position);
  }

  void PixelsOutsideTheTrackClamp_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("position");
    QTest::newRow("left of the track") << -50 << 0;
    QTest::newRow("right of the track") << 500 << 100;
    QTest::newRow("between units rounds") << 107 << 51;
  }
  void PixelsOutsideTheTrackClamp() {
    QFETCH(int, x);
    QFETCH(int, position);
    QCOMPARE(vossik::PositionAtX(x, 0, 100, 6, 200), position);
  }

  void PositionsStayInTheRange() {
    MultiThumbSlider slider;
    slider.AddThumb(Qt::red);
    slider.AddThumb(Qt::blue);
    slider.SetThumbPosition(0, -5);
    slider.SetThumbPosition(1, 80);
    QCOMPARE(slider.ThumbPosition(0), 0);
    slider.SetRange(0, 50);
    QCOMPARE(slider.ThumbPosition(1), 50);
  }

  void DragMovesTheGrabbedThumbOnly() {
    MultiThumbSlider slider;
    TwoThumbs(slider);
    QSignalSpy moved(&slider, &MultiThumbSlider::ThumbMoved);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(XOf(80) + 2, 10));
    QCOMPARE(slider.CurrentThumb(), 1);
    QTest::mouseMove(&slider, QPoint(XOf(90) + 2, 10));
    QCOMPARE(slider.ThumbPosition(1), 90);
    QTest::mouseMove(&slider, QPoint(kWidth + 40, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(kWidth + 40, 10));
    QCOMPARE(slider.ThumbPosition(1), 100);
    QCOMPARE(slider.ThumbPosition(0), 20);
    QCOMPARE(moved.last(), QVariantList({1, 100}));
  }

  void PressBesideTheThumbsPullsTheNearest() {
    MultiThumbSlider slider;
    TwoThumbs(slider);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(XOf(35), 10));
    QCOMPARE(slider.ThumbPosition(0), 35);
    QCOMPARE(slider.ThumbPosition(1), 80);
    QCOMPARE(slider.CurrentThumb(), 0);
  }

  void KeysMoveTheCurrentThumb_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("position");
    QTest::newRow("right") << int(Qt::Key_Right) << 51;
    QTest::newRow("up") << int(Qt::Key_Up) << 51;
    QTest::newRow("left") << int(Qt::Key_Left) << 49;
    QTest::newRow("down") << int(Qt::Key_Down) << 49;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 60;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 40;
    QTest::newRow("home") << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << int(Qt::Key_End) << 100;
  }
  void KeysMoveTheCurrentThumb() {
    QFETCH(int, key);
    QFETCH(int, position);
    MultiThumbSlider slider;
    TwoThumbs(slider);
    slider.SetThumbPosition(1, 50);
    slider.SetCurrentThumb(1);
    QTest::keyClick(&slider, Qt::Key(key));
    QCOMPARE(slider.ThumbPosition(1), position);
    QCOMPARE(slider.ThumbPosition(0), 20);
  }

  void TabStepsThroughThumbsThenLeaves() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* slider = new MultiThumbSlider(&window);
    TwoThumbs(*slider);
    auto* next = new QLineEdit(&window);
    layout->addWidget(slider);
    layout->addWidget(next);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    slider->setFocus(Qt::TabFocusReason);
    QCOMPARE(slider->CurrentThumb(), 0);
    QTest::keyClick(slider, Qt::Key_Tab);
    QCOMPARE(slider->CurrentThumb(), 1);
    QVERIFY(slider->hasFocus());
    QTest::keyClick(slider, Qt::Key_Tab);
    QVERIFY(next->hasFocus());
    SaveScreenshot(window);
  }

 private:
  static void TwoThumbs(MultiThumbSlider& slider) {
    slider.resize(kWidth, slider.sizeHint().height());
    slider.SetBarColour(QColor(0xC0, 0xC0, 0xC0));
    slider.AddThumb(QColor(0xFF, 0x80, 0x00), "Low");
    slider.AddThumb(QColor(0x00, 0x80, 0xFF), "High");
    slider.SetThumbPosition(0, 20);
    slider.SetThumbPosition(1, 80);
  }

  static void SaveScreenshot(QWidget& window) {
    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QVERIFY(window.grab().save(folder + "/multi_thumb_slider.png"));
  }
};

QTEST_MAIN(MultiThumbSliderTest)
#include "multi_thumb_slider_test.moc"
