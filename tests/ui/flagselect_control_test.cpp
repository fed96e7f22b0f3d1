// `flagselect`: one check box per allowed name, stored as the checked names
// each followed by "+", flowing onto further rows in a narrow cell.
#include <QCheckBox>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="log" name="Log">
      <parameter uid="types" name="Types">
        <control>flagselect</control><allowed>Error, Warning,Message</allowed>
      </parameter>
    </section>
  </config>
  <sheet name="Main"><page name="Logging"><parameter uid="log:types"/></page></sheet>
</vossik>)";

const char* const kNames[] = {"Error", "Warning", "Message"};

struct Fixture {
  explicit Fixture(const char* stored = nullptr) {
    vossik::testing::MustParse(document, kDescriptor);
    if (stored != nullptr) store.SetValue("Log", "Types", stored);
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(600, 200);
    page->ExchangeValues(false);
  }

  // The box of kNames[i]; the first is the main input.
  QCheckBox* Box(int i) const {
    return page->findChild<QCheckBox*>(i == 0 ? QString("log:types")
                                              : QString("log:types/") + kNames[i]);
  }

  QString Checked() const {
    QStringList names;
    for (int i = 0; i < 3; ++i) {
      if (Box(i)->isChecked()) names << kNames[i];
    }
    return names.join(' ');
  }

  QString Stored() const {
    std::string value;
    if (store.GetValue("Log", "Types", "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
};

}  // namespace

class FlagSelectControlTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadChecksTheNamedBoxes_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("checked");
    QTest::newRow("bar, any case") << "warning|error"
                                   << "Error Warning";
    QTest::newRow("stored form") << "Warning+Message+"
                                 << "Warning Message";
    QTest::newRow("other separators, unknown name") << "MESSAGE/bogus\\error, "
                                                    << "Error Message";
    QTest::newRow("empty clears all") << ""
                                      << "";
  }
  void LoadChecksTheNamedBoxes() {
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    Fixture f;
    // Boxes checked before loading must be cleared unless named.
    for (int i = 0; i < 3; ++i) f.Box(i)->setChecked(true);
    f.store.SetValue("Log", "Types", stored.toStdString());
    f.page->ExchangeValues(false);
    QCOMPARE(f.Checked(), checked);
  }

  void SaveListsTheCheckedNames_data() {
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("stored");
    QTest::newRow("only Warning") << "Warning"
                                  << "Warning+";
    QTest::newRow("in box order") << "Message Error"
                                  << "Error+Message+";
    QTest::newRow("none") << ""
                          << "";
  }
  void SaveListsTheCheckedNames() {
    QFETCH(QString, checked);
    QFETCH(QString, stored);
    Fixture f("Error+Warning+Message+");
    for (int i = 0; i < 3; ++i) f.Box(i)->setChecked(checked.contains(kNames[i]));
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored(), stored);
  }

  void BoxesFlowOntoNewRows_data() {
    QTest::addColumn<QString>("fits");  // how much of the row width the boxes get
    QTest::addColumn<int>("rows");
    QTest::newRow("all on one row") << "all" << 1;
    QTest::newRow("two on the first row") << "two" << 2;
    QTest::newRow("one per row") << "one" << 3;
    QTest::newRow("too narrow even for one box") << "none" << 3;
  }
  void BoxesFlowOntoNewRows() {
    QFETCH(QString, fits);
    QFETCH(int, rows);
    Fixture f;
    int caption[3];
    for (int i = 0; i < 3; ++i) caption[i] = f.Box(i)->fontMetrics().horizontalAdvance(kNames[i]);
    // Right edges of the boxes when all share the first row.
    const int second = 148 + caption[0] + 28;
    const int third = second + caption[1] + 28;
    int width = 100;
    if (fits == "all") width = third + caption[2] + 24;
    if (fits == "two") width = third + caption[2] + 23;
    if (fits == "one") width = std::max(second + caption[1] + 23, 148 + caption[2] + 24);

    vossik::ControlCell* cell = f.page->FindControl("log:types")->Cell();
    QCOMPARE(cell->Place({8, 20, width, 22}), 22 * rows);
    QCOMPARE(cell->height(), 22 * rows);
    QCOMPARE(f.page->findChild<QWidget*>("log:types/label")->geometry(), QRect(0, 4, 140, 18));
    QCOMPARE(f.Box(0)->geometry(), QRect(148, 0, caption[0] + 24, 22));
    const QRect last = f.Box(2)->geometry();
    QCOMPARE(last.top(), 22 * (rows - 1));
    QCOMPARE(last.width(), caption[2] + 24);
    QCOMPARE(last.left(), rows == 1 ? third : 148);
    if (rows == 2) QCOMPARE(f.Box(1)->geometry().topLeft(), QPoint(second, 0));
  }
};

QTEST_MAIN(FlagSelectControlTest)
#include "flagselect_control_test.moc"
