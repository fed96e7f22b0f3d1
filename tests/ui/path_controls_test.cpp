// The `filepathedit` and `browsebutton` controls: dialogs answered through
// the dialog hook, the open button, remembered paths, and the file import
// with its question and messages answered through the message hook.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <optional>
#include <vector>

#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/control_fixture.h"
#include "ui/file_dialogs.h"
#include "ui/message_box.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="folder" name="Folder"><control>filepathedit</control>
        <browsebutton type="folder">Choose...</browsebutton><openbutton>Open</openbutton></parameter>
      <parameter uid="log" name="Log"><control>filepathedit</control>
        <browsebutton type="save" filter="Logs|*.log"/><defextension>log</defextension>
        <openbutton>Show</openbutton></parameter>
      <parameter uid="recent" name="Recent"><control>filepathedit</control>
        <browsebutton type="open" memory="true"/></parameter>
      <parameter uid="import" name="Import"><control>browsebutton</control><hint>Import a list</hint>
        <mask>Lists|*.txt</mask><defextension>txt</defextension><msgtitle>Import</msgtitle>
        <msgprompt>Replace it?</msgprompt><msgsuccess>Imported.</msgsuccess></parameter>
      <parameter uid="plain" name="Plain"><control>browsebutton</control></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="P">
    <parameter uid="t:folder"/><parameter uid="t:log"/><parameter uid="t:recent"/>
    <parameter uid="t:import"><msgtitle>Not this one</msgtitle><buttontext>Import...</buttontext></parameter>
    <parameter uid="t:plain"/>
  </page></sheet>
</vossik>)";

using vossik::FileDialogKind;
using vossik::FileDialogRequest;
using vossik::MessageAnswer;
using vossik::MessageKind;
using vossik::testing::ControlFixture;
using vossik::testing::TempDir;

struct Message {
  MessageKind kind;
  std::string title;
  std::string text;
};

// Answers every file dialog with `answer` and keeps the requests; answers
// every question with `reply` and keeps the messages. Both hooks are
// removed again at the end of the test.
struct Hooks {
  explicit Hooks(std::optional<std::string> answer_in, MessageAnswer reply_in = MessageAnswer::kYes)
      : answer(std::move(answer_in)), reply(reply_in) {
    vossik::SetFileDialogHook([this](const FileDialogRequest& request) {
      requests.push_back(request);
      return answer;
    });
    vossik::SetMessageHook(
        [this](MessageKind kind, const std::string& title, const std::string& text) {
          messages.push_back({kind, title, text});
          return kind == MessageKind::kQuestion ? reply : MessageAnswer::kOk;
        });
  }
  ~Hooks() {
    vossik::SetFileDialogHook({});
    vossik::SetMessageHook({});
  }

  std::optional<std::string> answer;
  MessageAnswer reply;
  std::vector<FileDialogRequest> requests;
  std::vector<Message> messages;
};

}  // namespace

Q_DECLARE_METATYPE(vossik::FileDialogKind)
Q_DECLARE_METATYPE(vossik::MessageAnswer)

class PathControlsTest : public QObject {
  Q_OBJECT

 private slots:
  // -- filepathedit -----------------------------------------------------------

