// `droplist`: where its choices come from, how it keeps values that are not
// among them, and the values it remembers in the preferences store.
#include <QComboBox>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/property_page.h"
#include "ui/remembered_values.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="ui" name="Ui">
      <parameter uid="colour" name="Colour">
        <control>droplist</control><allowed>Red+Green, Blue</allowed><colors>FF0000+00ff00,0000FF</colors>
      </parameter>
      <parameter uid="pick" name="Pick"><control>droplist</control><contents>ui:names</contents></parameter>
      <parameter uid="names" name="Names"/>
      <parameter uid="fallback" name="Fallback">
        <control>droplist</control><defaultcontents quotewith="&apos;">&apos;a,b&apos;,c, d</defaultcontents>
      </parameter>
      <parameter uid="bare" name="Bare"><control>droplist</control></parameter>
      <parameter uid="recent" name="Recent" readonly="false" memory="true"><control>droplist</control></parameter>
    </section>
  </config>
  <sheet name="Main">
    <page name="Look">
      <parameter uid="ui:colour"/>
      <parameter uid="ui:pick"/>
      <parameter uid="ui:fallback"/>
      <parameter uid="ui:bare"/>
      <parameter uid="ui:recent"/>
    </page>
  </sheet>
</vossik>)";

struct Fixture {
  // `preferences` (may be null) is handed to the controls before they load.
  explicit Fixture(const QMap<QString, QString>& values,
                   vossik::SettingsStore* preferences = nullptr) {
    vossik::testing::MustParse(document, kDescriptor);
    for (auto it = values.begin(); it != values.end(); ++it) {
      store.SetValue("Ui", it.key().toStdString(), it.value().toStdString());
    }
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(500, 300);
    page->CreateControls();
    for (const auto& control : page->Controls()) {
      if (control) control->SetPreferences(preferences);
    }
    page->ExchangeValues(false);
  }

  QComboBox* Combo(const char* uid) const { return page->findChild<QComboBox*>(uid); }

  QString Stored(const char* key) const {
    std::string value;
    if (store.GetValue("Ui", key, "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
};

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

}  // namespace

class DropListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void Choices_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("allowed, split at + and ,")
        << "ui:colour" << QStringList{"Red", "Green", "Blue"};
    QTest::newRow("another parameter's list") << "ui:pick" << QStringList{"x,y", "z"};
    QTest::newRow("defaultcontents with quotewith")
        << "ui:fallback" << QStringList{"a,b", "c", "d"};
    QTest::newRow("none") << "ui:bare" << QStringList{};
  }
  void Choices() {
    QFETCH(QString, uid);
    QFETCH(QStringList, items);
    Fixture f({{"Names", "\"x,y\",z"}});
    QCOMPARE(Items(f.Combo(uid.toLatin1())), items);
  }

  void ChoicesTakeTheirColours() {
    Fixture f({});
    const QColor expected[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(f.Combo("ui:colour")->itemData(i, Qt::ForegroundRole).value<QBrush>().color(),
               expected[i]);
    }
  }

  void ReadOnlyListShowsTheStoredValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("count");
    QTest::newRow("a choice") << "Blue"
                              << "Blue" << 3;
    QTest::newRow("a choice in another case") << "green"
                                              << "Green" << 3;
    // Committing the page must not replace a value the list does not offer.
    QTest::newRow("not a choice") << "Purple"
                                  << "Purple" << 4;
  }
  void ReadOnlyListShowsTheStoredValue() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(int, count);
    Fixture f({{"Colour", stored}});
    QVERIFY(!f.Combo("ui:colour")->isEditable());
    QCOMPARE(f.Combo("ui:colour")->currentText(), shown);
    QCOMPARE(f.Combo("ui:colour")->count(), count);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored("Colour"), shown);
  }

  void MemoryOffersTheValuesUsedBeforeAfterARestart() {
    vossik::testing::TempDir dir;
    const std::string file = (dir.Path() / "prefs.cfg").string();
    {
      vossik::SettingsStore preferences;
      preferences.SetFileName(file);
      Fixture f({}, &preferences);
      QVERIFY(f.Combo("ui:recent")->isEditable());
      for (const char* text : {"alpha", "beta", "alpha", "a,b"}) {
        f.Combo("ui:recent")->setEditText(text);
        f.page->ExchangeValues(true);
      }
      QCOMPARE(f.Stored("Recent"), QString("a,b"));
    }
    const std::string saved = vossik::testing::ReadFile(file);
    QVERIFY2(saved.find("ui:recentUsedList=alpha,beta,\"a,b\"") != std::string::npos,
             saved.c_str());

    vossik::SettingsStore preferences;
    QCOMPARE(preferences.Load(file), 0);
    {
      // Nothing stored: the value chosen last stands in.
      Fixture f({}, &preferences);
      QCOMPARE(Items(f.Combo("ui:recent")), (QStringList{"alpha", "beta", "a,b"}));
      QCOMPARE(f.Combo("ui:recent")->currentText(), QString("a,b"));
    }
    {
      // The stored value wins over the one chosen last.
      Fixture f({{"Recent", "gamma"}}, &preferences);
      QCOMPARE(f.Combo("ui:recent")->currentText(), QString("gamma"));
    }
  }

  void PreferenceListRoundTrip_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringList{"a", "b"} << "a,b";
    QTest::newRow("comma") << QStringList{"z", "x,y"} << "z,\"x,y\"";
    QTest::newRow("quote and backslash")
        << QStringList{"say \"hi\"", "c:\\web\\"} << "\"say \\\"hi\\\"\",\"c:\\\\web\\\\\"";
    QTest::newRow("empty") << QStringList{} << "";
  }
  void PreferenceListRoundTrip() {
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    std::vector<std::string> list;
    for (const QString& item : items) list.push_back(item.toStdString());
    QCOMPARE(QString::fromStdString(vossik::FormatListValue(list)), text);
    QStringList split;
    for (const std::string& item : vossik::ParseListValue(text.toStdString())) {
      split << QString::fromStdString(item);
    }
    QCOMPARE(split, items);
  }
};

QTEST_MAIN(DropListControlTest)
#include "droplist_control_test.moc"
