// Fonts made to fit the fixed places of the service bar and its dialog.
#include "ui/fitted_font.h"

#include <QFontMetrics>
#include <QtTest>

namespace vossik {

class FittedFontTest : public QObject {
  Q_OBJECT

 private slots:
  void AFontThatFitsStaysAsItIs() {
    QFont font;
    font.setPointSizeF(10);
    const QFont fitted = FittedFont(font, {{"Go", 200, 40}});
    QCOMPARE(fitted.pointSizeF(), 10.0);
  }

  void ATightPlaceShrinksTheFontUntilTheTextFits() {
    QFont font;
    font.setPointSizeF(14);
    const QString text = "Switch Service";
    const int room = QFontMetrics(font).horizontalAdvance(text) * 2 / 3;
    const QFont fitted = FittedFont(font, {{text, room, 40}});
    QVERIFY(fitted.pointSizeF() < 14);
    QVERIFY(fitted.pointSizeF() >= 6);
    QVERIFY(QFontMetrics(fitted).boundingRect(text).width() <= room);
  }

  void WrappedTextMayUseSeveralLines() {
    QFont font;
    font.setPointSizeF(9);
    const QString text = "Use 127.0.0.1 as the host if configuring the service on this machine";
    const int line = QFontMetrics(font).height();
    // Room for three lines keeps the size; room for one shrinks it.
    QCOMPARE(FittedFont(font, {{text, 400, line * 3, true}}).pointSizeF(), 9.0);
    QVERIFY(FittedFont(font, {{text, 400, line, true}}).pointSizeF() < 9.0);
  }

  void NoTextGetsSmallerThanSixPoints() {
    QFont font;
    font.setPointSizeF(9);
    QCOMPARE(FittedFont(font, {{"A very long text indeed", 4, 4}}).pointSizeF(), 6.0);
  }
};

}  // namespace vossik

QTEST_MAIN(vossik::FittedFontTest)
#include "fitted_font_test.moc"
