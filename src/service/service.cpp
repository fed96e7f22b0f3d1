#include "service/service.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/ascii_case.h"
#include "base/date_text.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "indexer/index_census.h"
#include "indexer/output_folder.h"
#include "service/site_walk.h"

namespace vossik {
namespace {

constexpr const char* kProductName = "Vossik";
constexpr const char* kDescriptorName = "vossik";
// While a build runs the loop looks at it this often; otherwise it sleeps
// until something happens.
constexpr int kBuildCheckMilliseconds = 200;

constexpr const char* kGeneratedConfiguration =
    "[Default]\n"
    "// This configuration file was automatically generated on %s\n"
    "// Built-in default settings are used unless settings below override them\n";

std::string Joined(const std::optional<std::vector<std::string>>& items) {
  if (!items) return "(none)";
  std::string out;
  for (const std::string& item : *items) out += item + '\x1F';
  return out;
}

// What the index options are, for telling whether a new configuration
// changes what a build would write. The build log's settings do not count.
std::string KeyOf(const IndexOptions& options) {
  return options.source_folder + '\n' + (options.recurse ? "1" : "0") + '\n' +
         options.target_folder + '\n' + options.site_map_file + '\n' +
         Joined(options.type_include) + '\n' + Joined(options.type_exclude) + '\n' +
         Joined(options.match_include) + '\n' + Joined(options.match_exclude) + '\n' +
         options.robot_name + '\n' + std::to_string(options.min_word_length) + '\n' +
         (options.include_mixed_numbers ? "1" : "0") + '\n' +
         std::to_string(options.summary_length) + '\n' + options.stop_list;
}

std::string OutputFolderOf(const IndexOptions& options) {
  return OutputFolderFor(options.source_folder, TargetWithSlashes(options.target_folder));
}

std::time_t ModificationTime(const std::string& file) {
  struct stat info {};
  return stat(file.c_str(), &info) == 0 ? info.st_mtime : 0;
}

void CreateFolder(const char* name) {
  std::error_code ignored;
  std::filesystem::create_directory(name, ignored);
}

// "127.0.0.1:7290", "[::1]:7290".
std::string AddressText(const std::string& host, uint16_t port) {
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

sigset_t ServiceSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) sigaddset(&signals, signal);
  return signals;
}

}  // namespace

