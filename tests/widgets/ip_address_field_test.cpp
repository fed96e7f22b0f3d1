#include "widgets/ip_address_field.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using vossik::IpAddressField;

class IpAddressFieldTest : public QObject {
  Q_OBJECT

 private slots:
  void SetTextAcceptsOnlyDottedQuads_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "192.168.1.20" << true << "192.168.1.20";
    QTest::newRow("edges of the range") << "0.0.0.255" << true << "0.0.0.255";
    QTest::newRow("leading zeros dropped") << "010.001.000.007" << true << "10.1.0.7";
    QTest::newRow("blanks around") << " 10.0.0.1 " << true << "10.0.0.1";
    QTest::newRow("octet above 255") << "256.1.1.1" << false << "";
    QTest::newRow("three octets") << "1.2.3" << false << "";
    QTest::newRow("five octets") << "1.2.3.4.5" << false << "";
    QTest::newRow("empty octet") << "1..3.4" << false << "";
    QTest::newRow("sign") << "1.+2.3.4" << false << "";
    QTest::newRow("host name") << "example.com" << false << "";
    QTest::newRow("empty") << "" << false << "";
  }
  void SetTextAcceptsOnlyDottedQuads() {
    QFETCH(QString, input);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);
    IpAddressField field;
    field.SetText("9.9.9.9");
    QCOMPARE(field.SetText(input), accepted);
    QCOMPARE(field.Text(), shown);
    QCOMPARE(field.IsBlank(), !accepted);
  }

  // Typing runs through the boxes: "." or a full box moves on, digits that
  // would pass 255 are refused, and Backspace in an empty box moves back.
  void TypingFillsTheBoxesInTurn_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::newRow("with dots") << "10.0.0.1"
                               << "10.0.0.1";
    QTest::newRow("full boxes move on") << "192168001020"
                                        << "192.168.1.20";
    QTest::newRow("above 255 refused") << "300.1.2.3"
                                       << "30.1.2.3";
    QTest::newRow("blank boxes count as 0") << "10..5"
                                            << "10.5.0.0";
    QTest::newRow("letters refused") << "1a.2.3.4"
                                     << "1.2.3.4";
  }
  void TypingFillsTheBoxesInTurn() {
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    IpAddressField field;
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setFocus();
    for (const QChar key : keys) QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
    QCOMPARE(field.Text(), expected);
  }

  void BackspaceInEmptyBoxReturnsToPrevious() {
    IpAddressField field;
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "12.");
    auto* second = field.findChild<QLineEdit*>("octet1");
    QCOMPARE(QApplication::focusWidget(), second);
    QTest::keyClick(second, Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(field.Text(), QString("1.0.0.0"));
  }

  void ReportsEveryChange() {
    IpAddressField field;
    QSignalSpy spy(&field, &IpAddressField::TextChanged);
    field.SetText("1.2.3.4");
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toString(), QString("1.2.3.4"));
    field.clear();
    QCOMPARE(spy.last().at(0).toString(), QString());
  }
};

QTEST_MAIN(IpAddressFieldTest)
#include "ip_address_field_test.moc"
