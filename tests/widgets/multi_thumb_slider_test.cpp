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

int xOf(int position) { return 6 + 2 * position; }

}  // namespace

class MultiThumbSliderTest : public QObject {
  Q_OBJECT

 private slots:
  void mapsPositionsToPixelsAndBack_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("x");
    QTest::newRow("minimum at the track's start") << 0 << 0 << 100 << 6;
    QTest::newRow("maximum at its end") << 100 << 0 << 100 << 206;
    QTest::newRow("middle") << 50 << 0 << 100 << 106;
    QTest::newRow("offset range") << 15 << 10 << 20 << 106;
  }
  void mapsPositionsToPixelsAndBack() {
    QFETCH(int, position);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, x);
    QCOMPARE(vossik::thumbCentreAt(position, minimum, maximum, 6, 200), x);
    QCOMPARE(vossik::positionAtX(x, minimum, maximum, 6, 200), position);
  }

  void pixelsOutsideTheTrackClamp_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("position");
    QTest::newRow("left of the track") << -50 << 0;
    QTest::newRow("right of the track") << 500 << 100;
    QTest::newRow("between units rounds") << 107 << 51;
  }
  void pixelsOutsideTheTrackClamp() {
    QFETCH(int, x);
    QFETCH(int, position);
    QCOMPARE(vossik::positionAtX(x, 0, 100, 6, 200), position);
  }

  void positionsStayInTheRange() {
    MultiThumbSlider slider;
    slider.addThumb(Qt::red);
    slider.addThumb(Qt::blue);
    slider.setThumbPosition(0, -5);
    slider.setThumbPosition(1, 80);
    QCOMPARE(slider.thumbPosition(0), 0);
    slider.setRange(0, 50);
    QCOMPARE(slider.thumbPosition(1), 50);
  }

  void dragMovesTheGrabbedThumbOnly() {
    MultiThumbSlider slider;
    twoThumbs(slider);
    QSignalSpy moved(&slider, &MultiThumbSlider::thumbMoved);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(xOf(80) + 2, 10));
    QCOMPARE(slider.currentThumb(), 1);
    QTest::mouseMove(&slider, QPoint(xOf(90) + 2, 10));
    QCOMPARE(slider.thumbPosition(1), 90);
    QTest::mouseMove(&slider, QPoint(kWidth + 40, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(kWidth + 40, 10));
    QCOMPARE(slider.thumbPosition(1), 100);
    QCOMPARE(slider.thumbPosition(0), 20);
    QCOMPARE(moved.last(), QVariantList({1, 100}));
  }

  void pressBesideTheThumbsPullsTheNearest() {
    MultiThumbSlider slider;
    twoThumbs(slider);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(xOf(35), 10));
    QCOMPARE(slider.thumbPosition(0), 35);
    QCOMPARE(slider.thumbPosition(1), 80);
    QCOMPARE(slider.currentThumb(), 0);
  }

  void keysMoveTheCurrentThumb_data() {
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
  void keysMoveTheCurrentThumb() {
    QFETCH(int, key);
    QFETCH(int, position);
    MultiThumbSlider slider;
    twoThumbs(slider);
    slider.setThumbPosition(1, 50);
    slider.setCurrentThumb(1);
    QTest::keyClick(&slider, Qt::Key(key));
    QCOMPARE(slider.thumbPosition(1), position);
    QCOMPARE(slider.thumbPosition(0), 20);
  }

  void tabStepsThroughThumbsThenLeaves() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* slider = new MultiThumbSlider(&window);
    twoThumbs(*slider);
    auto* next = new QLineEdit(&window);
    layout->addWidget(slider);
    layout->addWidget(next);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    slider->setFocus(Qt::TabFocusReason);
    QCOMPARE(slider->currentThumb(), 0);
    QTest::keyClick(slider, Qt::Key_Tab);
    QCOMPARE(slider->currentThumb(), 1);
    QVERIFY(slider->hasFocus());
    QTest::keyClick(slider, Qt::Key_Tab);
    QVERIFY(next->hasFocus());
    saveScreenshot(window);
  }

 private:
  static void twoThumbs(MultiThumbSlider& slider) {
    slider.resize(kWidth, slider.sizeHint().height());
    slider.setBarColour(QColor(0xC0, 0xC0, 0xC0));
    slider.addThumb(QColor(0xFF, 0x80, 0x00), "Low");
    slider.addThumb(QColor(0x00, 0x80, 0xFF), "High");
    slider.setThumbPosition(0, 20);
    slider.setThumbPosition(1, 80);
  }

  static void saveScreenshot(QWidget& window) {
    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QVERIFY(window.grab().save(folder + "/multi_thumb_slider.png"));
  }
};

QTEST_MAIN(MultiThumbSliderTest)
#include "multi_thumb_slider_test.moc"
