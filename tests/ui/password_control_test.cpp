// `password`: two masked entries that must agree before the password is
// saved, laid out on one row.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/must_parse.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="admin" name="Admin">
      <parameter uid="password" name="Password" encrypted="true">
        <control>password</control><hint>The administration password</hint>
      </parameter>
    </section>
  </config>
  <sheet name="Main"><page name="Service"><parameter uid="admin:password"/></page></sheet>
</vossik>)";

struct Message {
  vossik::MessageKind kind;
  std::string title;
  std::string text;
};

struct Fixture {
  Fixture() {
    vossik::testing::MustParse(document, kDescriptor);
    if (vossik::SetSecret(store, document.Root(), {"admin:password"}, "old secret") !=
        vossik::kResultOk)
      std::abort();
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(500, 200);
    page->ExchangeValues(false);
    previous_hook = vossik::SetMessageHook(
        [this](vossik::MessageKind kind, const std::string& title, const std::string& text) {
          messages.push_back({kind, title, text});
          return vossik::MessageAnswer::kOk;
        });
  }
  ~Fixture() { vossik::SetMessageHook(std::move(previous_hook)); }

  QLineEdit* First() const { return page->findChild<QLineEdit*>("admin:password"); }
  QLineEdit* Second() const { return page->findChild<QLineEdit*>("admin:password/retype"); }

  std::string Password() const {
    std::string plain;
    // An unreadable secret reads as empty, which the tests compare.
    static_cast<void>(vossik::GetSecret(store, document.Root(), {"admin:password"}, &plain));
    return plain;
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
  std::vector<Message> messages;
  vossik::MessageHook previous_hook;
};

}  // namespace

class PasswordControlTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadFillsBothMaskedEntries() {
    Fixture f;
    for (QLineEdit* edit : {f.First(), f.Second()}) {
      QCOMPARE(edit->text(), QString("old secret"));
      QCOMPARE(edit->echoMode(), QLineEdit::Password);
      QCOMPARE(edit->toolTip(), QString("The administration password"));
    }
  }

  void SaveOnlyWhenBothEntriesAgree_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("told");
    QTest::newRow("equal") << "new secret"
                           << "new secret"
                           << "new secret" << false;
    QTest::newRow("different") << "new secret"
                               << "new secreT"
                               << "old secret" << true;
    QTest::newRow("both cleared") << ""
                                  << ""
                                  << "" << false;
  }
  void SaveOnlyWhenBothEntriesAgree() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, stored);
    QFETCH(bool, told);
    Fixture f;
    f.First()->setText(first);
    f.Second()->setText(second);
    f.page->ExchangeValues(true);
    QCOMPARE(QString::fromStdString(f.Password()), stored);
    QCOMPARE(f.messages.size(), told ? std::size_t(1) : std::size_t(0));
    if (told) {
      QCOMPARE(f.messages[0].kind, vossik::MessageKind::kInformation);
      QCOMPARE(f.messages[0].title, std::string("Vossik Admin"));
      QCOMPARE(f.messages[0].text, std::string("Password not changed, two entries differ."));
    }
  }

  void EntriesShareTheRow_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("entry");  // e: the smaller of 120 and (W - 148) / 3
    QTest::newRow("narrow") << 400 << 84;
    QTest::newRow("wide") << 600 << 120;
  }
  void EntriesShareTheRow() {
    QFETCH(int, width);
    QFETCH(int, entry);
    Fixture f;
    f.page->FindControl("admin:password")->Cell()->Place({8, 20, width, 22});
    QCOMPARE(f.page->findChild<QLabel*>("admin:password/label")->geometry(), QRect(0, 4, 140, 18));
    QCOMPARE(f.First()->geometry(), QRect(147, 0, entry - 8, 22));
    auto* retype = f.page->findChild<QLabel*>("admin:password/retypelabel");
    QCOMPARE(retype->text(), QString("Retype:"));
    QCOMPARE(retype->geometry(), QRect(entry + 148, 4, entry - 8, 18));
    QCOMPARE(f.Second()->geometry(), QRect(2 * entry + 148, 0, entry - 8, 22));
  }
};

QTEST_MAIN(PasswordControlTest)
#include "password_control_test.moc"
