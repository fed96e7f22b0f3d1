// The dialog behind Connect / Switch Service: its controls in their places,
// filled from the settings, and the port's up-down buttons kept in range.
#include "ui/connect_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "ui/number_control.h"

namespace vossik {
namespace {

QRect RectOf(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

class ConnectDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void TheControlsKeepTheirPlaces() {
    const ConnectDialogGeometry g = LayOutConnectDialog();
    // Given as left, top, right and bottom edges.
    QCOMPARE(RectOf(g.prompt), QRect(QPoint(20, 8), QPoint(219, 43)));
    QCOMPARE(RectOf(g.host_label), QRect(QPoint(20, 44), QPoint(119, 65)));
    QCOMPARE(RectOf(g.host), QRect(QPoint(124, 44), QPoint(219, 65)));
    QCOMPARE(RectOf(g.port), QRect(QPoint(124, 68), QPoint(169, 89)));
    QCOMPARE(RectOf(g.port_spin), QRect(QPoint(170, 68), QPoint(185, 89)));
    QCOMPARE(RectOf(g.password), QRect(QPoint(124, 92), QPoint(199, 113)));

    ConnectDialog dialog("10.0.0.5", "8080", "secret");
    QCOMPARE(dialog.findChild<QLineEdit*>("connectHost")->geometry(), RectOf(g.host));
    QCOMPARE(dialog.findChild<QLineEdit*>("connectPort")->geometry(), RectOf(g.port));
    QCOMPARE(dialog.findChild<UpDownButtons*>("connectPortSpin")->geometry(), RectOf(g.port_spin));
    QCOMPARE(dialog.findChild<QLineEdit*>("connectPassword")->geometry(), RectOf(g.password));
  }

  void ItShowsTheSettingsAndGivesBackWhatWasTyped() {
    ConnectDialog dialog("10.0.0.5", "8080", "secret");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* host = dialog.findChild<QLineEdit*>("connectHost");
    auto* password = dialog.findChild<QLineEdit*>("connectPassword");
    QCOMPARE(host->text(), QString("10.0.0.5"));
    QCOMPARE(host->toolTip(), QString("The hostname or IP Address of the service to configure"));
    QCOMPARE(dialog.findChild<QLineEdit*>("connectPort")->toolTip(),
             QString("The port of the service to configure"));
    QCOMPARE(password->toolTip(),
             QString("The password required to connect to the service you wish to configure"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(host->hasFocus());

    host->setText("<local>");
    password->setText("river");
    QTest::mouseClick(dialog.findChild<QPushButton*>("connectOk"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Host(), std::string("<local>"));
    QCOMPARE(dialog.Port(), std::string("8080"));
    QCOMPARE(dialog.Password(), std::string("river"));
  }

  void TheUpDownButtonsStepWithinTheirRange_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("after");
    QTest::newRow("up") << "7290" << 1 << "7291";
    QTest::newRow("down") << "7290" << -1 << "7289";
    QTest::newRow("empty") << "" << 1 << "1024";
    QTest::newRow("below the range") << "80" << 1 << "1024";
    QTest::newRow("top") << "65534" << 1 << "65534";
    QTest::newRow("bottom") << "1024" << -1 << "1024";
  }
  void TheUpDownButtonsStepWithinTheirRange() {
    QFETCH(QString, port);
    QFETCH(int, step);
    ConnectDialog dialog("127.0.0.1", port.toStdString(), "");
    auto* spin = dialog.findChild<UpDownButtons*>("connectPortSpin");
    QTest::mouseClick(step > 0 ? spin->UpButton() : spin->DownButton(), Qt::LeftButton);
    QTEST(QString::fromStdString(dialog.Port()), "after");
  }
};

}  // namespace vossik

QTEST_MAIN(vossik::ConnectDialogTest)
#include "connect_dialog_test.moc"
