// Application starts the program in its fixed order (network layer, command
// line, single-instance guard, run status, descriptor, configuration, log,
// components), runs the mode the command line asks for, and shuts down
// through one path whatever happened.
//
// Ownership: the application owns the settings store, the descriptor, the
// statistics store, its components (the application component, whose log is
// the application log, comes first) for its whole life.
// Thread safety: everything runs on the main thread.
#pragma once

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/application_ui.h"
#include "app/command_line.h"
#include "app/component.h"
#include "app/single_instance_lock.h"
#include "base/product_identity.h"
#include "base/program_paths.h"
#include "helpgen/help_generator.h"
#include "net/network_layer.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"

namespace vossik {

/// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

class Application {
 public:
  /// `program_path` is argument 0; `args` the arguments after it. `ui` must
  /// outlive the application.
  Application(const ProductIdentity& identity, std::string program_path,
              std::vector<std::string> args, ApplicationUi& ui);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  /// Start-up, the requested mode, and shutdown. Returns the exit status.
  [[nodiscard]] int Run();

  /// Loads the descriptor and the configuration file (regenerating a missing
  /// or unreadable one), then initialises from it. False on failure.
  [[nodiscard]] bool ReadConfiguration();
  /// Configures the log and the components from the store as it stands in
  /// memory, and reads the statistics. False, after telling the user, when
  /// the application cannot run with them. Also the handler of the
  /// re-initialise message.
  [[nodiscard]] bool InitialiseFromConfiguration();

  /// Draws the help pages' pictures in -generatehtml runs; without one they
  /// are left out.
  void SetHelpImageWriter(HelpImageWriter writer) { help_image_writer_ = std::move(writer); }

  /// Adds a component, set up after the application component in the order added.
  void AddComponent(std::unique_ptr<Component> component);

  const ProductIdentity& Identity() const { return identity_; }
  const ProgramPaths& Paths() const { return paths_; }
  const CommandLine& Options() const { return options_; }
  SettingsStore& Settings() { return settings_; }
  SettingsStore& Statistics() { return statistics_; }
  /// The controls' view preferences (remembered values, grid state), kept
  /// in PreferencesFile() across runs of the settings window.
  SettingsStore& Preferences() { return preferences_; }
  const XmlNode* DescriptorRoot() const { return descriptor_.Root(); }
  Log& AppLog() { return components_.front()->ComponentLog(); }
  ApplicationUi& Ui() { return ui_; }
  std::string ConfigurationFile() const { return paths_.base_name + ".cfg"; }
  std::string RunStatusFile() const { return paths_.base_name + "run.status"; }
  std::string StatisticsFile() const { return "./stats/" + paths_.base_name + ".stats"; }
  std::string PreferencesFile() const { return paths_.base_name + ".prefs"; }
  /// Whether the run-status file was there at start: the last run did not end cleanly.
  bool RunStatusExisted() const { return run_status_existed_; }
  std::time_t ConfigurationTime() const { return configuration_time_; }
  /// Where the index build looks for each template, in order: "templates"
  /// in the working folder, then the program's data folders.
  std::vector<std::filesystem::path> TemplateFolders() const;

 private:
  [[nodiscard]] int RunGenerator();
  int StartWindowedRun();
  [[nodiscard]] int RunProductMode();
  bool ApplySettingsFromCommandLine();
  void WriteRunStatus();
  /// When -wizard names no wizard of the descriptor, says on standard error
  /// and in the log which wizards there are and what is shown instead.
  void ReportWizardChoice();
  /// Writes the view preferences when any were kept; a failure is logged.
  void SavePreferences();
  /// Brings values of the store that their settings rule out back to what
  /// the settings accept (numbers into range, others to their defaults),
  /// with a Warning each.
  void BringValuesIntoRange();
  /// Moves an existing configuration file that does not load out of the way
  /// ("FILE.bad", numbered when taken), telling the user. False, after
  /// telling the user, when it cannot be read or moved.
  [[nodiscard]] bool SetAsideUnreadableConfiguration(const std::string& file);
  void Shutdown();
  void StartRunAfterProgram();

  ProductIdentity identity_;
  ProgramPaths paths_;
  std::vector<std::string> args_;
  CommandLine options_;
  ApplicationUi& ui_;

  NetworkLayer network_;
  SingleInstanceLock instance_lock_;
  SettingsStore settings_;
  SettingsStore statistics_;
  SettingsStore preferences_;
  ConfigDescriptor descriptor_;
  std::vector<std::unique_ptr<Component>> components_;
  bool run_status_written_ = false;
  bool run_status_existed_ = false;
  std::time_t configuration_time_ = 0;
  HelpImageWriter help_image_writer_;
};

}  // namespace vossik
