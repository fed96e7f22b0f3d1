// The service as it runs: a real vossikd in a folder of its own, watching a
// small site, on a free loopback port, administered with the client.
// Nothing here waits for a fixed time: every wait polls for its condition
// until a generous deadline.
#include "service/service.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "admin/admin_client.h"
#include "indexer/search_index.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr auto kDeadline = std::chrono::seconds(60);
constexpr const char* kPassword = "river walk 42";

// Polls `done` until it holds or the deadline passes.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// vossikd started in `folder`; killed if a test leaves it running.
class RunningService {
 public:
  explicit RunningService(const std::filesystem::path& folder) {
    int pipe_fds[2];
    EXPECT_EQ(0, pipe2(pipe_fds, O_CLOEXEC));
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipe_fds[1], STDERR_FILENO);
      const std::string program = std::string(VOSSIK_BINARY_DIR) + "/vossikd";
      execl(program.c_str(), program.c_str(), "-C", folder.c_str(), nullptr);
      _exit(127);
    }
    close(pipe_fds[1]);
    stderr_ = pipe_fds[0];
    // The service says where it listens once it is ready.
    const std::string marker = "listening on 127.0.0.1:";
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (output_.find('\n', output_.find(marker)) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{stderr_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) break;
      char buffer[512];
      const ssize_t got = read(stderr_, buffer, sizeof buffer);
      if (got <= 0) break;
      output_.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t at = output_.find(marker);
    if (at != std::string::npos) port_ = std::stoi(output_.substr(at + marker.size()));
  }
  ~RunningService() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(stderr_);
  }

  int Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  const std::string& Output() const { return output_; }
  /// Waits for the process to end; its exit status, or -1.
  int WaitForExit() {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
    exited_ = ended;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int stderr_ = -1;
  int port_ = 0;
  bool exited_ = false;
  std::string output_;
};

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("site/index.html", "<title>Home</title>Welcome to the river walks");
    dir_.Write("site/docs/guide.html", "<title>Guide</title>Boots, maps and a flask of tea");
    site_ = (dir_.Path() / "site").string();
    WriteConfiguration(1);
  }

  void WriteConfiguration(int delay_seconds) {
    ConfigDescriptor descriptor;
    ASSERT_TRUE(descriptor.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
    SettingsStore store;
    store.SetFileName((dir_.Path() / "vossikd.cfg").string());
    ASSERT_EQ(0, store.Parse("[Index]\nDirSrc=" + site_ + "\nDirDest=search\n[Service]\nPort=0\n" +
                             "[Watch]\nDelay=" + std::to_string(delay_seconds) + "\n"));
    ASSERT_GE(SetSecret(store, descriptor.Root(), {.uid = "administrator:password"}, kPassword),
              -1);
    ASSERT_EQ(0, store.Save());
  }

  std::unique_ptr<AdminClient> Client(const RunningService& service,
                                      std::string password = kPassword) {
    auto client = std::make_unique<AdminClient>();
    EXPECT_EQ(kClientReady, client->Initialise("", "127.0.0.1", service.Port()));
    client->SetPassword(std::move(password));
    return client;
  }

  // The service's figures from GETSTATUS.
  static std::string Field(AdminClient& client, const std::string& name) {
    std::string body;
    if (client.GenericRequest("GETSTATUS", -1, {}, false, &body) != AdminResult::kOk) return "?";
    const std::size_t start = body.find("<" + name + ">");
    if (start == std::string::npos) return "?";
    const std::size_t from = start + name.size() + 2;
    return body.substr(from, body.find('<', from) - from);
  }

  bool Finds(const std::string& word) const {
    SearchIndex index;
    std::string error;
    return index.Open(site_ + "/search", &error) && !index.Search(word, "").empty();
  }

  TempDir dir_;
  std::string site_;
};

