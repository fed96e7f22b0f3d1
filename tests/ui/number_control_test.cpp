// The numeric controls `number`, `port`, `unitnumber` and `slider`: their
// ranges, stepping, the values they save and the places of their pieces.
#include "ui/number_control.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="net" name="Net">
      <parameter uid="count" name="Count"><control>number</control></parameter>
      <parameter uid="port" name="Port"><control>port</control></parameter>
      <parameter uid="zero" name="Zero"><control>number</control><allowed min="0" max="0"/></parameter>
      <parameter uid="delay" name="Delay">
        <control>unitnumber</control><allowed min="5" max="90"/><unit>seconds</unit>
      </parameter>
      <parameter uid="level" name="Level"><control>slider</control><unit>%</unit></parameter>
      <parameter uid="volume" name="Volume"><control>slider</control><allowed min="10" max="50"/></parameter>
    </section>
  </config>
  <sheet name="Main">
    <page name="General">
      <parameter uid="net:count"/>
      <parameter uid="net:port"/>
      <parameter uid="net:zero"/>
      <parameter uid="net:delay"/>
      <parameter uid="net:level"/>
      <parameter uid="net:volume"/>
    </page>
  </sheet>
</vossik>)";

// The test page over a store holding `values` in [Net].
struct Fixture {
  explicit Fixture(const QMap<QString, QString>& values = {}) {
    vossik::testing::MustParse(document, kDescriptor);
    for (auto it = values.begin(); it != values.end(); ++it) {
      store.SetValue("Net", it.key().toStdString(), it.value().toStdString());
    }
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(500, 400);
    page->ExchangeValues(false);
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    return page->findChild<T*>(name);
  }

  vossik::ControlCell* Cell(const char* uid) const { return page->FindControl(uid)->Cell(); }

