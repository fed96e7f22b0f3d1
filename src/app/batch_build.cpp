#include "app/batch_build.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <string>

#include "app/terminal_progress.h"
#include "indexer/index_builder.h"
#include "indexer/index_options.h"

namespace vossik {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitIncomplete = 2;
constexpr int kExitInterrupted = 130;

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted.store(true); }

// Routes Ctrl-C to a flag for the life of one build.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

int TerminalWidth() {
  struct winsize size {};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int RunBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                  const std::vector<std::filesystem::path>& template_folders,
                  std::ostream& progress, bool verbose) {
  const bool live = &progress == &std::cerr && isatty(STDERR_FILENO);
  TerminalProgress reporter(progress, live, live ? TerminalWidth() : 80, verbose);

  TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, template_folders);
  IndexBuilder& builder = *task;
  std::string description;
  if (!builder.configure(ReadIndexOptions(settings, descriptor), &description)) {
    progress << builder.ConfigureError() << "\n";
    return kExitIncomplete;
  }
  builder.SetObserver(&reporter);

  InterruptGuard guard;
  builder.start(0, 0);
  while (!builder.Finished()) {
    if (interrupted.load()) {
      builder.StopAndJoin();
      reporter.PrintPending(0);
      reporter.Close("Cancelled; the previous index is unchanged");
      return kExitInterrupted;
    }
    reporter.PrintPending(50);
  }
  builder.StopAndJoin();
  reporter.PrintPending(0);
  reporter.Close(builder.StatusText());
  return builder.Failure().empty() ? 0 : kExitFailed;
}

}  // namespace vossik
