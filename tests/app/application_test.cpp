#include "app/application.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "base/container_cipher.h"
#include "base/result_codes.h"
#include "settings/typed_settings.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Records what the application shows; the main dialog runs `dialog`.
class RecordingUi : public ApplicationUi {
 public:
  MessageAnswer ShowMessage(MessageKind, const std::string& caption,
                            const std::string& text) override {
    messages.push_back(caption + ": " + text);
    return MessageAnswer::kOk;
  }
  bool RunMainDialog(Application& application) override {
    ++dialogs;
    if (dialog) dialog(application);
    return true;
  }
  bool RaiseRunningCopy(const std::filesystem::path& socket) override {
    raised.push_back(socket);
    return true;
  }
  std::vector<std::string> messages;
  std::vector<std::filesystem::path> raised;
  int dialogs = 0;
  std::function<void(Application&)> dialog;
};

// A working folder with the product's descriptor, and a program path whose
// base name is unique to the test, so that parallel tests never share a lock.
class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.ChangeInto();
    base_ =
        std::string("vossiktest") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    program_ = (dir_.Path() / "bin" / base_).string();
    std::filesystem::create_directories(dir_.Path() / "bin");
    std::filesystem::copy_file(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml", base_ + ".cfgml");
    setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1);
  }

  int Run(RecordingUi& ui, std::vector<std::string> args = {}) {
    Application application(VossikIdentity(), program_, std::move(args), ui);
    return application.Run();
  }

  std::string LogText() const { return ReadFile("logs/Vossik.log"); }

  TempDir dir_;
  std::string base_;
  std::string program_;
};

TEST_F(ApplicationTest, MissingConfigurationFileIsRegeneratedWithDefaults) {
  RecordingUi ui;
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ(1, ui.dialogs);
  const std::string text = ReadFile(base_ + ".cfg");
  EXPECT_EQ(0u, text.find("[Default]\n// This configuration file was automatically generated on "));
  EXPECT_NE(std::string::npos,
            text.find("\n// Application built-in default settings will be used unless other "
                      "settings are present below to override them\n\n\n"));
  EXPECT_NE(std::string::npos,
            LogText().find(
                "Warning: Reading configuration file failed, using defaults for all settings"));
}

TEST_F(ApplicationTest, AConfigurationThatDoesNotLoadIsKeptAsideBeforeTheDefaultsReplaceIt) {
  const std::string cfg = base_ + ".cfg";
  const struct {
    std::string bytes;
    std::string kept_as;
  } cases[] = {
      {"x", ".bad"},                                                // one byte
      {"DirSrc=/srv/www\n", ".bad2"},                               // no section header
      {std::string("\xFF\xFE[\0I\0n\0d\0e\0x\0]\0", 16), ".bad3"},  // UTF-16
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept_as);
    const std::string& bytes = c.bytes;
    dir_.Write(cfg, bytes);
    RecordingUi ui;
    EXPECT_EQ(kExitOk, Run(ui));
    EXPECT_EQ(bytes, ReadFile(cfg + c.kept_as));
    EXPECT_EQ(0u, ReadFile(cfg).find("[Default]\n// This configuration file"));
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Vossik: The configuration file " + cfg +
                  " cannot be read as settings. It was kept as " + cfg + c.kept_as +
                  " and the default settings were written in its place.",
              ui.messages[0]);
  }
  EXPECT_NE(std::string::npos, LogText().find("It was kept as " + cfg + ".bad3"));
}

TEST_F(ApplicationTest, AByteOrderMarkAndIgnoredLinesKeepTheSettingsAndAreReported) {
  dir_.Write(base_ + ".cfg", "\xEF\xBB\xBF[Index]\nDirSrc = /srv/a\nDirDest=search\n");
  RecordingUi ui;
  std::string dest;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ(kResultOk, application.Settings().GetValue("Index", "DirDest", "", &dest));
  };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ("search", dest);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_NE(std::string::npos,
            LogText().find("Warning: " + base_ +
                           ".cfg, line 2: blanks around the key; no setting reads it: ignored"));
}

