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
  std::vector<std::string> messages;
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

TEST_F(ApplicationTest, OneByteConfigurationFileIsRegeneratedToo) {
  dir_.Write(base_ + ".cfg", "x");
  RecordingUi ui;
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_EQ(0u, ReadFile(base_ + ".cfg").find("[Default]\n// This configuration file"));
}

TEST_F(ApplicationTest, EncryptedConfigurationFileEndsTheProgramSilently) {
  ASSERT_TRUE(WriteContainer(base_ + ".cfg", "[Index]\nDirSrc=x\n"));
  RecordingUi ui;
  EXPECT_EQ(kExitFailure, Run(ui));
  EXPECT_EQ(0, ui.dialogs);
  EXPECT_TRUE(ui.messages.empty());
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

TEST_F(ApplicationTest, SecondInstanceEndsSilentlyWhileTheFirstHoldsTheLock) {
  SingleInstanceLock first;
  ASSERT_TRUE(first.Acquire(base_));
  RecordingUi ui;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
  EXPECT_EQ(0, ui.dialogs);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(base_ + "run.status"));
}

TEST_F(ApplicationTest, RunStatusFileMarksARunningProgramAndIsRemovedAtTheEnd) {
  RecordingUi ui;
  ui.dialog = [&](Application& application) {
    EXPECT_EQ("Running", ReadFile(base_ + "run.status"));
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
  for (int i = 0; i < 500 && ReadFile(base_ + "run.status") != "Running"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ("Running", ReadFile(base_ + "run.status"));

  RecordingUi ui;
  bool noted = false;
  ui.dialog = [&](Application& application) { noted = application.RunStatusExisted(); };
  EXPECT_EQ(kExitOk, Run(ui));
  EXPECT_TRUE(noted);
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
