#include "app/application.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/admin_command.h"
#include "app/build_record.h"
#include "app/terminal_search.h"
#include "base/date_text.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "helpgen/help_generator.h"
#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"
#include "settings/value_rules.h"

extern char** environ;

namespace vossik {
namespace {

constexpr const char* kGeneratedConfiguration =
    "[Default]\r\n"
    "// This configuration file was automatically generated on %s\r\n"
    "// Application built-in default settings will be used unless other settings are "
    "present below to override them\r\n";

std::time_t ModificationTime(const std::string& file) {
  struct stat info {};
  return stat(file.c_str(), &info) == 0 ? info.st_mtime : 0;
}

void CreateFolder(const char* name) {
  std::error_code ignored;
  std::filesystem::create_directory(name, ignored);
}

}  // namespace

Application::Application(const ProductIdentity& identity, std::string program_path,
                         std::vector<std::string> args, ApplicationUi& ui)
    : identity_(identity),
      paths_(ProgramPaths::FromProgramPath(program_path)),
      args_(std::move(args)),
      ui_(ui) {
  // The application component comes first and stays for the application's
  // life: its log is the application log.
  components_.push_back(std::make_unique<Component>(identity_.product_name, "application"));
}

Application::~Application() {
  instance_lock_.Release();
  if (run_status_written_) std::remove(RunStatusFile().c_str());
  // The application component goes last: its log writes the end line.
  while (components_.size() > 1) components_.pop_back();
}

void Application::AddComponent(std::unique_ptr<Component> component) {
  components_.push_back(std::move(component));
}

std::vector<std::filesystem::path> Application::TemplateFolders() const {
  std::vector<std::filesystem::path> folders{"templates"};
  for (const std::filesystem::path& folder : paths_.DataFolders())
    folders.push_back(folder / "templates");
  return folders;
}

int Application::Run() {
  if (!network_.Start()) {
    ui_.ShowMessage(MessageKind::kError, identity_.product_name,
                    "Windows sockets initialization failed.");
    Shutdown();
    return kExitFailure;
  }
  options_ = ParseCommandLine(args_);

  int status = kExitOk;
  if (!options_.error.empty()) {
    std::cerr << paths_.base_name << ": " << options_.error << "\n"
              << TryHelpLine(paths_.base_name) << "\n";
    status = kExitUsage;
  } else if (options_.mode == CommandLine::Mode::kHelp) {
    std::cout << UsageText();
  } else if (options_.mode == CommandLine::Mode::kVersion) {
    std::cout << identity_.product_name << " " << identity_.version << " (" << identity_.build
              << ")\n";
  } else if (options_.mode == CommandLine::Mode::kGenerateHtml ||
             options_.mode == CommandLine::Mode::kGenerateHtmlHelp) {
    status = RunGenerator();
  } else if (options_.mode == CommandLine::Mode::kBuild ||
             options_.mode == CommandLine::Mode::kSearch ||
             options_.mode == CommandLine::Mode::kAdmin) {
    status = RunProductMode();
  } else {
    status = StartWindowedRun();
  }
  Shutdown();
  return status;
}

int Application::RunGenerator() {
  const bool project = options_.mode == CommandLine::Mode::kGenerateHtmlHelp;
  AppLog().WriteFormatted(kLogService, kLogGeneral, "Command line option '%s' executed",
                          project ? "-generatehtmlhelp" : "-generatehtml");
  int status = kExitFailure;
  if (ReadConfiguration()) {
    HelpGenerator generator(DescriptorRoot(), identity_, paths_.Locate("help"), std::time(nullptr));
    generator.SetImageWriter(help_image_writer_);
    std::string error;
    if (generator.Generate(project, paths_.help_base_name, &error) == 0) {
      status = kExitOk;
    } else {
      std::cerr << paths_.base_name << ": " << error << "\n";
    }
  }
  AppLog().Write(kLogService, kLogGeneral, "Command line option handled, application exited.");
  return status;
}

int Application::RunProductMode() {
  const bool build = options_.mode == CommandLine::Mode::kBuild;
  // The batch build needs the logs folder for its build log; it takes no
  // single-instance lock, so it can run beside the settings window.
  if (build) CreateFolder("logs");
  if (!ReadConfiguration()) return kExitFailure;
  if (!ApplySettingsFromCommandLine()) return kExitUsage;
  if (build) {
    return RunRecordedBatchBuild(settings_, DescriptorRoot(), TemplateFolders(), StatisticsFile(),
                                 std::cerr, options_.verbose);
  }
  if (options_.mode == CommandLine::Mode::kAdmin) {
    return RunAdminCommand(settings_, DescriptorRoot(), paths_.help_base_name, options_.admin_args,
                           std::cout, std::cerr);
  }
  return RunTerminalSearch(settings_, DescriptorRoot(), options_.search_words, std::cout,
                           std::cerr);
}

int Application::StartWindowedRun() {
  if (options_.wizard_requested) {
    AppLog().Write(kLogService, kLogGeneral, "Command line option '-wizard' executed");
  }
  switch (instance_lock_.Acquire(paths_.base_name, 30)) {
    case SingleInstanceLock::Outcome::kAcquired:
      break;
    case SingleInstanceLock::Outcome::kHeldElsewhere: {
      const long holder = instance_lock_.HolderProcess();
      std::cerr << identity_.product_name << " is already running"
                << (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string())
                << "\n";
      static_cast<void>(ui_.RaiseRunningCopy(SingleInstanceLock::SocketFileFor(paths_.base_name)));
      return kExitOk;
    }
    case SingleInstanceLock::Outcome::kUnavailable:
      AppLog().Write(kLogWarning, kLogCritical,
                     "Cannot take the single-instance lock (" + instance_lock_.Reason() +
                         "); a second copy will not be noticed");
      break;
  }
  CreateFolder("logs");
  WriteRunStatus();
  if (!ReadConfiguration()) return kExitFailure;
  if (!ApplySettingsFromCommandLine()) return kExitUsage;
  if (options_.wizard_requested) ReportWizardChoice();
  // The first run has no preferences yet; the store then starts empty.
  static_cast<void>(preferences_.Load(PreferencesFile()));
  if (!ui_.RunMainDialog(*this)) {
    ui_.ShowMessage(MessageKind::kError, "Application Error",
                    "This application has not been written properly, missing Interface Dialog");
    return kExitFailure;
  }
  SavePreferences();
  return kExitOk;
}

void Application::ReportWizardChoice() {
  const std::vector<const XmlNode*> wizards = DescriptorWizards(DescriptorRoot());
  std::string uids;
  bool found = false;
  for (const XmlNode* wizard : wizards) {
    const std::string* uid = wizard->Attribute("uid");
    const std::string name = uid != nullptr ? *uid : std::string();
    if (!options_.wizard_uid.empty() && name == options_.wizard_uid) found = true;
    uids += (uids.empty() ? "" : ", ") + name;
  }
  if (found) return;
  std::string notice;
  if (wizards.empty()) {
    notice = "the descriptor has no wizard; showing the settings window";
  } else if (options_.wizard_uid.empty()) {
    notice = "-wizard needs the name of a wizard (" + uids + "); showing the settings window";
  } else {
    const std::string* first = wizards.front()->Attribute("uid");
    notice = "no wizard \"" + options_.wizard_uid + "\" (the descriptor has: " + uids +
             "); showing \"" + (first != nullptr ? *first : std::string()) + "\"";
  }
  std::cerr << paths_.base_name << ": " << notice << "\n";
  AppLog().Write(kLogWarning, kLogGeneral, "Command line option '-wizard': " + notice);
}

void Application::SavePreferences() {
  if (preferences_.Sections().empty()) return;
  if (preferences_.Save() != kResultOk) {
    AppLog().Write(kLogWarning, kLogCritical,
                   "Cannot write the preferences file " + PreferencesFile() +
                       "; remembered values are lost when the program ends");
  }
}

void Application::WriteRunStatus() {
  const std::string file = RunStatusFile();
  std::string previous;
  run_status_existed_ = ReadWholeFile(file, &previous);
  if (run_status_existed_) {
    // The status names the process that wrote it; one that is gone ended
    // without shutting down (killed, or crashed).
    const std::size_t line = previous.find('\n');
    const long pid = line == std::string::npos ? 0 : ParseLeadingNumber(previous.substr(line + 1));
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
      AppLog().Write(kLogWarning, kLogCritical,
                     "The previous run ended without shutting down (" + file + " was left behind)");
    }
  }
  run_status_written_ = WriteWholeFile(file, "Running\n" + std::to_string(::getpid()) + "\n");
}