TEST_F(ApplicationTest, AConfigurationThatCannotBeReadIsLeftAloneAndStopsTheProgram) {
  std::filesystem::create_directory(base_ + ".cfg");
  RecordingUi ui;
  EXPECT_EQ(kExitFailure, Run(ui));
  EXPECT_EQ(0, ui.dialogs);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ("Vossik: Cannot read the configuration file " + base_ + ".cfg: Is a directory",
            ui.messages[0]);
  EXPECT_TRUE(std::filesystem::is_directory(base_ + ".cfg"));
}

TEST_F(ApplicationTest, EncryptedConfigurationFileEndsTheProgramWithAReason) {
  ASSERT_TRUE(WriteContainer(base_ + ".cfg", "[Index]\nDirSrc=x\n"));
  RecordingUi ui;
  EXPECT_EQ(kExitFailure, Run(ui));
  EXPECT_EQ(0, ui.dialogs);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ("Vossik: The configuration file " + base_ +
                ".cfg is an encrypted container, which this program cannot read. Move it away "
                "to start with the default settings.",
            ui.messages[0]);
}

TEST_F(ApplicationTest, MissingDescriptorIsLoggedAndShown) {
  std::filesystem::remove(base_ + ".cfgml");
  RecordingUi ui;
  EXPECT_EQ(kExitFailure, Run(ui));
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(
      "Vossik: Error initializing configuration descriptor file. Please check this product is "
      "installed correctly",
      ui.messages[0]);
  EXPECT_NE(std::string::npos,
            LogText().find("Config: Error initializing configuration descriptor file, exiting"));
}

TEST_F(ApplicationTest, SecondInstanceNamesTheFirstAndAsksItToShowItself) {
  SingleInstanceLock first;
  ASSERT_EQ(SingleInstanceLock::Outcome::kAcquired, first.Acquire(base_));
  RecordingUi ui;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ("Vossik is already running (process " + std::to_string(getpid()) + ")\n",
            ::testing::internal::GetCapturedStderr());
  EXPECT_EQ(0, ui.dialogs);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(1u, ui.raised.size());
  EXPECT_EQ(dir_.Path() / (base_ + ".socket"), ui.raised[0]);
  EXPECT_FALSE(std::filesystem::exists(base_ + "run.status"));
}

TEST_F(ApplicationTest, ALockFileThatCannotBeMadeIsAWarningNotASecondCopy) {
  setenv("XDG_RUNTIME_DIR", (dir_.Path() / "missing").c_str(), 1);
  RecordingUi ui;
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ(1, ui.dialogs);
  EXPECT_NE(std::string::npos, LogText().find("Warning: Cannot take the single-instance lock ("));
}

TEST(SingleInstanceLock, EachUserHasALockOfTheirOwn) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = runtime != nullptr ? runtime : "";
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(
      std::filesystem::temp_directory_path() / ("vossik-" + std::to_string(getuid()) + ".lock"),
      SingleInstanceLock::LockFileFor("vossik"));
  setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
  EXPECT_EQ("/run/user/7/vossik.lock", SingleInstanceLock::LockFileFor("vossik"));
  EXPECT_EQ("/run/user/7/vossik.socket", SingleInstanceLock::SocketFileFor("vossik"));
  if (saved.empty()) {
    unsetenv("XDG_RUNTIME_DIR");
  } else {
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  }
}

TEST_F(ApplicationTest, RunStatusFileMarksARunningProgramAndIsRemovedAtTheEnd) {
  RecordingUi ui;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ("Running\n" + std::to_string(getpid()) + "\n", ReadFile(base_ + "run.status"));
    EXPECT_FALSE(application.RunStatusExisted());
  };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_FALSE(std::filesystem::exists(base_ + "run.status"));
}

TEST_F(ApplicationTest, RunStatusFileIsLeftBehindByAKilledRunAndNotedAtTheNextStart) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecordingUi ui;
    ui.dialog = [](Application&) { pause(); };
    Run(ui);
    _exit(0);
  }
  // Waits for the whole status, not just the file: it is written after it is made.
  const std::string status = "Running\n" + std::to_string(child) + "\n";
  for (int i = 0; i < 500 && ReadFile(base_ + "run.status") != status; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(status, ReadFile(base_ + "run.status"));

  RecordingUi ui;
  bool noted = false;
  ui.dialog = [&](Application& application) { noted = application.RunStatusExisted(); };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_TRUE(noted);
  EXPECT_NE(std::string::npos,
            LogText().find("Warning: The previous run ended without shutting down (" + base_ +
                           "run.status was left behind)"));
}