  // The stored value of `key`, or a null QString when the key is absent.
  QString Stored(const QString& key) const {
    std::string value;
    if (store.GetValue("Net", key.toStdString(), "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
};

}  // namespace

class NumberControlTest : public QObject {
  Q_OBJECT

 private slots:
  void RangeOfTheUpDownAndTheEdit_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::newRow("number without allowed") << "net:count" << 0 << 65535;
    QTest::newRow("port without allowed") << "net:port" << 0 << 65000;
    QTest::newRow("unitnumber with allowed") << "net:delay" << 5 << 90;
  }
  void RangeOfTheUpDownAndTheEdit() {
    QFETCH(QString, uid);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    Fixture f;
    auto* up_down = f.Find<vossik::UpDownButtons>(uid + "/updown");
    QVERIFY(up_down != nullptr);
    QCOMPARE(up_down->Range().minimum, minimum);
    QCOMPARE(up_down->Range().maximum, maximum);
    const auto* validator = qobject_cast<const QIntValidator*>(f.Find<QLineEdit>(uid)->validator());
    QCOMPARE(validator->bottom(), minimum);
    QCOMPARE(validator->top(), maximum);
  }

  // Stepping brings the number into the range first and stops at its ends.
  void UpDownSteps_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("shown");
    QTest::newRow("number stops at 65535") << "Count"
                                           << "65534" << 3 << "65535";
    QTest::newRow("port stops at 65000") << "Port"
                                         << "64999" << 2 << "65000";
    QTest::newRow("down stops at 0") << "Count"
                                     << "1" << -4 << "0";
    QTest::newRow("empty counts as 0") << "Port"
                                       << "" << 1 << "1";
    QTest::newRow("commas in a stored number") << "Count"
                                               << "1,024" << 1 << "1025";
    QTest::newRow("below the minimum starts from it") << "Delay"
                                                      << "3" << 1 << "6";
  }
  void UpDownSteps() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(int, steps);
    QFETCH(QString, shown);
    Fixture f({{key, stored}});
    const QString uid = "net:" + key.toLower();
    auto* up_down = f.Find<vossik::UpDownButtons>(uid + "/updown");
    for (int i = 0; i < std::abs(steps); ++i) {
      (steps > 0 ? up_down->UpButton() : up_down->DownButton())->click();
    }
    QCOMPARE(f.Find<QLineEdit>(uid)->text(), shown);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored(key), shown);
  }

  void ArrowKeysInTheEditStep() {
    Fixture f({{"Port", "80"}});
    QTest::keyClick(f.Find("net:port"), Qt::Key_Up);
    QTest::keyClick(f.Find("net:port"), Qt::Key_Up);
    QTest::keyClick(f.Find("net:port"), Qt::Key_Down);
    QCOMPARE(f.Find<QLineEdit>("net:port")->text(), QString("81"));
  }

  // The validator lets "70000" through for a port (it has no more digits
  // than 65000); the saved value must still be in range, in plain decimal.
  void SavingBringsTheNumberIntoRange_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("port above its maximum") << "Port"
                                            << "70000"
                                            << "65000";
    QTest::newRow("below the minimum") << "Delay"
                                       << "2"
                                       << "5";
    QTest::newRow("slider above its maximum") << "Volume"
                                              << "99"
                                              << "50";
    QTest::newRow("in range as typed") << "Count"
                                       << "123"
                                       << "123";
    // The validator takes a sign; the file's number rule reads only "-".
    QTest::newRow("plus sign") << "Delay"
                               << "+50"
                               << "50";
    QTest::newRow("plus sign with 0 allowed") << "Port"
                                              << "+80"
                                              << "80";
    QTest::newRow("empty stores nothing") << "Count"
                                          << "" << QString();
  }
  void SavingBringsTheNumberIntoRange() {
    QFETCH(QString, key);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Fixture f;
    auto* edit = f.Find<QLineEdit>("net:" + key.toLower());
    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored(key), stored);
    if (!stored.isNull()) QCOMPARE(edit->text(), stored);
  }

  void SliderAndEditFollowEachOther() {
    Fixture f({{"Level", "30"}, {"Volume", "80"}});
    auto* level = f.Find<QSlider>("net:level/trackbar");
    QCOMPARE(level->value(), 30);
    QCOMPARE(level->tickInterval(), 5);
    // A stored value beyond the range is shown as stored; the track bar
    // stops at the end.
    QCOMPARE(f.Find<QSlider>("net:volume/trackbar")->value(), 50);
    QCOMPARE(f.Find<QLineEdit>("net:volume")->text(), QString("80"));

    level->setValue(42);
    QCOMPARE(f.Find<QLineEdit>("net:level")->text(), QString("42"));
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored("Level"), QString("42"));

    auto* edit = f.Find<QLineEdit>("net:level");
    edit->clear();
    QTest::keyClicks(edit, "17");
    QCOMPARE(level->value(), 17);
    QCOMPARE(edit->text(), QString("17"));
  }

  void NumberGeometry_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("widest");  // the text the edit box is sized for ("" for 54)
    QTest::newRow("number") << "net:count"
                            << "0065535";
    QTest::newRow("port") << "net:port"
                          << "0065000";
    QTest::newRow("maximum 0") << "net:zero"
                               << "";
    QTest::newRow("unitnumber") << "net:delay"
                                << "0090";
  }
  void NumberGeometry() {
    QFETCH(QString, uid);
    QFETCH(QString, widest);
    Fixture f;
    auto* cell = f.page->FindControl(uid.toStdString())->Cell();
    QCOMPARE(cell->Place({8, 20, 400, 22}), 22);
    auto* edit = f.Find<QLineEdit>(uid);
    const int width = widest.isEmpty() ? 54 : edit->fontMetrics().horizontalAdvance(widest);
    QCOMPARE(f.Find(uid + "/label")->geometry(), QRect(0, 4, 140, 18));
    QCOMPARE(edit->geometry(), QRect(148, 0, width, 22));
    QCOMPARE(f.Find(uid + "/updown")->geometry(), QRect(width + 150, 0, 16, 22));
    if (auto* unit = f.Find<QLabel>(uid + "/unit")) {
      QCOMPARE(unit->text(), QString("seconds"));
      QCOMPARE(unit->geometry(),
               QRect(width + 170, 4, unit->fontMetrics().horizontalAdvance("seconds") + 8, 18));
    }
  }

  void SliderGeometry() {
    Fixture f;
    vossik::ControlCell* cell = f.Cell("net:level");
    QCOMPARE(cell->PreferredHeight(), 33);
    QCOMPARE(cell->Place({8, 20, 400, 33}), 33);
    QCOMPARE(f.Find("net:level/label")->geometry(), QRect(0, 4, 140, 29));
    QCOMPARE(f.Find("net:level/trackbar")->geometry(), QRect(148, 0, 172, 33));
    QCOMPARE(f.Find("net:level")->geometry(), QRect(320, 4, 40, 22));
    QCOMPARE(f.Find("net:level/unit")->geometry(), QRect(360, 9, 23, 16));
    QCOMPARE(f.Find<QLabel>("net:level/unit")->text(), QString("%"));
  }
};

QTEST_MAIN(NumberControlTest)
#include "number_control_test.moc"