  void BrowseAsksTheDialogOfTheType_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<FileDialogKind>("kind");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("folder") << "t:folder" << FileDialogKind::kFolder << ""
                            << "";
    QTest::newRow("save") << "t:log" << FileDialogKind::kSave << "Logs|*.log"
                          << "log";
    QTest::newRow("open") << "t:recent" << FileDialogKind::kOpen << ""
                          << "";
  }
  void BrowseAsksTheDialogOfTheType() {
    QFETCH(QString, uid);
    QFETCH(FileDialogKind, kind);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    ControlFixture f(kDescriptor);
    f.Load();
    Hooks hooks(std::string("/picked/path"));
    auto* line = f.Find<QLineEdit>(uid);
    if (line == nullptr) line = f.Find<QComboBox>(uid)->lineEdit();
    line->setText("/before");
    f.page->SetModified(false);

    f.Find<QPushButton>(uid + "/browse")->click();
    QCOMPARE(hooks.requests.size(), std::size_t(1));
    QCOMPARE(hooks.requests[0].kind, kind);
    QCOMPARE(QString::fromStdString(hooks.requests[0].filter), filter);
    QCOMPARE(QString::fromStdString(hooks.requests[0].default_extension), extension);
    QCOMPARE(hooks.requests[0].start, std::string("/before"));
    QCOMPARE(line->text(), QString("/picked/path"));
    QVERIFY(f.Changed());
  }

  void CancelledBrowseChangesNothing() {
    ControlFixture f(kDescriptor);
    f.Set("Folder", "/kept");
    f.Load();
    Hooks hooks(std::nullopt);
    f.Find<QPushButton>("t:folder/browse")->click();
    QCOMPARE(f.Find<QLineEdit>("t:folder")->text(), QString("/kept"));
    QVERIFY(!f.Changed());
  }

  void OpenButtonNeedsAnExistingPathOfTheKind_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("folder mode, folder") << "t:folder"
                                         << "sub" << true;
    QTest::newRow("folder mode, file") << "t:folder"
                                       << "file.log" << false;
    QTest::newRow("folder mode, missing") << "t:folder"
                                          << "nothing" << false;
    QTest::newRow("file mode, file") << "t:log"
                                     << "file.log" << true;
    QTest::newRow("file mode, folder") << "t:log"
                                       << "sub" << false;
    QTest::newRow("empty") << "t:log"
                           << "" << false;
  }
  void OpenButtonNeedsAnExistingPathOfTheKind() {
    QFETCH(QString, uid);
    QFETCH(QString, path);
    QFETCH(bool, enabled);
    TempDir dir;
    dir.ChangeInto();
    dir.Write("file.log", "x");
    std::filesystem::create_directory(dir.Path() / "sub");
    ControlFixture f(kDescriptor);
    f.Set(uid == "t:folder" ? "Folder" : "Log", path.toStdString());
    f.Load();
    auto* open = f.Find<QPushButton>(uid + "/open");
    QCOMPARE(open->isEnabled(), enabled);
    // Checked again on every change of the text.
    f.Find<QLineEdit>(uid)->setText("elsewhere");
    QVERIFY(!open->isEnabled());
    f.Find<QLineEdit>(uid)->setText(path);
    QCOMPARE(open->isEnabled(), enabled);
  }

  void MemoryRemembersEachPathOnce() {
    TempDir dir;
    vossik::SettingsStore preferences;
    preferences.SetFileName((dir.Path() / "prefs.cfg").string());
    for (const char* path : {"/first", "/a, b", "/first"}) {
      ControlFixture f(kDescriptor);  // a new start each time
      f.Control("t:recent")->SetPreferences(&preferences);
      f.Load();
      f.Find<QComboBox>("t:recent")->setEditText(path);
      f.Save();
      QCOMPARE(f.Stored("Recent"), QString(path));
    }
    std::string used;
    QCOMPARE(preferences.GetValue("Preferences", "t:recentUsedList", "", &used), vossik::kResultOk);
    QCOMPARE(used, std::string("/first,\"/a, b\""));
    std::string selected;
    QCOMPARE(preferences.GetValue("Preferences", "t:recentSelected", "", &selected),
             vossik::kResultOk);
    QCOMPARE(selected, std::string("/first"));

    ControlFixture f(kDescriptor);
    f.Control("t:recent")->SetPreferences(&preferences);
    f.Set("Recent", "/a, b");
    f.Load();
    auto* box = f.Find<QComboBox>("t:recent");
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QString("/first"));
    QCOMPARE(box->itemText(1), QString("/a, b"));
    QCOMPARE(box->currentText(), QString("/a, b"));  // the stored path wins
    QVERIFY(!f.Changed());

    // Without a stored path the one chosen last stands in.
    ControlFixture fresh(kDescriptor);
    fresh.Control("t:recent")->SetPreferences(&preferences);
    fresh.Load();
    QCOMPARE(fresh.Find<QComboBox>("t:recent")->currentText(), QString("/first"));
    QVERIFY(vossik::testing::ReadFile(dir.Path() / "prefs.cfg").find("t:recentUsedList") !=
            std::string::npos);
  }

  void FilePathEditGeometry_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("with_open");
    QTest::newRow("browse and open") << "t:folder" << true;
    QTest::newRow("browse only") << "t:recent" << false;
  }
  void FilePathEditGeometry() {
    QFETCH(QString, uid);
    QFETCH(bool, with_open);
    ControlFixture f(kDescriptor);
    f.Load();
    const QByteArray id = uid.toLatin1();
    f.Place(id.constData(), 500, 24);
    auto* browse = f.Find<QPushButton>(uid + "/browse");
    auto* open = f.Find<QPushButton>(uid + "/open");
    QCOMPARE(open != nullptr, with_open);
    const int e = browse->fontMetrics().horizontalAdvance(browse->text());
    const int w = with_open ? open->fontMetrics().horizontalAdvance(open->text()) + 20 : 0;
    const int h = 500 - w - e - 28;
    QCOMPARE(f.Find(uid)->geometry(), QRect(148, 0, h - 8 - 148, 24));
    QCOMPARE(browse->geometry(), QRect(h, 1, e + 20, 22));
    if (with_open) QCOMPARE(open->geometry(), QRect(500 - w, 1, w - 8, 22));
  }

  void BrowseCaptions() {
    ControlFixture f(kDescriptor);
    f.Load();
    QCOMPARE(f.Find<QPushButton>("t:folder/browse")->text(), QString("Choose..."));
    QCOMPARE(f.Find<QPushButton>("t:log/browse")->text(), QString("Browse..."));
    QCOMPARE(f.Find<QPushButton>("t:log/open")->text(), QString("Show"));
  }

  void DescriptorFiltersBecomeQtFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("pairs with the closing bars") << "Logs|*.log|All files|*.*||"
                                                 << "Logs (*.log);;All files (*.*)";
    QTest::newRow("several patterns") << "Pages|*.htm;*.html"
                                      << "Pages (*.htm *.html)";
    QTest::newRow("already Qt's form") << "Logs (*.log)"
                                       << "Logs (*.log)";
    QTest::newRow("none") << ""
                          << "";
  }
  void DescriptorFiltersBecomeQtFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(QString::fromStdString(vossik::QtFileFilter(filter.toStdString())), qt);
  }

  // -- browsebutton ---------------------------------------------------------

  void ImportCopiesIntoTheApplicationFolder_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<MessageAnswer>("reply");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("messages");  // "kind|title|text"
    QTest::newRow("new file") << "t:import" << false << MessageAnswer::kYes << "new"
                              << QStringList{"0|Import|Imported."};
    QTest::newRow("replace: yes") << "t:import" << true << MessageAnswer::kYes << "new"
                                  << QStringList{"1|Import|Replace it?", "0|Import|Imported."};
    QTest::newRow("replace: no") << "t:import" << true << MessageAnswer::kNo << "old"
                                 << QStringList{"1|Import|Replace it?"};
    QTest::newRow("no question or message without their texts")
        << "t:plain" << true << MessageAnswer::kNo << "new" << QStringList{};
  }
  void ImportCopiesIntoTheApplicationFolder() {
    QFETCH(QString, uid);
    QFETCH(bool, existing);
    QFETCH(MessageAnswer, reply);
    QFETCH(QString, content);
    QFETCH(QStringList, messages);
    TempDir dir;
    dir.ChangeInto();
    const std::filesystem::path source = dir.Write("elsewhere/list.txt", "new");
    if (existing) dir.Write("list.txt", "old");
    ControlFixture f(kDescriptor);
    f.Load();
    Hooks hooks(source.string(), reply);

    f.Find<QPushButton>(uid)->click();
    QCOMPARE(QString::fromStdString(vossik::testing::ReadFile(dir.Path() / "list.txt")), content);
    QStringList shown;
    for (const Message& m : hooks.messages) {
      shown << QString("%1|%2|%3").arg(int(m.kind)).arg(m.title.c_str(), m.text.c_str());
    }
    QCOMPARE(shown, messages);
    QVERIFY(!f.Changed());
    QVERIFY(!std::filesystem::exists(dir.Path() / "list.txt.import"));
  }

  void ImportReadsItsFileFromTheDefinition() {
    ControlFixture f(kDescriptor);
    f.Load();
    Hooks hooks(std::nullopt);
    f.Find<QPushButton>("t:import")->click();
    QCOMPARE(hooks.requests.size(), std::size_t(1));
    QCOMPARE(hooks.requests[0].kind, FileDialogKind::kOpen);
    QCOMPARE(hooks.requests[0].filter, std::string("Lists|*.txt"));
    QCOMPARE(hooks.requests[0].default_extension, std::string("txt"));
    QVERIFY(hooks.messages.empty());
  }

  void FailedImportWarnsAndKeepsTheDestination() {
    TempDir dir;
    dir.ChangeInto();
    const std::filesystem::path source = dir.Write("elsewhere/list.txt", "new");
    // A folder of the file's name cannot be replaced by the file.
    dir.Write("list.txt/keep", "kept");
    ControlFixture f(kDescriptor);
    f.Load();
    Hooks hooks(source.string());
    f.Find<QPushButton>("t:import")->click();
    QCOMPARE(hooks.messages.size(), std::size_t(2));
    const Message& warning = hooks.messages[1];
    QCOMPARE(warning.kind, MessageKind::kWarning);
    QCOMPARE(warning.title, std::string("Import"));
    const std::string destination = std::filesystem::current_path().string() + "/list.txt";
    QCOMPARE(warning.text,
             "There was an error while copying the file.\n Please check disk space "
             "and permissions on the files:\n" +
                 source.string() + "\n" + destination);
    QCOMPARE(vossik::testing::ReadFile(dir.Path() / "list.txt/keep"), std::string("kept"));
    QVERIFY(!std::filesystem::exists(dir.Path() / "list.txt.import"));
  }

  void BrowseButtonGeometry_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("label");
    QTest::newRow("captioned on the page") << "t:import"
                                           << "Import..."
                                           << "Import a list";
    QTest::newRow("default caption") << "t:plain"
                                     << "Browse..."
                                     << "";
  }
  void BrowseButtonGeometry() {
    QFETCH(QString, uid);
    QFETCH(QString, caption);
    QFETCH(QString, label);
    ControlFixture f(kDescriptor);
    f.Load();
    f.Place(uid.toLatin1().constData(), 500, 22);
    auto* button = f.Find<QPushButton>(uid);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), QRect(380, 0, 64, 22));
    auto* text = f.Find<QLabel>(uid + "/label");
    QCOMPARE(text->text(), label);
    QCOMPARE(text->geometry(), QRect(0, 4, 372, 18));
  }
};

QTEST_MAIN(PathControlsTest)
#include "path_controls_test.moc"
