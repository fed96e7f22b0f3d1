// A real vossikd for the tests of the administration window: started in a
// folder of its own (its configuration file vossikd.cfg, a small site),
// listening on 127.0.0.1 at a port chosen beforehand, so that it can be
// stopped and started again at the same address. It dies with the test
// process and is killed when the object goes. Nothing here waits for a
// fixed time: every wait polls for its condition until a generous deadline.
#pragma once

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "base/file_io.h"
#include "base/result_codes.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"

namespace vossik::testing {

/// A loopback port that nothing listens on now.
inline int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

/// The program's descriptor, as built.
inline bool LoadBuiltDescriptor(ConfigDescriptor* descriptor) {
  return descriptor->LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml");
}

/// Writes `folder`/vossikd.cfg for a service on `port` that indexes
/// `folder`/site (created with one page) and, when `password` is not empty,
/// asks for that password. False when a step fails.
inline bool WriteServiceFolder(const std::filesystem::path& folder, int port,
                               const std::string& password) {
  std::error_code ec;
  std::filesystem::create_directories(folder / "site", ec);
  if (ec) return false;
  if (!WriteWholeFile(folder / "site" / "index.html", "<title>Home</title>River walks")) {
    return false;
  }
  ConfigDescriptor descriptor;
  if (!LoadBuiltDescriptor(&descriptor)) return false;
  SettingsStore store;
  store.SetFileName((folder / "vossikd.cfg").string());
  const std::string text = "[Index]\nDirSrc=" + (folder / "site").string() +
                           "\nDirDest=search\n[Service]\nPort=" + std::to_string(port) +
                           "\n[Watch]\nDelay=1\n";
  if (store.Parse(text) != kResultOk) return false;
  if (!password.empty() && SetSecret(store, descriptor.Root(), {.uid = "administrator:password"},
                                     password) != kResultOk) {
    return false;
  }
  return store.Save() == kResultOk;
}

class RunningVossikd {
 public:
  /// Starts vossikd in `folder` and waits until it listens; Port() is 0
  /// when it did not come up (Output() then says why).
  explicit RunningVossikd(std::filesystem::path folder) : folder_(std::move(folder)) { Start(); }
  ~RunningVossikd() { Kill(); }
  RunningVossikd(const RunningVossikd&) = delete;
  RunningVossikd& operator=(const RunningVossikd&) = delete;

  int Port() const { return port_; }
  const std::string& Output() const { return output_; }

  /// Ends the service as its service manager would (SIGTERM) and waits for it.
  bool Stop() {
    if (pid_ <= 0) return true;
    kill(pid_, SIGTERM);
    int status = 0;
    const bool ended = waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    CloseOutput();
    return ended;
  }

  /// Starts it again in the same folder (at the same port).
  void Start() {
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return;
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      // The service must not outlive a test that crashes.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      dup2(pipe_fds[1], STDERR_FILENO);
      const std::string program = std::string(VOSSIK_BINARY_DIR) + "/vossikd";
      execl(program.c_str(), program.c_str(), "-C", folder_.c_str(), nullptr);
      _exit(127);
    }
    close(pipe_fds[1]);
    output_fd_ = pipe_fds[0];
    output_.clear();
    port_ = 0;
    const std::string marker = "listening on 127.0.0.1:";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (output_.find('\n', output_.find(marker)) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{output_fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) break;
      char buffer[512];
      const ssize_t got = read(output_fd_, buffer, sizeof buffer);
      if (got <= 0) break;
      output_.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t at = output_.find(marker);
    if (at != std::string::npos) port_ = std::stoi(output_.substr(at + marker.size()));
  }

 private:
  void Kill() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    CloseOutput();
  }
  void CloseOutput() {
    if (output_fd_ >= 0) close(output_fd_);
    output_fd_ = -1;
  }

  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int output_fd_ = -1;
  int port_ = 0;
  std::string output_;
};

}  // namespace vossik::testing
