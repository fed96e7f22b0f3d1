// The load and save rules of setting controls, through a real store and a
// small descriptor, on a page of its own.
#include "ui/setting_control.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/property_page.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="index" name="Index">
      <parameter uid="source" name="Source"><control>edit</control></parameter>
      <parameter uid="target" name="Target" alternate="index:oldtarget" defaultfrom="index:source">
        <control>edit</control><default>deftarget</default>
      </parameter>
      <parameter uid="oldtarget" name="OldTarget"><control>edit</control></parameter>
      <parameter uid="secret" name="Secret" encrypted="true"><control>edit</control></parameter>
      <parameter uid="recurse" name="Recurse" alternate="index:oldrecurse">
        <control>switch</control><default>1</default>
      </parameter>
      <parameter uid="oldrecurse" name="OldRecurse"><control>switch</control></parameter>
    </section>
  </config>
  <sheet name="Main">
    <page name="General">
      <parameter uid="index:target"/>
      <parameter uid="index:secret"/>
      <parameter uid="index:recurse"/>
    </page>
  </sheet>
</vossik>)";

// A page on the test descriptor over a store holding `values` in [Index]
// (a null QString leaves the key out; an empty one is stored empty).
struct Fixture {
  explicit Fixture(const QMap<QString, QString>& values) {
    vossik::testing::MustParse(document, kDescriptor);
    for (auto it = values.begin(); it != values.end(); ++it) {
      if (it.value().isNull()) continue;
      // A key is only created by a value; emptying it afterwards keeps it.
      store.SetValue("Index", it.key().toStdString(), "x");
      store.SetValue("Index", it.key().toStdString(), it.value().toStdString());
    }
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(500, 300);
    page->ExchangeValues(false);
  }

  QLineEdit* Edit(const char* uid) const { return page->findChild<QLineEdit*>(uid); }

  // The stored value of `key`, or a null QString when the key is absent.
  QString Stored(const char* key) const {
    std::string value;
    if (store.GetValue("Index", key, "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
};

}  // namespace

class SettingControlTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadText_data() {
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("alternate");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("shown");
    QTest::newRow("stored value wins") << "mine"
                                       << "old"
                                       << "src"
                                       << "mine";
    QTest::newRow("never stored: defaultfrom over alternate") << QString() << "old"
                                                              << "src"
                                                              << "src";
    QTest::newRow("never stored: alternate over default")
        << QString() << "old" << QString() << "old";
    QTest::newRow("never stored: default") << QString() << QString() << QString() << "deftarget";
    QTest::newRow("stored empty: alternate first") << ""
                                                   << "old"
                                                   << "src"
                                                   << "old";
    QTest::newRow("stored empty: then defaultfrom") << "" << QString() << "src"
                                                    << "src";
  }
  void LoadText() {
    QFETCH(QString, own);
    QFETCH(QString, alternate);
    QFETCH(QString, from);
    QFETCH(QString, shown);
    Fixture f({{"Target", own}, {"OldTarget", alternate}, {"Source", from}});
    QCOMPARE(f.Edit("index:target")->text(), shown);
  }

  void SaveText_data() {
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("alternate");
    QTest::newRow("unchanged defaultfrom text keeps following")
        << QString() << "src" << QString() << "old";
    QTest::newRow("stored value is kept up to date") << "mine"
                                                     << "src"
                                                     << "src"
                                                     << "";
    QTest::newRow("new text is stored, alternate emptied") << QString() << "new"
                                                           << "new"
                                                           << "";
  }
  void SaveText() {
    QFETCH(QString, own);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, alternate);
    Fixture f({{"Target", own}, {"OldTarget", "old"}, {"Source", "src"}});
    f.Edit("index:target")->setText(typed);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored("Target"), stored);
    QCOMPARE(f.Stored("OldTarget"), alternate);
  }

  void EncryptedEditKeepsASecret() {
    Fixture f({});
    QCOMPARE(vossik::SetSecret(f.store, f.document.Root(), {"index:secret"}, "first pw"),
             vossik::kResultOk);
    f.page->ExchangeValues(false);
    QCOMPARE(f.Edit("index:secret")->text(), QString("first pw"));

    f.Edit("index:secret")->setText("second pw");
    f.page->ExchangeValues(true);
    QVERIFY(f.Stored("Secret").startsWith("499602D2"));
    std::string plain;
    QCOMPARE(vossik::GetSecret(f.store, f.document.Root(), {"index:secret"}, &plain),
             vossik::kResultOk);
    QCOMPARE(plain, std::string("second pw"));
  }

  void SwitchFallsBackToAStoredAlternate_data() {
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("alternate");
    QTest::addColumn<bool>("checked");
    QTest::newRow("own stored") << "1"
                                << "0" << true;
    QTest::newRow("alternate stored") << QString() << "0" << false;
    QTest::newRow("neither: own default") << QString() << QString() << true;
  }
  void SwitchFallsBackToAStoredAlternate() {
    QFETCH(QString, own);
    QFETCH(QString, alternate);
    QFETCH(bool, checked);
    Fixture f({{"Recurse", own}, {"OldRecurse", alternate}});
    QCOMPARE(f.page->findChild<QCheckBox*>("index:recurse")->isChecked(), checked);
  }

  void SwitchSaveClearsTheAlternate() {
    Fixture f({{"OldRecurse", "1"}});
    f.page->findChild<QCheckBox*>("index:recurse")->setChecked(true);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored("Recurse"), QString("1"));
    QCOMPARE(f.Stored("OldRecurse"), QString("0"));
  }

  void PreferencesAreKeptUnderTheUidAndSaved() {
    vossik::testing::TempDir dir;
    vossik::SettingsStore preferences;
    preferences.SetFileName((dir.Path() / "prefs.cfg").string());
    Fixture f({});
    vossik::SettingControl* control = f.page->FindControl("index:target");
    control->SetPreferences(&preferences);

    QCOMPARE(control->GetPreferenceNumber("BatchSize", 250), 250L);
    control->SetPreference("UsedList", "a,b");
    control->SetPreferenceNumber("BatchSize", 500);
    QCOMPARE(control->GetPreferenceNumber("BatchSize", 250), 500L);
    const std::string file = vossik::testing::ReadFile(dir.Path() / "prefs.cfg");
    QVERIFY(file.find("[Preferences]") != std::string::npos);
    QVERIFY(file.find("index:targetUsedList=a,b") != std::string::npos);
  }
};

QTEST_MAIN(SettingControlTest)
#include "setting_control_test.moc"
