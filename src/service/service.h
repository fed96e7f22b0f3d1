// Service is the vossikd program's work: it keeps a site's search index
// fresh and answers the administration protocol. At start it reads the
// descriptor and its configuration file (base name + ".cfg" in the working
// folder, made with defaults when missing), listens on service:host and
// service:port, watches the site, and builds when the index is missing or
// older than the newest page. Afterwards it builds watch:delay seconds after
// the last change and every watch:interval minutes, one build at a time.
//
// States: running, paused (requests are answered, nothing is built, changes
// are kept for later) and stopping. SIGTERM and SIGINT stop it, cancelling
// a running build so that the previous index stays whole; SIGHUP reads the
// configuration file again; SIGUSR1 pauses and SIGUSR2 continues. It tells
// systemd when it is ready and what it is doing.
//
// Threads: Run() is the main loop, on the thread that calls it: signals,
// the watcher, the schedule and the builds are handled there. The HTTP
// server's threads call the ServiceControl operations, which only read
// published snapshots or queue commands for the main loop. The build runs on
// its own worker thread.
#pragma once

#include <atomic>
#include <ctime>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "base/program_paths.h"
#include "indexer/build_statistics.h"
#include "indexer/index_builder.h"
#include "indexer/index_options.h"
#include "log/log.h"
#include "service/admin_handler.h"
#include "service/build_scheduler.h"
#include "service/http_server.h"
#include "service/service_settings.h"
#include "service/site_watcher.h"
#include "service/systemd_notifier.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"

namespace vossik {

/// Exit statuses of vossikd.
inline constexpr int kServiceExitOk = 0;
inline constexpr int kServiceExitFailure = 1;

class Service : public ServiceControl {
 public:
  /// `program_path` (argument 0) names the configuration and statistics
  /// files and says where the descriptor and templates are installed.
  /// Messages for the terminal or the journal go to `messages`, which must
  /// outlive the service. Files are named relative to the current folder.
  Service(const std::string& program_path, std::ostream& messages);
  ~Service() override;
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  /// Starts, runs until stopped, and shuts down. The handled signals must
  /// be blocked in every thread before it is called (BlockServiceSignals).
  [[nodiscard]] int Run();

  // ServiceControl, called on the HTTP server's threads.
  ServiceStatus Status() override;
  void Stop() override;
  void Pause() override;
  void Continue() override;
  void BuildNow() override;
  int ReplaceConfiguration(std::string_view text, std::string* problem) override;
  void ApplyConfiguration() override { Post(Command::kReload); }
  std::filesystem::path ConfigurationFile() override { return configuration_file_; }
  std::optional<std::filesystem::path> LogFile(std::string_view name) override;
  DatedText Statistics() override;
  std::shared_ptr<const IndexCensus> Pages() override;

 private:
  enum class Command { kStop, kPause, kContinue, kBuild, kReload };

  // The log as the HTTP threads write it: each line also wakes the main
  // loop, which writes the lines out, so that the log file is current
  // without a flush on every request.
  class RequestLog : public LogSink {
   public:
    explicit RequestLog(Service& service) : service_(service) {}
    void Write(int type, int level, std::string_view message) override;

   private:
    Service& service_;
  };

  [[nodiscard]] bool StartUp();
  [[nodiscard]] bool ReadConfiguration();
  void Loop();
  void ShutDown();

  void Post(Command command);
  void Wake();
  void HandleCommands();
  void HandleSignals();
  /// Applies the settings of `store`, which becomes the one in force. False,
  /// leaving everything as it was, when the service cannot run with them.
  [[nodiscard]] bool Apply(std::unique_ptr<SettingsStore> store);
  void Reload();
  void SetPaused(bool paused);
  void WatchSite();
  void StartBuild();
  void CheckBuild();
  void TakeCensus();
  void SaveStatistics();
  void Publish();
  std::string StatusLine() const;
  int MillisecondsToWait() const;

  std::ostream& messages_;
  ProgramPaths paths_;
  std::string configuration_file_;
  std::string statistics_file_;
  std::filesystem::path templates_dir_;

  ConfigDescriptor descriptor_;
  std::unique_ptr<SettingsStore> settings_;
  ServiceSettings service_settings_;
  IndexOptions index_options_;
  std::string index_key_;  // what the index options are, for telling a change

  std::unique_ptr<LockingLog> log_;
  RequestLog request_log_{*this};
  AdminHandler handler_;
  HttpServer server_;
  SiteWatcher watcher_;
  BuildScheduler scheduler_;
  SystemdNotifier notifier_;
  BuildStatistics statistics_;
  TaskPtr<IndexBuilder> build_;
  BuildScheduler::TimePoint build_started_{};
  bool stopping_ = false;

  int signal_fd_ = -1;
  int wake_fd_ = -1;  // an eventfd the HTTP threads write after queueing a command

  // Shared with the HTTP threads.
  std::atomic<bool> paused_{false};
  std::atomic<bool> stop_requested_{false};
  std::atomic<bool> log_unwritten_{false};
  std::mutex shared_mutex_;
  std::deque<Command> commands_;               // under shared_mutex_
  ServiceStatus published_status_;             // under shared_mutex_
  DatedText published_statistics_;             // under shared_mutex_
  std::shared_ptr<const IndexCensus> census_;  // under shared_mutex_
  std::mutex configuration_mutex_;             // one configuration write at a time
};

/// Blocks SIGTERM, SIGINT, SIGHUP, SIGUSR1 and SIGUSR2 in the calling
/// thread and the threads it starts later, so that the service's main loop
/// receives them. Call before any thread is started.
void BlockServiceSignals();

}  // namespace vossik