TEST_F(ServiceTest, BuildsAtStartAndHandsItsConfigurationBackAndForth) {
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  auto client = Client(service);
  AdminResult error = AdminResult::kCommFailure;
  EXPECT_EQ(ServiceState::kRunning, client->GetStatus(&error));
  EXPECT_EQ(AdminResult::kOk, error);
  ASSERT_TRUE(WaitFor([&] { return Finds("river"); }));  // the index was missing

  std::string text;
  ASSERT_EQ(AdminResult::kOk, client->GetConfiguration(&text, -1));
  EXPECT_EQ(ReadFile(dir_.Path() / "vossikd.cfg"), text);
  const std::string changed = text + "[Watch]\nInterval=30\n";
  EXPECT_EQ(AdminResult::kOk, client->SetConfiguration(changed));
  ASSERT_EQ(AdminResult::kOk, client->GetConfiguration(&text, -1));
  EXPECT_EQ(changed, text);
  EXPECT_EQ(AdminResult::kNotModified, client->GetConfiguration(&text, std::time(nullptr) + 100));

  // A text that is no configuration file changes nothing.
  EXPECT_EQ(AdminResult::kCommFailure, client->SetConfiguration("just some words"));
  EXPECT_EQ(AdminResult::kCommFailure, client->SetConfiguration("[Service]\nPort=99999\n"));
  EXPECT_EQ(changed, ReadFile(dir_.Path() / "vossikd.cfg"));
  EXPECT_EQ(ServiceState::kRunning, client->GetStatus(&error));
}

TEST_F(ServiceTest, RefusesAWrongPasswordAndAReplayedChallenge) {
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  AdminResult error = AdminResult::kOk;
  EXPECT_EQ(ServiceState::kUnknown, Client(service, "wrong")->GetStatus(&error));
  EXPECT_EQ(AdminResult::kBadPassword, error);
  EXPECT_EQ(ServiceState::kUnknown, Client(service, "")->GetStatus(&error));
  EXPECT_EQ(AdminResult::kBadPassword, error);

  HttpRequest request;
  request.SetHostAndPort("127.0.0.1", static_cast<uint16_t>(service.Port()));
  request.SetPath("/ACTION=GETENCRYPT");
  std::string challenge;
  ASSERT_EQ(200, request.Execute(10, 10, nullptr, &challenge));
  request.SetPath("/ACTION=GETSTATUS&password=" + PasswordParameter(kPassword, challenge));
  std::string body;
  EXPECT_EQ(200, request.Execute(10, 10, nullptr, &body));
  EXPECT_EQ(401, request.Execute(10, 10, nullptr, &body));  // the same request again
}

TEST_F(ServiceTest, KeepsChangesWhilePausedAndBuildsThemOnContinue) {
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  auto client = Client(service);
  ASSERT_TRUE(WaitFor(
      [&] { return Field(*client, "builds") == "1" && Field(*client, "building") == "0"; }));

  AdminResult error = AdminResult::kCommFailure;
  ASSERT_TRUE(client->Pause(&error));
  EXPECT_EQ(ServiceState::kPaused, client->GetStatus(&error));
  dir_.Write("site/docs/guide.html", "<title>Guide</title>A kingfisher by the weir");
  // The change is seen and kept, and nothing is due while paused.
  ASSERT_TRUE(WaitFor([&] { return Field(*client, "pending") == "1"; }));
  EXPECT_EQ("-1", Field(*client, "nextbuild"));
  EXPECT_EQ("1", Field(*client, "builds"));
  EXPECT_FALSE(Finds("kingfisher"));

  ASSERT_TRUE(client->Continue(&error));
  EXPECT_EQ(ServiceState::kRunning, client->GetStatus(&error));
  EXPECT_TRUE(WaitFor([&] { return Finds("kingfisher"); }));
  EXPECT_TRUE(WaitFor([&] { return Field(*client, "builds") == "2"; }));
}

TEST_F(ServiceTest, ClearsAndReadsItsLogs) {
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  auto client = Client(service);
  std::string body;
  ASSERT_TRUE(WaitFor([&] {
    return client->GenericRequest("GETLOG", -1, "&log=Indexing&lines=50", false, &body) ==
               AdminResult::kOk &&
           body.find("Complete (2 files indexed)") != std::string::npos;
  })) << body;
  ASSERT_EQ(AdminResult::kOk,
            client->GenericRequest("GETLOG", -1, "&log=Vossik&lines=500", false, &body));
  EXPECT_NE(std::string::npos, body.find("Service started")) << body;

  EXPECT_EQ(AdminResult::kOk, client->GenericRequest("CLEARLOG", 0, "&log=Vossik", false, &body));
  ASSERT_EQ(AdminResult::kOk,
            client->GenericRequest("GETLOG", -1, "&log=Vossik&lines=500", false, &body));
  EXPECT_TRUE(body.starts_with("<file><data>")) << body;
  EXPECT_EQ(std::string::npos, body.find("Service started")) << body;
  EXPECT_EQ(AdminResult::kNotFound,
            client->GenericRequest("GETLOG", -1, "&log=../vossikd.cfg", false, &body));
  EXPECT_EQ(AdminResult::kNotSupported, client->GenericRequest("FORMAT", -1, {}, false, &body));
}