TEST_F(ApplicationTest, SetOverridesASettingInMemoryOnly) {
  RecordingUi ui;
  std::string seen;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ(kResultOk, application.Settings().GetValue("Index", "DirSrc", "", &seen));
  };
  EXPECT_EQ(kExitOk, Run(ui, {"-set", "index:dirsrc=/srv/www"}));
  EXPECT_EQ("/srv/www", seen);
  EXPECT_EQ(std::string::npos, ReadFile(base_ + ".cfg").find("/srv/www"));
}

TEST_F(ApplicationTest, SetValuesTheSettingRulesOutAreUsageErrors) {
  const struct {
    const char* set;
    const char* message;
  } rows[] = {
      {"index:minwordlength=999",
       "-set index:minwordlength=999 is not allowed: index:minwordlength takes a whole number "
       "from 1 to 32"},
      {"index:checkrecurse=maybe",
       "-set index:checkrecurse=maybe is not allowed: index:checkrecurse takes on or off"},
      {"loglevel=Loud",
       "-set loglevel=Loud is not allowed: loglevel takes one of Off, Critical, General"},
  };
  for (const auto& row : rows) {
    RecordingUi ui;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(kExitUsage, Run(ui, {"-search", "x", "-set", row.set})) << row.set;
    EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStderr().find(row.message))
        << row.set;
  }
}

TEST_F(ApplicationTest, ConfiguredValuesOutOfRangeAreBroughtIntoRangeWithAWarning) {
  dir_.Write(base_ + ".cfg", "[Index]\nMinWordLength=999\nCheckRecurse=maybe\n");
  RecordingUi ui;
  std::string length;
  std::string recurse;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ(kResultOk, application.Settings().GetValue("Index", "MinWordLength", "", &length));
    static_cast<void>(application.Settings().GetValue("Index", "CheckRecurse", "", &recurse));
  };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ("32", length);
  EXPECT_EQ("", recurse);
  const std::string log = LogText();
  EXPECT_NE(std::string::npos,
            log.find("Warning: " + base_ +
                     ".cfg: Index:MinWordLength=999 is out of range; 32 is "
                     "used (index:minwordlength takes a whole number from 1 to 32)"));
  EXPECT_NE(std::string::npos, log.find("Warning: " + base_ +
                                        ".cfg: Index:CheckRecurse=maybe is not allowed; the "
                                        "default is used"));
}

TEST_F(ApplicationTest, SetTakesASecretInClearTextAndKeepsItEncrypted) {
  RecordingUi ui;
  std::string stored;
  std::string password;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ(kResultOk, application.Settings().GetValue("Administrator", "Password", "", &stored));
    EXPECT_EQ(kResultOk, GetSecret(application.Settings(), application.DescriptorRoot(),
                                   {.uid = "administrator:password"}, &password));
  };
  EXPECT_EQ(kExitOk, Run(ui, {"-set", "administrator:password=open sesame"}));
  EXPECT_TRUE(stored.starts_with("499602D2")) << stored;
  EXPECT_EQ("open sesame", password);
}

TEST_F(ApplicationTest, UnknownSetUidIsAUsageError) {
  RecordingUi ui;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(kExitUsage, Run(ui, {"-build", "-set", "index:nosuch=1"}));
  EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStderr().find("index:nosuch"));
}

