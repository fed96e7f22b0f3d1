#include "app/application.h"

#include <spawn.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/admin_command.h"
#include "app/batch_build.h"
#include "app/terminal_search.h"
#include "base/date_text.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "helpgen/help_generator.h"
#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"

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

std::filesystem::path Application::TemplatesDir() const { return paths_.Locate("templates"); }

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
    std::cerr << paths_.base_name << ": " << options_.error << "\n\n" << UsageText();
    status = kExitUsage;
  } else if (options_.mode == CommandLine::Mode::kHelp) {
    std::cout << UsageText();
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
  if (build) return RunBatchBuild(settings_, DescriptorRoot(), TemplatesDir(), std::cerr);
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
  if (!instance_lock_.Acquire(paths_.base_name, 30)) return kExitOk;
  CreateFolder("logs");
  WriteRunStatus();
  if (!ReadConfiguration()) return kExitFailure;
  if (!ApplySettingsFromCommandLine()) return kExitUsage;
  if (!ui_.RunMainDialog(*this)) {
    ui_.ShowMessage(MessageKind::kError, "Application Error",
                    "This application has not been written properly, missing Interface Dialog");
    return kExitFailure;
  }
  return kExitOk;
}

void Application::WriteRunStatus() {
  const std::string file = RunStatusFile();
  std::error_code ec;
  run_status_existed_ = std::filesystem::exists(file, ec);
  run_status_written_ = WriteWholeFile(file, "Running");
}

bool Application::ApplySettingsFromCommandLine() {
  for (const auto& [uid, value] : options_.settings) {
    const ParameterRef ref = ResolveParameter(DescriptorRoot(), uid);
    std::string key;
    if (!ref.IsDefined() || !ref.Key(-1, -1, &key)) {
      std::cerr << paths_.base_name << ": unknown setting \"" << uid << "\" in -set\n";
      return false;
    }
    // A secret, such as the administrator password, is given in clear text
    // and kept as the store keeps secrets.
    const std::string* encrypted = ref.Attribute("encrypted");
    if (encrypted != nullptr && ParseSwitch(*encrypted) && !value.empty()) {
      static_cast<void>(SetSecret(settings_, DescriptorRoot(), {.uid = uid}, value));
    } else {
      settings_.SetValue(ref.section_name, key, value);
    }
  }
  return true;
}

bool Application::ReadConfiguration() {
  Log& log = AppLog();
  if (!descriptor_.Load(paths_.descriptor_name, &log, paths_.DataFolders())) {
    log.Write(kLogConfig, kLogCritical,
              "Error initializing configuration descriptor file, exiting");
    ui_.ShowMessage(MessageKind::kWarning, identity_.product_name,
                    "Error initializing configuration descriptor file. Please check this product "
                    "is installed correctly");
    return false;
  }
  const std::string file = ConfigurationFile();
  configuration_time_ = ModificationTime(file);
  log.WriteFormatted(kLogConfig, kLogCritical, "Reading configuration file %s", file.c_str());
  const int loaded = settings_.Load(file);
  if (loaded == kResultOk) return InitialiseFromConfiguration();
  if (loaded == kResultEncrypted) return false;

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

bool Application::InitialiseFromConfiguration() {
  Log& log = AppLog();
  log.Write(kLogConfig, kLogCritical, "Initializing from configuration file");
  log.Configure(settings_, DescriptorRoot());
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