bool Application::ApplySettingsFromCommandLine() {
  for (const auto& [uid, value] : options_.settings) {
    const ParameterRef ref = ResolveParameter(DescriptorRoot(), uid);
    std::string key;
    if (!ref.IsDefined() || !ref.Key(-1, -1, &key)) {
      std::cerr << paths_.base_name << ": unknown setting \"" << uid << "\" in -set\n";
      return false;
    }
    const ValueRule rule = RuleFor(ref);
    if (!Accepts(rule, value)) {
      std::cerr << paths_.base_name << ": -set " << uid << "=" << value
                << " is not allowed: " << uid << " takes " << DescribeAccepted(rule) << "\n";
      return false;
    }
    // A secret, such as the administrator password, is given in clear text
    // and kept as the store keeps secrets.
    const std::string* encrypted = ref.Attribute("encrypted");
    if (encrypted != nullptr && ParseSwitch(*encrypted) && !value.empty()) {
      if (SetSecret(settings_, DescriptorRoot(), {.uid = uid}, value) != kResultOk) {
        std::cerr << paths_.base_name << ": -set " << uid << " could not be encrypted\n";
        return false;
      }
    } else {
      settings_.SetValue(ref.section_name, key, value);
    }
  }
  return true;
}

bool Application::ReadConfiguration() {
  Log& log = AppLog();
  if (!descriptor_.Load(paths_.base_name, &log, paths_.DataFolders())) {
    log.Write(kLogConfig, kLogCritical,
              "Error initializing configuration descriptor file, exiting");
    ui_.ShowMessage(MessageKind::kWarning, identity_.product_name,
                    "Error initializing configuration descriptor file. Please check this product "
                    "is installed correctly");
    return false;
  }
  const std::string file = ConfigurationFile();
  // Killed runs may have left their half-written copies behind.
  for (const std::string& kept : {file, PreferencesFile()}) {
    if (const int removed = RemoveStaleTemporaries(kept); removed > 0) {
      log.WriteFormatted(kLogWarning, kLogGeneral,
                         "Removed %d temporary files of %s left by runs that were stopped", removed,
                         kept.c_str());
    }
  }
  configuration_time_ = ModificationTime(file);
  log.WriteFormatted(kLogConfig, kLogCritical, "Reading configuration file %s", file.c_str());
  const int loaded = settings_.Load(file);
  if (loaded == kResultOk) {
    for (const std::string& ignored : settings_.IgnoredLines()) {
      log.WriteFormatted(kLogWarning, kLogCritical, "%s, %s: ignored", file.c_str(),
                         ignored.c_str());
    }
    return InitialiseFromConfiguration();
  }
  if (loaded == kResultEncrypted) {
    const std::string text = "The configuration file " + file +
                             " is an encrypted container, which this program cannot read. Move "
                             "it away to start with the default settings.";
    log.Write(kLogError, kLogCritical, text);
    ui_.ShowMessage(MessageKind::kError, identity_.product_name, text);
    return false;
  }
  if (!SetAsideUnreadableConfiguration(file)) return false;

  configuration_time_ = std::time(nullptr);
  std::string date;
  AppendDate(date, configuration_time_, false);
  const int size = std::snprintf(nullptr, 0, kGeneratedConfiguration, date.c_str());
  std::string text(static_cast<std::size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, kGeneratedConfiguration, date.c_str());
  settings_.Clear();
  settings_.SetFileName(file);
  if (settings_.Parse(text) != kResultOk) return false;
  if (settings_.Save() != kResultOk) {
    log.WriteFormatted(kLogWarning, kLogCritical, "Writing configuration file %s failed",
                       file.c_str());
  }
  log.Write(kLogWarning, kLogCritical,
            "Reading configuration file failed, using defaults for all settings");
  return InitialiseFromConfiguration();
}