TEST_F(ApplicationTest, TerminalOptionsPrintOneAnswer) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string try_help = "Try '" + base_ + " -help'.\n";
  for (const Case& c : std::vector<Case>{
           {{"--version"}, kExitOk, "Vossik 1.1.0 (000)\n", ""},
           {{"-version"}, kExitOk, "Vossik 1.1.0 (000)\n", ""},
           {{"-frobnicate"},
            kExitUsage,
            "",
            base_ + ": unknown option \"-frobnicate\"\n" + try_help},
           {{"-build", "extra"},
            kExitUsage,
            "",
            base_ + ": unexpected argument \"extra\"\n" + try_help},
       }) {
    RecordingUi ui;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(c.status, Run(ui, c.args)) << c.args[0];
    EXPECT_EQ(c.out, ::testing::internal::GetCapturedStdout()) << c.args[0];
    EXPECT_EQ(c.err, ::testing::internal::GetCapturedStderr()) << c.args[0];
  }
  RecordingUi ui;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(kExitOk, Run(ui, {"-h"}));
  EXPECT_EQ(0u, ::testing::internal::GetCapturedStdout().find("Usage: "));
}

TEST_F(ApplicationTest, AWizardTheDescriptorLacksIsNamedWithTheWizardsItHas) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-wizard"}, "-wizard needs the name of a wizard (setup); showing the settings window"},
      {{"-wizard", "nosuch"},
       "no wizard \"nosuch\" (the descriptor has: setup); showing \"setup\""},
      {{"-wizard", "setup"}, ""},
  };
  for (const auto& [args, notice] : cases) {
    RecordingUi ui;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(kExitOk, Run(ui, args));
    EXPECT_EQ(notice.empty() ? "" : base_ + ": " + notice + "\n",
              ::testing::internal::GetCapturedStderr());
    EXPECT_EQ(1, ui.dialogs);
  }
}

TEST_F(ApplicationTest, CommandLineOptionsAreLoggedAsServiceLines) {
  RecordingUi ui;
  EXPECT_EQ(kExitOk, Run(ui, {"-wizard", "setup"}));
  EXPECT_NE(std::string::npos, LogText().find("Service: Command line option '-wizard' executed"));
}

// Records how the application set it up.
class RecordingComponent : public Component {
 public:
  RecordingComponent(std::string section, std::vector<std::string>* calls)
      : Component("Part " + section, section), calls_(calls) {}
  bool Configure(SettingsStore&, const XmlNode*) override {
    calls_->push_back(SectionUid() + ":configure");
    return true;
  }
  void Disable() override { calls_->push_back(SectionUid() + ":disable"); }
  void Start(SettingsStore* statistics) override {
    Component::Start(statistics);
    calls_->push_back(SectionUid() + ":start");
  }

 private:
  std::vector<std::string>* calls_;
};

TEST_F(ApplicationTest, ComponentsFollowTheirMainSwitch) {
  ASSERT_TRUE(
      WriteContainer(base_ + ".cfgml",
                     "<d><config>"
                     "<section uid='on' name='On'/>"
                     "<section uid='off' name='Off'><parameter uid='mainswitch' name='Enabled'>"
                     "<default>0</default></parameter></section>"
                     "</config></d>"));
  std::vector<std::string> calls;
  RecordingUi ui;
  Application application(VossikIdentity(), program_, {}, ui);
  application.AddComponent(std::make_unique<RecordingComponent>("on", &calls));
  application.AddComponent(std::make_unique<RecordingComponent>("off", &calls));
  EXPECT_EQ(kExitOk, application.Run());
  EXPECT_EQ((std::vector<std::string>{"on:configure", "on:start", "off:disable", "off:start"}),
            calls);
  const std::string log = LogText();
  EXPECT_NE(std::string::npos, log.find("Config: Setting up component 'Part on'"));
  EXPECT_NE(std::string::npos, log.find("Config: Component 'Part off' Complete"));
}

TEST_F(ApplicationTest, ReinitialisingUsesTheSettingsInMemory) {
  RecordingUi ui;
  int level = -1;
  ui.dialog = [&](Application& application) {
    application.Settings().SetValue("Default", "LogLevel", "Debug");
    EXPECT_TRUE(application.InitialiseFromConfiguration());
    level = application.AppLog().Level();
  };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ(kLogDebug, level);
  EXPECT_EQ(std::string::npos, ReadFile(base_ + ".cfg").find("Debug"));
}

TEST_F(ApplicationTest, StartUpWritesTheDnsRootList) {
  RecordingUi ui;
  Run(ui);
  EXPECT_EQ(0u, ReadFile("mxroots").find("a.root-servers.net\nb.root-servers.net\n"));
}

}  // namespace
}  // namespace vossik
