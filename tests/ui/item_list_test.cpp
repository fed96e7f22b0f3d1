// The item list of `list`, `iplist` and `keyvaluelist` on a page over a real
// store: adding and its duplicates, the buttons' states, removing, Import
// and its messages, the owner's notices, and the stored forms (plain, one
// secret, `alternate`, words, "key:value").
#include "ui/item_list.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "indexer/index_options.h"
#include "indexer/word_rules.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/temp_dir.h"
#include "ui/control_fixture.h"
#include "ui/file_dialogs.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "widgets/ip_address_field.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="hosts" name="Hosts"><control>list</control>
        <import files="Lists (*.txt)|*.txt" validation="*.com"/></parameter>
      <parameter uid="words" name="Words" words="true"><control>list</control>
        <import files="Word lists (*.txt)|*.txt" validation="*"/><default>a,the</default></parameter>
      <parameter uid="secret" name="Secret" encrypted="true"><control>list</control></parameter>
      <parameter uid="newlist" name="New" alternate="t:oldlist"><control>list</control></parameter>
      <parameter uid="oldlist" name="Old"/>
      <parameter uid="addresses" name="Addresses"><control>iplist</control></parameter>
      <parameter uid="pairs" name="Pairs"><control>keyvaluelist</control><value>Value</value></parameter>
      <parameter uid="logins" name="Logins"><control>keyvaluelist</control>
        <value style="password">Password</value></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="Lists">
    <parameter uid="t:hosts"/><parameter uid="t:words"/><parameter uid="t:secret"/>
    <parameter uid="t:newlist"/><parameter uid="t:addresses"/><parameter uid="t:pairs"/>
    <parameter uid="t:logins"/>
  </page></sheet>
</vossik>)";

using vossik::testing::ControlFixture;

struct ShownMessage {
  vossik::MessageKind kind;
  std::string title;
  std::string text;
};

// Answers every message box and file dialog of one test, recording them.
class Answers {
 public:
  Answers() {
    previous_messages_ = vossik::SetMessageHook(
        [this](vossik::MessageKind kind, const std::string& title, const std::string& text) {
          messages.push_back({kind, title, text});
          return vossik::MessageAnswer::kOk;
        });
    previous_dialogs_ = vossik::SetFileDialogHook([this](const vossik::FileDialogRequest& request) {
      requests.push_back(request);
      return file;
    });
  }
  ~Answers() {
    vossik::SetMessageHook(std::move(previous_messages_));
    vossik::SetFileDialogHook(std::move(previous_dialogs_));
  }

  std::optional<std::string> file;  // the dialogs' answer
  std::vector<ShownMessage> messages;
  std::vector<vossik::FileDialogRequest> requests;

 private:
  vossik::MessageHook previous_messages_;
  vossik::FileDialogHook previous_dialogs_;
};

// Keeps the notices an item list posts to its owner.
class Owner : public QObject {
 public:
  static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 15);
  struct Notice {
    vossik::ItemListChangeEvent::Change change;
    std::vector<std::string> items;
  };
  std::vector<Notice> notices;

  bool event(QEvent* event) override {
    if (event->type() != kType) return QObject::event(event);
    const auto* change = static_cast<vossik::ItemListChangeEvent*>(event);
    notices.push_back({change->WhatChanged(), change->Items()});
    return true;
  }
};

vossik::ItemListCell* CellOf(ControlFixture& f, const char* uid) {
  return static_cast<vossik::ItemListCell*>(f.Control(uid)->Cell());
}

std::vector<std::string> ItemsOf(ControlFixture& f, const char* uid) {
  return CellOf(f, uid)->Items();
}

using Items = std::vector<std::string>;

// The stop words the indexer takes from a setting, in any order.
std::set<std::string> StopWords(const vossik::IndexOptions& options) {
  std::set<std::string> words;
  const vossik::StopList list = vossik::buildStopList(options.stop_list);
  if (list.words) {
    for (const vossik::WordEntry& word : *list.words) words.insert(word.text);
  }
  return words;
}

}  // namespace

