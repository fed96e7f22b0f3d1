// Colours written as hexadecimal red, green and blue.
#include "widgets/hex_colour.h"

#include <QtTest>

class HexColourTest : public QObject {
  Q_OBJECT

 private slots:
  void ColourFromHex_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("upper case") << "FF8000" << QColor(255, 128, 0);
    QTest::newRow("lower case, leading blank") << " 00ff7f" << QColor(0, 255, 127);
    QTest::newRow("short") << "FF" << QColor(0, 0, 255);
    QTest::newRow("stops at a non-digit") << "12zz" << QColor(0, 0, 0x12);
    QTest::newRow("at most 8 digits") << "123456789" << QColor(0x34, 0x56, 0x78);
    QTest::newRow("empty is black") << "" << QColor(0, 0, 0);
  }
  void ColourFromHex() {
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(vossik::ColourFromHex(text.toStdString()), colour);
  }
};

QTEST_MAIN(HexColourTest)
#include "hex_colour_test.moc"