bool Application::SetAsideUnreadableConfiguration(const std::string& file) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return true;
  std::string bytes;
  std::string reason;
  if (!ReadWholeFile(file, &bytes, &reason)) {
    const std::string text = "Cannot read the configuration file " + file + ": " + reason;
    AppLog().Write(kLogError, kLogCritical, text);
    ui_.ShowMessage(MessageKind::kError, identity_.product_name, text);
    return false;
  }
  if (bytes.empty()) return true;
  // The user's settings are kept, never overwritten by the defaults.
  std::string aside = file + ".bad";
  for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(aside, ec)); ++n) {
    aside = file + ".bad" + std::to_string(n);
  }
  std::filesystem::rename(file, aside, ec);
  if (ec) {
    const std::string text = "The configuration file " + file +
                             " cannot be read as settings, and it cannot be moved "
                             "aside to make room for the defaults: " +
                             ec.message();
    AppLog().Write(kLogError, kLogCritical, text);
    ui_.ShowMessage(MessageKind::kError, identity_.product_name, text);
    return false;
  }
  const std::string text = "The configuration file " + file +
                           " cannot be read as settings. It was kept as " + aside +
                           " and the default settings were written in its place.";
  AppLog().Write(kLogWarning, kLogCritical, text);
  ui_.ShowMessage(MessageKind::kWarning, identity_.product_name, text);
  return true;
}

