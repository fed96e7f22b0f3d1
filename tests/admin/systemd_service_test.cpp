// SystemdService against a fake systemctl put first on the PATH: the fake
// records its arguments and answers `show` from a file the test writes.
#include "admin/systemd_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

class SystemdServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path fake =
        dir_.Write("bin/systemctl",
                   "#!/bin/sh\n"
                   "echo \"$*\" >> \"$FAKE_SYSTEMCTL/calls\"\n"
                   "case \"$*\" in *show*) cat \"$FAKE_SYSTEMCTL/show\" ;; esac\n"
                   "exit \"$(cat \"$FAKE_SYSTEMCTL/status\" 2>/dev/null || echo 0)\"\n");
    chmod(fake.c_str(), 0755);
    saved_path_ = std::getenv("PATH");
    setenv("PATH", ((dir_.Path() / "bin").string() + ":" + saved_path_).c_str(), 1);
    setenv("FAKE_SYSTEMCTL", dir_.Path().c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("FAKE_SYSTEMCTL");
  }
  void Answer(const std::string& show, int status = 0) {
    dir_.Write("show", show);
    dir_.Write("status", std::to_string(status));
  }
  std::string Calls() const { return ReadFile(dir_.Path() / "calls"); }

  TempDir dir_;
  std::string saved_path_;
};

TEST_F(SystemdServiceTest, ReadsTheStateFromTheUnitAndTheStatusTheServiceSent) {
  struct Row {
    const char* show;
    ServiceState state;
  };
  const Row rows[] = {
      {"ActiveState=active\nSubState=running\nStatusText=Running\n", ServiceState::kRunning},
      {"StatusText=Building 42 %\nActiveState=active\n", ServiceState::kRunning},
      {"ActiveState=active\nSubState=running\nStatusText=Paused\n", ServiceState::kPaused},
      {"ActiveState=reloading\nStatusText=Paused\n", ServiceState::kPaused},
      {"ActiveState=activating\nSubState=start\nStatusText=\n", ServiceState::kStartPending},
      {"ActiveState=deactivating\nSubState=stop-sigterm\n", ServiceState::kStopPending},
      {"ActiveState=inactive\nSubState=dead\n", ServiceState::kStopped},
      {"ActiveState=failed\nSubState=failed\n", ServiceState::kStopped},
      {"ActiveState=maintenance\n", ServiceState::kUnknown},
      {"", ServiceState::kUnknown},
  };
  SystemdService service("vossik");
  for (const Row& row : rows) {
    Answer(row.show);
    EXPECT_EQ(row.state, service.QueryState()) << row.show;
    EXPECT_EQ(row.state, service.LastState()) << row.show;
  }
  Answer("ActiveState=active\n", 1);  // systemctl failed
  EXPECT_EQ(ServiceState::kUnknown, service.QueryState());
  EXPECT_EQ("show vossik.service -p ActiveState -p SubState -p StatusText\n",
            Calls().substr(0, Calls().find('\n') + 1));
}

TEST_F(SystemdServiceTest, ControlsTheUnitWithoutAskingForAPassword) {
  Answer("ActiveState=active\nStatusText=Paused\n");
  SystemdService service("vossik");
  EXPECT_TRUE(service.Start());
  EXPECT_TRUE(service.Stop());
  EXPECT_TRUE(service.Pause());
  EXPECT_TRUE(service.Continue());
  EXPECT_EQ(ServiceState::kPaused, service.LastState());  // refreshed by each call
  const std::string show = "show vossik.service -p ActiveState -p SubState -p StatusText\n";
  EXPECT_EQ("--no-ask-password start vossik.service\n" + show +
                "--no-ask-password stop vossik.service\n" + show +
                "--no-ask-password kill -s SIGUSR1 vossik.service\n" + show +
                "--no-ask-password kill -s SIGUSR2 vossik.service\n" + show,
            Calls());

  Answer("ActiveState=inactive\n", 1);  // refused, say for want of rights
  EXPECT_FALSE(service.Stop());
}

TEST_F(SystemdServiceTest, AttachesOnlyAUnitThatSystemdKnows) {
  bool manager = true;
  EXPECT_EQ(nullptr, OpenSystemdService("vossik", &manager, dir_.Path() / "no-systemd"));
  EXPECT_FALSE(manager);
  EXPECT_EQ("", Calls());  // without systemd, systemctl is not even asked

  std::filesystem::create_directories(dir_.Path() / "run-systemd");
  Answer("LoadState=not-found\n");
  EXPECT_EQ(nullptr, OpenSystemdService("vossik", &manager, dir_.Path() / "run-systemd"));
  EXPECT_TRUE(manager);

  Answer("LoadState=loaded\n");
  const std::unique_ptr<LocalService> service =
      OpenSystemdService("vossik", &manager, dir_.Path() / "run-systemd");
  ASSERT_NE(nullptr, service);
  EXPECT_EQ("vossik", service->Name());
  EXPECT_NE(std::string::npos, Calls().find("show vossik.service -p LoadState\n"));
}

}  // namespace
}  // namespace vossik