Q_DECLARE_METATYPE(Items)

class ItemListTest : public QObject {
  Q_OBJECT

 private slots:
  // Only an item equal to one in the list, without regard to case, is a
  // copy; one that merely begins another is an item of its own (10.0.0.1
  // beside 10.0.0.12, "a" beside "an").
  void AddRefusesOnlyCopies_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Items>("items");
    QTest::addColumn<bool>("changed");
    QTest::newRow("abc beside ABCD") << "ABCD"
                                     << "abc" << Items{"abc", "ABCD"} << true;
    QTest::newRow("abcd beside ABCD") << "ABCD"
                                      << "abcd" << Items{"ABCD"} << false;
    QTest::newRow("an address beside a longer one")
        << "10.0.0.12"
        << "10.0.0.1" << Items{"10.0.0.1", "10.0.0.12"} << true;
    QTest::newRow("sorted without regard to case")
        << "beta,Alpha"
        << "gamma" << Items{"Alpha", "beta", "gamma"} << true;
    QTest::newRow("blanks around the text") << ""
                                            << "  x.com " << Items{"x.com"} << true;
  }

  void AddRefusesOnlyCopies() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    ControlFixture f(kDescriptor);
    f.Set("Hosts", stored.toStdString());
    f.Load();
    auto* input = f.Find<QLineEdit>("t:hosts/input");
    QTest::keyClicks(input, typed);
    QTest::keyClick(input, Qt::Key_Return);
    QTEST(ItemsOf(f, "t:hosts"), "items");
    QFETCH(bool, changed);
    QCOMPARE(f.Changed(), changed);
    QVERIFY(input->text().isEmpty());
    // A copy selects the item it copies, so the reason shows.
    const QList<QListWidgetItem*> selected = f.Find<QListWidget>("t:hosts")->selectedItems();
    QCOMPARE(selected.size(), changed ? 0 : 1);
  }

  void ButtonsFollowTheInputAndTheSelection() {
    ControlFixture f(kDescriptor);
    f.Set("Hosts", "a.com,b.com,c.com");
    f.Load();
    Owner owner;
    CellOf(f, "t:hosts")->SetOwnerNotification(&owner, Owner::kType);
    auto* input = f.Find<QLineEdit>("t:hosts/input");
    auto* add = f.Find<QPushButton>("t:hosts/add");
    auto* remove = f.Find<QPushButton>("t:hosts/remove");
    auto* list = f.Find<QListWidget>("t:hosts");
    QCOMPARE(add->text(), "Add");
    QCOMPARE(remove->text(), "Remove");
    QCOMPARE(f.Find<QPushButton>("t:hosts/import")->text(), "Import...");
    QVERIFY(!add->isEnabled());
    QVERIFY(!remove->isEnabled());

    QTest::keyClicks(input, "d.com");
    QVERIFY(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    QVERIFY(!add->isEnabled());

    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QVERIFY(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    QVERIFY(!remove->isEnabled());
    QCOMPARE(ItemsOf(f, "t:hosts"), (Items{"b.com", "d.com"}));

    // Delete in the list box removes as well; in the input it only edits.
    list->item(1)->setSelected(true);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(ItemsOf(f, "t:hosts"), (Items{"b.com"}));
    QTest::keyClick(input, Qt::Key_Delete);
    QCOMPARE(ItemsOf(f, "t:hosts"), (Items{"b.com"}));

    QCoreApplication::processEvents();
    QCOMPARE(owner.notices.size(), std::size_t{3});
    QCOMPARE(owner.notices[0].change, vossik::ItemListChangeEvent::kAdded);
    QCOMPARE(owner.notices[0].items, (Items{"d.com"}));
    QCOMPARE(owner.notices[1].change, vossik::ItemListChangeEvent::kRemoved);
    QCOMPARE(owner.notices[1].items, (Items{"a.com", "c.com"}));
    QCOMPARE(owner.notices[2].items, (Items{"d.com"}));

    f.Save();
    QCOMPARE(f.Stored("Hosts"), "b.com");
    // A list without an `import` element has no Import button.
    QVERIFY(f.Find<QPushButton>("t:secret/import") == nullptr);
  }

  void ImportAddsTheValidEntriesAndNamesTheOthers() {
    vossik::testing::TempDir dir;
    Answers answers;
    answers.file = dir.Write("hosts.txt", "one.com,two.com,x").string();
    ControlFixture f(kDescriptor);
    f.Set("Hosts", "old.com");
    f.Load();
    Owner owner;
    CellOf(f, "t:hosts")->SetOwnerNotification(&owner, Owner::kType);
    QTest::mouseClick(f.Find<QPushButton>("t:hosts/import"), Qt::LeftButton);

    QCOMPARE(answers.requests.size(), std::size_t{1});
    QCOMPARE(answers.requests[0].title, "Import List Data");
    QCOMPARE(answers.requests[0].filter, "Lists (*.txt)|*.txt");
    QCOMPARE(answers.messages.size(), std::size_t{1});
    QCOMPARE(answers.messages[0].kind, vossik::MessageKind::kWarning);
    QCOMPARE(answers.messages[0].title, "Import Error");
    QCOMPARE(answers.messages[0].text,
             "The selected file contained the invalid entries 'x, '.\n"
             "The invalid entries were not imported.");
    QCOMPARE(ItemsOf(f, "t:hosts"), (Items{"old.com", "one.com", "two.com"}));
    QVERIFY(f.Changed());
    QCoreApplication::processEvents();
    QCOMPARE(owner.notices.size(), std::size_t{1});
    QCOMPARE(owner.notices[0].items, (Items{"one.com", "two.com"}));
    f.Save();
    QCOMPARE(f.Stored("Hosts"), "old.com,one.com,two.com");
  }

  // Each refused file leaves the list as it was, with its own warning.
  void ImportRefusals_data() {
    QTest::addColumn<QByteArray>("content");  // null: no such file
    QTest::addColumn<QString>("message");
    QTest::newRow("too large") << QByteArray(0xFFFFF + 1, 'a')
                               << "The selected file is too large to import.\n"
                                  "Please select another smaller file and try again.";
    QTest::newRow("missing") << QByteArray()
                             << "The selected file could not be opened for import.\n"
                                "Please check permissions on the file and try again.";
    QTest::newRow("empty") << QByteArray("")
                           << "The selected file could not be read for import.\n"
                              "Please check the file has content and try again.";
    QTest::newRow("separators only")
        << QByteArray(",\r\n\t, ,")
        << "The selected file does not contain entries in the correct format.\n"
           "Please check the file has valid content and try again.";
    QTest::newRow("nothing new")
        << QByteArray("old.com\nOLD.COM\nnot-a-host")
        << "The selected file does not contain any new valid entries in the correct format.\n"
           "Please check the file has valid content and entries not already in the list and try "
           "again.";
  }

  void ImportRefusals() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    vossik::testing::TempDir dir;
    Answers answers;
    answers.file =
        content.isNull()
            ? (dir.Path() / "absent.txt").string()
            : dir.Write("list.txt", std::string(content.data(), content.size())).string();
    ControlFixture f(kDescriptor);
    f.Set("Hosts", "old.com");
    f.Load();
    QTest::mouseClick(f.Find<QPushButton>("t:hosts/import"), Qt::LeftButton);
    QCOMPARE(answers.messages.size(), std::size_t{1});
    QCOMPARE(answers.messages[0].title, "Import Error");
    QCOMPARE(QString::fromStdString(answers.messages[0].text), message);
    QCOMPARE(ItemsOf(f, "t:hosts"), (Items{"old.com"}));
    QVERIFY(!f.Changed());
  }

  void ImportedInvalidEntriesAreCutAt256Characters() {
    std::vector<std::string> pieces(100, "abcd");
    const std::string text = vossik::InvalidEntriesText(pieces);
    QCOMPARE(text.size(), std::size_t{259});
    QCOMPARE(text.substr(0, 12), "abcd, abcd, ");
    QCOMPARE(text.substr(252), "abcd...");
  }

  void EncryptedListIsOneSecret() {
    ControlFixture f(kDescriptor);
    f.Load();
    auto* input = f.Find<QLineEdit>("t:secret/input");
    for (const char* item : {"beta", "alpha"}) {
      QTest::keyClicks(input, item);
      QTest::keyClick(input, Qt::Key_Return);
    }
    f.Save();
    QVERIFY(f.Stored("Secret").startsWith("499602D2"));
    std::string plain;
    QCOMPARE(vossik::GetSecret(f.store, f.document.Root(), {"t:secret"}, &plain), 0);
    QCOMPARE(plain, "alpha,beta");

    ControlFixture again(kDescriptor);
    again.store.SetValue("T", "Secret", f.Stored("Secret").toStdString());
    again.Load();
    QCOMPARE(ItemsOf(again, "t:secret"), (Items{"alpha", "beta"}));
  }

  void AlternateStandsInUntilTheListIsSaved() {
    ControlFixture f(kDescriptor);
    f.Set("Old", "x,y");
    f.Load();
    QCOMPARE(ItemsOf(f, "t:newlist"), (Items{"x", "y"}));
    f.Save();
    QCOMPARE(f.Stored("New"), "x,y");
    QCOMPARE(f.Stored("Old"), "");
  }

  // A stop list written by hand with blanks and line ends shows one word
  // per item, and what the list saves reads as the same words.
  void WordsAreSplitAsTheIndexerReadsThem() {
    ControlFixture f(kDescriptor);
    f.Set("Words", R"("The an\nof, a")");
    f.Load();
    QCOMPARE(ItemsOf(f, "t:words"), (Items{"a", "an", "of", "The"}));
    f.Save();
    QCOMPARE(f.Stored("Words"), "a,an,of,The");
    std::string setting;
    QCOMPARE(vossik::GetString(f.store, f.document.Root(), {"t:words"}, &setting), 0);
    QCOMPARE(vossik::buildStopList(setting).text, R"("a","an","of","the")");
  }

  void ImportedWordsMustBeSingleWords() {
    vossik::testing::TempDir dir;
    Answers answers;
    answers.file = dir.Write("words.txt", "alpha\nbeta gamma\r\ndelta.,the\n").string();
    ControlFixture f(kDescriptor);
    f.Load();
    QTest::mouseClick(f.Find<QPushButton>("t:words/import"), Qt::LeftButton);
    QCOMPARE(ItemsOf(f, "t:words"), (Items{"a", "alpha", "the"}));
    QCOMPARE(answers.messages.size(), std::size_t{1});
    QCOMPARE(answers.messages[0].text,
             "The selected file contained the invalid entries 'beta gamma, delta., '.\n"
             "The invalid entries were not imported.");
  }

  void IpListAddsFromTheAddressField() {
    ControlFixture f(kDescriptor);
    f.Set("Addresses", "127.0.0.0/8,::1");
    f.Load();
    auto* field = f.Find<vossik::IpAddressField>("t:addresses/input");
    auto* add = f.Find<QPushButton>("t:addresses/add");
    QVERIFY(!add->isEnabled());
    QVERIFY(field->SetText("192.168.1.20"));
    QVERIFY(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    QVERIFY(field->IsBlank());
    f.Save();
    // Networks and IPv6 addresses that were stored are kept as they are.
    QCOMPARE(f.Stored("Addresses"), "127.0.0.0/8,192.168.1.20,::1");
  }

  void KeyValueItemsAreSavedWithAColon() {
    ControlFixture f(kDescriptor);
    f.Set("Pairs", R"(user=ann,host:example.org,"port\t80")");
    f.Load();
    QCOMPARE(ItemsOf(f, "t:pairs"), (Items{"user\tann", "host\texample.org", "port\t80"}));
    QTest::keyClicks(f.Find<QLineEdit>("t:pairs/key"), "path");
    QTest::keyClicks(f.Find<QLineEdit>("t:pairs/value"), "/a=b");
    QTest::keyClick(f.Find<QLineEdit>("t:pairs/value"), Qt::Key_Return);
    f.Save();
    QCOMPARE(f.Stored("Pairs"), "user:ann,host:example.org,port:80,path:/a=b");
  }

  void PasswordValuesAreMaskedAndKept() {
    ControlFixture f(kDescriptor);
    f.Set("Logins", "ann=secret");
    f.Load();
    auto* value = f.Find<QLineEdit>("t:logins/value");
    QCOMPARE(value->echoMode(), QLineEdit::Password);
    QCOMPARE(f.Find<QLabel>("t:logins/valuelabel")->text(), "Password:");
    QTest::keyClicks(f.Find<QLineEdit>("t:logins/key"), "bob");
    QTest::keyClicks(value, "pw");
    QTest::mouseClick(f.Find<QPushButton>("t:logins/add"), Qt::LeftButton);
    QCOMPARE(ItemsOf(f, "t:logins"), (Items{"ann\t*********", "bob\t*********"}));
    f.Save();
    QCOMPARE(f.Stored("Logins"), "ann:secret,bob:pw");
  }

  // The product's Files and Words pages show their lists from a
  // configuration file written before the lists existed, and what they
  // save reads the same to the indexer.
  void ProductPagesKeepWhatTheIndexerReads() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    vossik::ConfigDescriptor descriptor;
    QVERIFY(descriptor.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    vossik::SettingsStore store;
    QCOMPARE(store.Parse("[Index]\nTypeInclude=*.htm,*.php\nMatchExclude=*/drafts/*,\"*/a,b/*\"\n"
                         "StopList=\"the and\\nof,a\"\n"),
             0);
    const vossik::IndexOptions before = vossik::ReadIndexOptions(store, descriptor.Root());
    vossik::CGUIPropertySheet sheet(&store);
    sheet.SetUp("Vossik", "vossik", descriptor.Root());
    sheet.resize(636, 476);
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    QCoreApplication::processEvents();  // event 2025 loads the store

    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) QVERIFY(QDir().mkpath(folder));
    std::map<std::string, vossik::CGUIPropertyPage*> pages;
    for (int i = 0; i < sheet.PageCount(); ++i) {
      sheet.ActivatePage(i);
      QCoreApplication::processEvents();
      vossik::CGUIPropertyPage* page = sheet.Page(i);
      pages[page->Uid()] = page;
      if (!folder.isEmpty() && (page->Uid() == "files" || page->Uid() == "words")) {
        QVERIFY(sheet.grab().save(folder + "/settings-" + QString::fromStdString(page->Uid()) +
                                  ".png"));
      }
    }
    const auto items = [&](const char* page, const char* uid) {
      auto* control = dynamic_cast<vossik::ItemListControl*>(pages.at(page)->FindControl(uid));
      return control != nullptr ? control->ListCell()->Items() : Items{"not a list"};
    };
    QCOMPARE(items("files", "index:typeinclude"), (Items{"*.htm", "*.php"}));
    QCOMPARE(items("files", "index:typeexclude"), (Items{"*.bak", "*.tmp"}));
    QCOMPARE(items("files", "index:matchinclude"), Items{});
    QCOMPARE(items("files", "index:matchexclude"), (Items{"*/a,b/*", "*/drafts/*"}));
    QCOMPARE(items("words", "index:stoplist"), (Items{"a", "and", "of", "the"}));

    for (auto& [uid, page] : pages) page->ExchangeValues(true);
    const vossik::IndexOptions after = vossik::ReadIndexOptions(store, descriptor.Root());
    QCOMPARE(after.type_include, before.type_include);
    QCOMPARE(after.type_exclude, before.type_exclude);
    QCOMPARE(after.match_include, before.match_include);
    std::vector<std::string> excluded = *before.match_exclude;
    std::ranges::sort(excluded);
    QCOMPARE(*after.match_exclude, excluded);
    QCOMPARE(StopWords(after), StopWords(before));
    QCOMPARE(QString::fromStdString(*store.FindStoredValue("Index", "StopList")), "a,and,of,the");
  }
};

QTEST_MAIN(ItemListTest)
#include "item_list_test.moc"
