#include "admin/systemd_service.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "base/string_util.h"

extern char** environ;

namespace vossik {
namespace {

constexpr const char* kSystemctl = "systemctl";

// Runs systemctl with `args`, its standard output into `output` when given
// and its standard error discarded. True when it exited with status 0.
bool RunSystemctl(const std::vector<std::string>& args, std::string* output) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

  std::vector<std::string> words{kSystemctl};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, kSystemctl, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    return false;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer);
    if (got > 0) {
      if (output != nullptr) output->append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipe_fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string_view PropertyOf(std::string_view show_output, std::string_view name) {
  while (!show_output.empty()) {
    const std::size_t end = show_output.find('\n');
    std::string_view line = show_output.substr(0, end);
    show_output = end == std::string_view::npos ? std::string_view() : show_output.substr(end + 1);
    if (line.size() > name.size() && line.starts_with(name) && line[name.size()] == '=') {
      return TrimBlanks(line.substr(name.size() + 1));
    }
  }
  return {};
}

}  // namespace

SystemdService::SystemdService(std::string name)
    : name_(std::move(name)), unit_(name_ + ".service") {}

ServiceState SystemdService::StateFromProperties(std::string_view show_output) {
  const std::string_view active = PropertyOf(show_output, "ActiveState");
  if (active == "active" || active == "reloading") {
    return PropertyOf(show_output, "StatusText").starts_with("Paused") ? ServiceState::kPaused
                                                                       : ServiceState::kRunning;
  }
  if (active == "activating") return ServiceState::kStartPending;
  if (active == "deactivating") return ServiceState::kStopPending;
  if (active == "inactive" || active == "failed") return ServiceState::kStopped;
  return ServiceState::kUnknown;
}

ServiceState SystemdService::QueryState() {
  std::string output;
  last_state_ =
      RunSystemctl({"show", unit_, "-p", "ActiveState", "-p", "SubState", "-p", "StatusText"},
                   &output)
          ? StateFromProperties(output)
          : ServiceState::kUnknown;
  return last_state_;
}

bool SystemdService::Control(const std::vector<std::string>& args) {
  std::vector<std::string> full{"--no-ask-password"};
  full.insert(full.end(), args.begin(), args.end());
  const bool accepted = RunSystemctl(full, nullptr);
  static_cast<void>(QueryState());
  return accepted;
}

bool SystemdService::Start() { return Control({"start", unit_}); }
bool SystemdService::Stop() { return Control({"stop", unit_}); }
bool SystemdService::Pause() { return Control({"kill", "-s", "SIGUSR1", unit_}); }
bool SystemdService::Continue() { return Control({"kill", "-s", "SIGUSR2", unit_}); }

std::unique_ptr<LocalService> OpenSystemdService(const std::string& name, bool* manager_available,
                                                 const std::filesystem::path& runtime_folder) {
  std::error_code ec;
  *manager_available = std::filesystem::is_directory(runtime_folder, ec);
  if (!*manager_available || name.empty()) return nullptr;
  std::string output;
  if (!RunSystemctl({"show", name + ".service", "-p", "LoadState"}, &output)) return nullptr;
  if (PropertyOf(output, "LoadState") != "loaded") return nullptr;
  return std::make_unique<SystemdService>(name);
}

}  // namespace vossik
