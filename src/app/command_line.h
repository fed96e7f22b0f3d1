// CommandLine reads the program's arguments: the framework's options
// (-generatehtml, -generatehtmlhelp, -wizard, -runafter) and the product's
// own (-build, -search, -admin, -set, -help, -version).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vossik {

struct CommandLine {
  enum class Mode {
    kSettingsWindow,    // no option: the settings window
    kGenerateHtml,      // -generatehtml
    kGenerateHtmlHelp,  // -generatehtmlhelp
    kBuild,             // -build
    kSearch,            // -search WORDS
    kAdmin,             // -admin ACTION [ARGUMENT]...
    kHelp,              // -help, --help, -h
    kVersion,           // -version, --version
  };

  Mode mode = Mode::kSettingsWindow;
  bool wizard_requested = false;  // -wizard was given, with or without a uid
  std::string wizard_uid;         // empty when -wizard had no uid
  std::string run_after;          // program started when the application ends
  std::string search_words;
  bool verbose = false;                 // -verbose, anywhere: -build prints every file
  std::vector<std::string> admin_args;  // the action and its arguments
  /// -set UID=VALUE pairs in the order given.
  std::vector<std::pair<std::string, std::string>> settings;
  /// Non-empty when the arguments cannot be used: one line, which the caller
  /// follows with a pointer to -help.
  std::string error;
};

/// Reads `args` (without the program path). Option names in the first
/// argument are compared without regard to case; -runafter is looked for
/// exactly, anywhere; -set may stand anywhere.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The usage text printed by -help.
const char* UsageText();

/// The line that follows a command-line error: "Try 'PROGRAM -help'.".
std::string TryHelpLine(std::string_view program);

}  // namespace vossik