void BlockServiceSignals() {
  const sigset_t signals = ServiceSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

Service::Service(const std::string& program_path, std::ostream& messages)
    : messages_(messages),
      paths_(ProgramPaths::FromProgramPath(program_path)),
      configuration_file_(paths_.base_name + ".cfg"),
      statistics_file_("stats/" + paths_.base_name + ".stats"),
      templates_dir_(paths_.Locate("templates")),
      settings_(std::make_unique<SettingsStore>()),
      log_(std::make_unique<LockingLog>(kProductName, false, true)),
      handler_(*this, request_log_),
      server_([this](const AdminRequest& request) { return handler_.Handle(request); }) {}

Service::~Service() {
  server_.Stop();
  build_.reset();
  if (signal_fd_ >= 0) close(signal_fd_);
  if (wake_fd_ >= 0) close(wake_fd_);
}

int Service::Run() {
  if (!StartUp()) {
    server_.Stop();
    log_->FlushCheck(true);
    return kServiceExitFailure;
  }
  Loop();
  ShutDown();
  return kServiceExitOk;
}

// ---------------------------------------------------------------------------
// Start-up and configuration

bool Service::ReadConfiguration() {
  log_->WriteFormatted(kLogConfig, kLogCritical, "Reading configuration file %s",
                       configuration_file_.c_str());
  auto store = std::make_unique<SettingsStore>();
  const int loaded = store->Load(configuration_file_);
  if (loaded == kResultEncrypted) {
    messages_ << "vossikd: " << configuration_file_ << " is an encrypted container\n";
    return false;
  }
  if (loaded != kResultOk) {
    std::string date;
    AppendDate(date, std::time(nullptr), false);
    char text[512];
    std::snprintf(text, sizeof text, kGeneratedConfiguration, date.c_str());
    store = std::make_unique<SettingsStore>();
    store->SetFileName(configuration_file_);
    if (store->Parse(text) != kResultOk || store->Save() != kResultOk) {
      log_->WriteFormatted(kLogWarning, kLogCritical, "Writing configuration file %s failed",
                           configuration_file_.c_str());
    }
    log_->Write(kLogWarning, kLogCritical,
                "Reading configuration file failed, using defaults for all settings");
  }
  return Apply(std::move(store));
}

bool Service::StartUp() {
  CreateFolder("logs");
  CreateFolder("stats");
  if (!descriptor_.Load(kDescriptorName, log_.get(), paths_.DataFolders())) {
    log_->Write(kLogConfig, kLogCritical,
                "Error initializing configuration descriptor file, exiting");
    messages_ << "vossikd: cannot read the configuration descriptor " << kDescriptorName
              << ".cfgml; is Vossik installed correctly?\n";
    return false;
  }

  const sigset_t signals = ServiceSignals();
  signal_fd_ = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
  wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (signal_fd_ < 0 || wake_fd_ < 0) {
    messages_ << "vossikd: " << std::strerror(errno) << "\n";
    return false;
  }

  std::string kept;
  if (ReadWholeFile(statistics_file_, &kept)) statistics_.Parse(kept);
  if (!ReadConfiguration()) {
    messages_ << "vossikd: cannot run with " << configuration_file_ << " (see logs/" << kProductName
              << ".log)\n";
    return false;
  }
  const std::string address = AddressText(service_settings_.host, server_.Port());
  messages_ << "vossikd: listening on " << address << std::endl;
  log_->WriteFormatted(kLogService, kLogCritical, "Service started, listening on %s",
                       address.c_str());

  TakeCensus();
  // A site whose index is missing, or older than its newest page, is built
  // at once; otherwise the index stands until something changes.
  if (!index_options_.source_folder.empty()) {
    const std::time_t index_time = ModificationTime(OutputFolderOf(index_options_) + "/sitemap.js");
    const std::unique_ptr<SourceWalker> walker = SiteWalkerFor(index_options_);
    const std::time_t newest = NewestAcceptedPage(*walker);
    if (index_time == 0 || index_time < newest) scheduler_.RequestNow(BuildScheduler::Clock::now());
  }
  Publish();
  notifier_.Ready(StatusLine());
  return true;
}

bool Service::Apply(std::unique_ptr<SettingsStore> store) {
  const XmlNode* root = descriptor_.Root();
  const ServiceSettings wanted = ReadServiceSettings(*store, root);
  const std::string problems = ProblemsWith(wanted);
  if (!problems.empty()) {
    log_->WriteFormatted(kLogError, kLogCritical, "The configuration cannot be used: %s",
                         problems.c_str());
    messages_ << "vossikd: " << problems;
    return false;
  }
  AllowList allow;
  std::string ignored;
  static_cast<void>(allow.Parse(wanted.allow, &ignored));

  if (!server_.Listening() || wanted.host != service_settings_.host ||
      wanted.port != service_settings_.port) {
    std::string error;
    const bool was_listening = server_.Listening();
    if (!server_.Start(wanted.host, static_cast<uint16_t>(wanted.port), &error)) {
      log_->WriteFormatted(kLogError, kLogCritical, "%s", error.c_str());
      messages_ << "vossikd: " << error << "\n";
      // The old address is taken up again, so the service stays reachable.
      std::string again;
      if (was_listening && !server_.Start(service_settings_.host,
                                          static_cast<uint16_t>(service_settings_.port), &again)) {
        log_->WriteFormatted(kLogError, kLogCritical, "%s", again.c_str());
      }
      return false;
    }
    if (was_listening) {
      log_->WriteFormatted(kLogService, kLogCritical, "Now listening on %s",
                           AddressText(wanted.host, server_.Port()).c_str());
    }
  }

  settings_ = std::move(store);
  log_->Configure(*settings_, root);
  handler_.SetAccess(wanted.password, std::move(allow));
  if (wanted.host != "127.0.0.1" && wanted.password.empty()) {
    log_->Write(kLogWarning, kLogGeneral,
                "No administrator password is set: only clients on this machine are answered");
  }
  service_settings_ = wanted;
  scheduler_.Configure(std::chrono::seconds(wanted.delay_seconds),
                       std::chrono::minutes(wanted.interval_minutes), BuildScheduler::Clock::now());
  scheduler_.SetSchedule(wanted.schedule, BuildScheduler::Clock::now(), std::time(nullptr));

  IndexOptions options = ReadIndexOptions(*settings_, root);
  const std::string key = KeyOf(options);
  index_options_ = std::move(options);
  if (key != index_key_) {
    const bool first = index_key_.empty();
    index_key_ = key;
    WatchSite();
    if (!first) scheduler_.RequestNow(BuildScheduler::Clock::now());
  }
  return true;
}

void Service::Reload() {
  notifier_.Reloading();
  log_->WriteFormatted(kLogConfig, kLogCritical, "Reading configuration file %s",
                       configuration_file_.c_str());
  auto store = std::make_unique<SettingsStore>();
  if (store->Load(configuration_file_) != kResultOk) {
    log_->WriteFormatted(kLogError, kLogCritical,
                         "Reading configuration file %s failed; the settings in use stay",
                         configuration_file_.c_str());
  } else if (Apply(std::move(store))) {
    log_->Write(kLogConfig, kLogGeneral, "Configuration applied");
  }
  TakeCensus();
  Publish();
  notifier_.Ready(StatusLine());
}

void Service::WatchSite() {
  watcher_.Stop();
  if (index_options_.source_folder.empty()) {
    log_->Write(kLogWarning, kLogGeneral,
                "No site folder (index:dirsrc) is set; nothing is watched");
    return;
  }
  std::string problem;
  std::shared_ptr<const SourceWalker> walker = SiteWalkerFor(index_options_);
  if (!watcher_.Watch(walker, index_options_.site_map_file, &problem)) {
    log_->WriteFormatted(kLogError, kLogCritical, "The site is not watched: %s", problem.c_str());
    return;
  }
  if (!problem.empty()) log_->WriteFormatted(kLogWarning, kLogGeneral, "%s", problem.c_str());
  log_->WriteFormatted(kLogService, kLogGeneral, "Watching %zu folders of %s",
                       watcher_.WatchedFolders(), index_options_.source_folder.c_str());
}

// ---------------------------------------------------------------------------
// The main loop

int Service::MillisecondsToWait() const {
  if (build_) return kBuildCheckMilliseconds;
  const std::optional<BuildScheduler::TimePoint> due = scheduler_.NextDue();
  if (!due) return -1;
  const auto wait =
      std::chrono::ceil<std::chrono::milliseconds>(*due - BuildScheduler::Clock::now());
  return static_cast<int>(std::clamp<long long>(wait.count(), 0, 24LL * 3600 * 1000));
}

void Service::Loop() {
  while (!stopping_) {
    pollfd watched[3] = {
        {signal_fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}, {watcher_.Descriptor(), POLLIN, 0}};
    const nfds_t count = watcher_.Descriptor() >= 0 ? 3 : 2;
    if (poll(watched, count, MillisecondsToWait()) < 0 && errno != EINTR) {
      log_->WriteFormatted(kLogError, kLogCritical, "Waiting failed: %s", std::strerror(errno));
      break;
    }
    HandleSignals();
    HandleCommands();
    if (stopping_) break;
    if (count == 3 && (watched[2].revents & POLLIN) && watcher_.ReadChanges()) {
      log_->Write(kLogService, kLogFull, "A change of the site was seen");
      scheduler_.Changed(BuildScheduler::Clock::now());
    }
    CheckBuild();
    if (!build_ && scheduler_.Due(BuildScheduler::Clock::now())) StartBuild();
    Publish();
    // The loop runs only when something happened; what it logged, and the
    // requests' lines, go to the file now rather than with the next line.
    log_unwritten_.store(false);
    log_->FlushCheck(true);
  }
}

void Service::HandleSignals() {
  signalfd_siginfo info{};
  while (read(signal_fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    switch (info.ssi_signo) {
      case SIGTERM:
      case SIGINT:
        log_->WriteFormatted(kLogService, kLogCritical, "Stopping on signal %u", info.ssi_signo);
        stopping_ = true;
        break;
      case SIGHUP:
        Reload();
        break;
      case SIGUSR1:
        SetPaused(true);
        break;
      case SIGUSR2:
        SetPaused(false);
        break;
      default:
        break;
    }
  }
}

void Service::HandleCommands() {
  uint64_t ignored = 0;
  while (read(wake_fd_, &ignored, sizeof ignored) > 0) {
  }
  std::deque<Command> commands;
  {
    std::lock_guard<std::mutex> hold(shared_mutex_);
    commands.swap(commands_);
  }
  for (Command command : commands) {
    switch (command) {
      case Command::kStop:
        log_->Write(kLogService, kLogCritical, "Stopping on request");
        stopping_ = true;
        break;
      case Command::kPause:
        SetPaused(true);
        break;
      case Command::kContinue:
        SetPaused(false);
        break;
      case Command::kBuild:
        scheduler_.RequestNow(BuildScheduler::Clock::now());
        break;
      case Command::kReload:
        Reload();
        break;
    }
  }
}

void Service::SetPaused(bool paused) {
  paused_.store(paused);
  if (scheduler_.Paused() == paused) return;
  scheduler_.SetPaused(paused);
  if (build_) build_->pause(paused);
  log_->Write(kLogService, kLogCritical, paused ? "Paused" : "Continued");
}

void Service::ShutDown() {
  notifier_.Stopping();
  {
    std::lock_guard<std::mutex> hold(shared_mutex_);
    published_status_.state = ServiceStatus::State::kStopping;
  }
  // A build that has just ended is counted as such, not cancelled.
  CheckBuild();
  if (build_) {
    // The build's files are published only when it completes, so a
    // cancelled build leaves the previous index as it was.
    build_->StopAndJoin();
    build_.reset();
    log_->Write(kLogService, kLogCritical, "The running build was cancelled");
  }
  server_.Stop();
  watcher_.Stop();
  SaveStatistics();
  log_->Write(kLogService, kLogCritical, "Service stopped");
}

// ---------------------------------------------------------------------------
// Builds

void Service::StartBuild() {
  IndexOptions options = ReadIndexOptions(*settings_, descriptor_.Root());
  // A site folder that was missing, or went away and came back, is watched
  // afresh; otherwise robots.txt may have changed since it was first watched.
  if (watcher_.WatchedFolders() == 0) {
    WatchSite();
  } else {
    watcher_.SetWalker(SiteWalkerFor(options));
  }
  TaskPtr<IndexBuilder> build = MakeTask<IndexBuilder>(0, templates_dir_);
  std::string description;
  const BuildScheduler::TimePoint now = BuildScheduler::Clock::now();
  scheduler_.BuildStarted(now);
  if (!build->configure(options, &description)) {
    scheduler_.BuildEnded();
    log_->Write(kLogError, kLogGeneral, build->ConfigureError());
    return;
  }
  build_ = std::move(build);
  build_started_ = now;
  log_->WriteFormatted(kLogService, kLogGeneral, "Build started for %s",
                       options.source_folder.c_str());
  build_->start(0, 0);
}

void Service::CheckBuild() {
  if (!build_ || !build_->Finished()) return;
  build_->StopAndJoin();
  const double seconds =
      std::chrono::duration<double>(BuildScheduler::Clock::now() - build_started_).count();
  const std::string status = build_->StatusText();
  const bool complete = build_->Progress() == 100 && status.starts_with("Complete");
  const long files = build_->FilesIndexed();
  build_.reset();
  scheduler_.BuildEnded();

  if (complete) {
    IndexCensus census;
    std::string error;
    if (!ReadIndexCensus(index_options_.source_folder, OutputFolderOf(index_options_), &census,
                         &error)) {
      census = IndexCensus{};
    }
    statistics_.RecordBuild(census, std::time(nullptr), seconds);
    {
      std::lock_guard<std::mutex> hold(shared_mutex_);
      census_ = std::make_shared<const IndexCensus>(std::move(census));
    }
    log_->WriteFormatted(kLogService, kLogGeneral, "Build complete (%ld files indexed) in %.2f s",
                         files, seconds);
  } else {
    statistics_.RecordFailure(std::time(nullptr), seconds);
    log_->WriteFormatted(kLogError, kLogCritical, "Build failed: %s", status.c_str());
  }
  SaveStatistics();
}

void Service::TakeCensus() {
  IndexCensus census;
  std::string error;
  std::shared_ptr<const IndexCensus> found;
  if (!index_options_.source_folder.empty() &&
      ReadIndexCensus(index_options_.source_folder, OutputFolderOf(index_options_), &census,
                      &error)) {
    statistics_.TakeCensus(census);
    found = std::make_shared<const IndexCensus>(std::move(census));
  }
  std::lock_guard<std::mutex> hold(shared_mutex_);
  census_ = std::move(found);
  published_statistics_ = {statistics_.Text(), std::time(nullptr)};
}

void Service::SaveStatistics() {
  const std::string text = statistics_.Text();
  std::string reason;
  if (!ReplaceFileAtomically(statistics_file_, text, &reason)) {
    log_->WriteFormatted(kLogError, kLogGeneral, "%s",
                         FileErrorText("write", statistics_file_, reason).c_str());
  }
  std::lock_guard<std::mutex> hold(shared_mutex_);
  published_statistics_ = {text, std::time(nullptr)};
}

// ---------------------------------------------------------------------------
// What the HTTP threads see

std::string Service::StatusLine() const {
  if (stopping_) return "Stopping";
  if (scheduler_.Paused()) return "Paused";
  if (build_) return "Building " + std::to_string(build_->Progress()) + " %";
  return "Running";
}

void Service::Publish() {
  ServiceStatus status;
  status.state = stopping_             ? ServiceStatus::State::kStopping
                 : scheduler_.Paused() ? ServiceStatus::State::kPaused
                                       : ServiceStatus::State::kRunning;
  status.building = build_ != nullptr;
  status.build_held = build_ && build_->IsHeld();
  if (build_) {
    status.progress = build_->Progress();
    status.build_text = build_->StatusText();
  }
  status.pending = scheduler_.Pending();
  if (const std::optional<BuildScheduler::TimePoint> due = scheduler_.NextDue()) {
    status.next_build = std::max<long long>(
        0, std::chrono::ceil<std::chrono::seconds>(*due - BuildScheduler::Clock::now()).count());
  }
  status.builds = statistics_.Builds();
  status.failed_builds = statistics_.FailedBuilds();
  {
    std::lock_guard<std::mutex> hold(shared_mutex_);
    published_status_ = std::move(status);
  }
  notifier_.Status(StatusLine());
}

void Service::Wake() {
  const uint64_t one = 1;
  // A full counter already wakes the loop.
  static_cast<void>(write(wake_fd_, &one, sizeof one));
}

void Service::Post(Command command) {
  {
    std::lock_guard<std::mutex> hold(shared_mutex_);
    commands_.push_back(command);
  }
  Wake();
}

void Service::RequestLog::Write(int type, int level, std::string_view message) {
  service_.log_->Write(type, level, message);
  if (!service_.log_unwritten_.exchange(true)) service_.Wake();
}

ServiceStatus Service::Status() {
  std::lock_guard<std::mutex> hold(shared_mutex_);
  ServiceStatus status = published_status_;
  // A pause or continue asked for is the state from the moment it is
  // answered, even before the main loop has acted on it.
  if (status.state != ServiceStatus::State::kStopping) {
    status.state = stop_requested_.load() ? ServiceStatus::State::kStopping
                   : paused_.load()       ? ServiceStatus::State::kPaused
                                          : ServiceStatus::State::kRunning;
  }
  return status;
}

void Service::Stop() {
  stop_requested_.store(true);
  Post(Command::kStop);
}

void Service::Pause() {
  paused_.store(true);
  Post(Command::kPause);
}

void Service::Continue() {
  paused_.store(false);
  Post(Command::kContinue);
}

void Service::BuildNow() { Post(Command::kBuild); }

int Service::ReplaceConfiguration(std::string_view text, std::string* problem) {
  SettingsStore candidate;
  std::string refusal;
  if (candidate.Parse(text) != kResultOk) {
    refusal = "The text is not a configuration file: it has no [section] line";
  } else {
    refusal = ProblemsWith(ReadServiceSettings(candidate, descriptor_.Root()));
  }
  if (!refusal.empty()) {
    log_->WriteFormatted(kLogWarning, kLogGeneral, "A new configuration was refused: %s",
                         refusal.c_str());
    *problem = std::move(refusal);
    return 400;
  }
  std::string reason;
  {
    std::lock_guard<std::mutex> hold(configuration_mutex_);
    if (!ReplaceFileAtomically(configuration_file_, text, &reason)) {
      *problem = FileErrorText("write", configuration_file_, reason);
      log_->WriteFormatted(kLogError, kLogCritical, "%s", problem->c_str());
      return 500;
    }
  }
  log_->Write(kLogConfig, kLogGeneral, "A new configuration was received");
  return 0;
}

std::optional<std::filesystem::path> Service::LogFile(std::string_view name) {
  // What the service logged so far is in the file before anyone reads it.
  if (EqualsIgnoringCase(name, kProductName)) log_->FlushCheck(true);
  for (std::string_view log : {std::string_view(kProductName), kBuildLogName}) {
    if (EqualsIgnoringCase(name, log))
      return std::filesystem::path("logs") / (std::string(log) + ".log");
  }
  return std::nullopt;
}

DatedText Service::Statistics() {
  std::lock_guard<std::mutex> hold(shared_mutex_);
  return published_statistics_;
}

std::shared_ptr<const IndexCensus> Service::Pages() {
  std::lock_guard<std::mutex> hold(shared_mutex_);
  return census_;
}

}  // namespace vossik