void Application::BringValuesIntoRange() {
  const XmlNode* root = DescriptorRoot();
  if (root == nullptr) return;
  std::vector<std::string> addresses;
  if (const XmlNode* types = root->FindElement("types", nullptr, false)) {
    for (const XmlNode* p = types->FirstChild(); p != nullptr; p = p->NextSibling()) {
      if (const std::string* uid = p->Attribute("uid"); uid && p->Name() == "parameter") {
        addresses.push_back(*uid);
      }
    }
  }
  if (const XmlNode* config = root->FindElement("config", nullptr, false)) {
    for (const XmlNode* s = config->FirstChild(); s != nullptr; s = s->NextSibling()) {
      const std::string* section = s->Attribute("uid");
      if (section == nullptr || s->Name() != "section") continue;
      for (const XmlNode* p = s->FirstChild(); p != nullptr; p = p->NextSibling()) {
        if (const std::string* uid = p->Attribute("uid"); uid && p->Name() == "parameter") {
          addresses.push_back(*section + ":" + *uid);
        }
      }
    }
  }
  for (const std::string& address : addresses) {
    const ParameterRef ref = ResolveParameter(root, address);
    std::string key;
    // Numbered entries belong to list controls, which check their own rows.
    if (!ref.IsDefined() || !ref.Key(-1, -1, &key) || ref.Attribute("numbered") != nullptr)
      continue;
    const std::string* stored = settings_.FindStoredValue(ref.section_name, key);
    if (stored == nullptr) continue;
    const ValueRule rule = RuleFor(ref);
    if (Accepts(rule, *stored)) continue;
    const std::string written = ref.section_name + ":" + key + "=" + *stored;
    const std::optional<long> number =
        rule.kind == ValueRule::Kind::kNumber ? ParseRuleNumber(*stored) : std::nullopt;
    if (number) {
      const long in_range = ClampToRule(rule, *number);
      settings_.SetValue(ref.section_name, key, std::to_string(in_range));
      AppLog().Write(kLogWarning, kLogCritical,
                     ConfigurationFile() + ": " + written + " is out of range; " +
                         std::to_string(in_range) + " is used (" + address + " takes " +
                         DescribeAccepted(rule) + ")");
    } else {
      settings_.SetValue(ref.section_name, key, "");
      AppLog().Write(kLogWarning, kLogCritical,
                     ConfigurationFile() + ": " + written +
                         " is not allowed; the default is used (" + address + " takes " +
                         DescribeAccepted(rule) + ")");
    }
  }
}

bool Application::InitialiseFromConfiguration() {
  Log& log = AppLog();
  log.Write(kLogConfig, kLogCritical, "Initializing from configuration file");
  log.Configure(settings_, DescriptorRoot());
  BringValuesIntoRange();
  log.Write(kLogConfig, kLogGeneral, "Initializing Application...");
  const bool ok = components_.front()->Configure(settings_, DescriptorRoot());

  statistics_.Clear();
  if (ok) {
    for (std::size_t i = 1; i < components_.size(); ++i) {
      Component& component = *components_[i];
      log.WriteFormatted(kLogConfig, kLogFull, "Setting up component '%s'",
                         component.Name().c_str());
      log.FlushCheck(true);
      bool on = false;
      const int found = GetSwitch(settings_, DescriptorRoot(),
                                  {.uid = "mainswitch", .section = component.SectionUid()}, &on);
      if (found == kResultUnresolved) on = true;  // a component without a switch always runs
      component.SetEnabled(on);
      if (on) {
        component.Configure(settings_, DescriptorRoot());
      } else {
        component.Disable();
      }
      component.Start(&statistics_);
      log.WriteFormatted(kLogConfig, kLogFull, "Component '%s' Complete", component.Name().c_str());
      log.FlushCheck(true);
    }
  }

  CreateFolder("stats");
  const std::string statistics_file = StatisticsFile();
  log.WriteFormatted(kLogConfig, kLogVerbose, "Reading statistics file %s",
                     statistics_file.c_str());
  log.FlushCheck(true);
  // The first run has no statistics yet; they start afresh.
  static_cast<void>(statistics_.Load(statistics_file));
  log.Write(kLogConfig, kLogDebug, "Read statistics file");
  log.FlushCheck(true);

  if (ok) return true;
  log.Write(kLogConfig, kLogCritical, "Error initializing from configuration file, exiting");
  ui_.ShowMessage(MessageKind::kWarning, identity_.product_name,
                  "Error initializing from configuration file. Please check this product is "
                  "installed correctly");
  return false;
}

void Application::Shutdown() {
  network_.Shutdown();
  StartRunAfterProgram();
}

void Application::StartRunAfterProgram() {
  if (options_.run_after.empty()) return;
  // Started without waiting, with no arguments and the current environment.
  char* argv[] = {options_.run_after.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, options_.run_after.c_str(), nullptr, nullptr, argv, environ) != 0) {
    AppLog().WriteFormatted(kLogError, kLogGeneral, "Could not start %s",
                            options_.run_after.c_str());
  }
}

}  // namespace vossik