TEST_F(ServiceTest, StopEndsTheProcessAndLeavesTheIndexWhole) {
  // Enough pages that the build the test asks for still runs when STOP comes.
  for (int i = 0; i < 2000; ++i) {
    std::string text = "<title>Page " + std::to_string(i) + "</title>";
    for (int j = 0; j < 300; ++j) text += " word" + std::to_string((i * 31 + j) % 5000);
    dir_.Write("site/many/page" + std::to_string(i) + ".html", text);
  }
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  auto client = Client(service);
  ASSERT_TRUE(WaitFor(
      [&] { return Field(*client, "builds") == "1" && Field(*client, "building") == "0"; }));
  ASSERT_TRUE(Finds("river"));

  // Catch a build running and hold it there with a pause, so that STOP finds
  // it unfinished; a build that ends before the pause is asked for again.
  std::string body;
  AdminResult error = AdminResult::kCommFailure;
  bool held = false;
  for (int attempt = 0; attempt < 5 && !held; ++attempt) {
    const std::string builds = Field(*client, "builds");
    ASSERT_EQ(AdminResult::kOk, client->GenericRequest("BUILD", -1, {}, false, &body));
    ASSERT_TRUE(WaitFor(
        [&] { return Field(*client, "building") == "1" || Field(*client, "builds") != builds; }));
    ASSERT_TRUE(client->Pause(&error));
    ASSERT_TRUE(WaitFor(
        [&] { return Field(*client, "held") == "1" || Field(*client, "building") == "0"; }));
    held = Field(*client, "held") == "1";
    if (!held) {
      ASSERT_TRUE(client->Continue(&error));
    }
  }
  ASSERT_TRUE(held);
  EXPECT_TRUE(client->Stop(&error));
  EXPECT_EQ(0, service.WaitForExit());

  const std::string log = ReadFile(dir_.Path() / "logs/Vossik.log");
  EXPECT_NE(std::string::npos, log.find("The running build was cancelled")) << log;
  EXPECT_NE(std::string::npos, log.find("Service stopped")) << log;
  EXPECT_TRUE(Finds("river"));
  EXPECT_TRUE(Finds("word4999"));
  for (const auto& entry : std::filesystem::directory_iterator(site_ + "/search")) {
    EXPECT_NE(".tmp", entry.path().extension()) << entry.path();
  }
}

TEST_F(ServiceTest, FollowsItsSignals) {
  RunningService service(dir_.Path());
  ASSERT_NE(0, service.Port()) << service.Output();
  auto client = Client(service);
  AdminResult error = AdminResult::kCommFailure;
  kill(service.Pid(), SIGUSR1);
  EXPECT_TRUE(WaitFor([&] { return client->GetStatus(&error) == ServiceState::kPaused; }));
  kill(service.Pid(), SIGUSR2);
  EXPECT_TRUE(WaitFor([&] { return client->GetStatus(&error) == ServiceState::kRunning; }));

  // SIGHUP reads the file again: the new password is in force at once after.
  ConfigDescriptor descriptor;
  ASSERT_TRUE(descriptor.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
  SettingsStore store;
  ASSERT_EQ(0, store.Load((dir_.Path() / "vossikd.cfg").string()));
  ASSERT_GE(SetSecret(store, descriptor.Root(), {.uid = "administrator:password"}, "new one"), -1);
  ASSERT_EQ(0, store.Save());
  kill(service.Pid(), SIGHUP);
  auto renewed = Client(service, "new one");
  EXPECT_TRUE(WaitFor([&] { return renewed->GetStatus(&error) == ServiceState::kRunning; }));

  kill(service.Pid(), SIGTERM);
  EXPECT_EQ(0, service.WaitForExit());
}

}  // namespace
}  // namespace vossik
