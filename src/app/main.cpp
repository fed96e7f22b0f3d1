// The vossik program: the command line and, without options, the settings window.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/program_paths.h"
#ifdef VOSSIK_WITH_GUI
#include "app/qt_application_ui_qt.h"
#include "ui/help_pictures.h"
#endif

namespace {

// Argument 0 names the program; when it carries no folder (found on the
// PATH), the PATH says which file it was, under the name it was started by:
// vossikadmin is a link to vossik, and the name decides the mode. Only when
// that fails does the running executable say where the program's files are,
// still under the name it was started by.
std::string ProgramPath(const char* argv0) {
  const std::string name = argv0 != nullptr ? argv0 : "vossik";
  const char* search_path = std::getenv("PATH");
  std::string path = vossik::FindProgramPath(name, search_path != nullptr ? search_path : "");
  if (!path.empty()) return path;
  char resolved[4096];
  const ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
  if (length <= 0) return name;
  const std::string executable(resolved, static_cast<std::size_t>(length));
  return executable.substr(0, executable.rfind('/') + 1) + name;
}

#ifdef VOSSIK_WITH_GUI
// Whether Qt has somewhere to show windows: a platform chosen explicitly
// (offscreen, for one), an X display or a Wayland one.
bool HasDisplay() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}
#endif

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string program = ProgramPath(argv[0]);
#ifdef VOSSIK_WITH_GUI
  // The command-line modes report to the terminal and run without a display;
  // only the settings window (and the wizard) shows windows.
  const vossik::CommandLine options = vossik::ParseCommandLine(args);
  if (options.error.empty() && options.mode == vossik::CommandLine::Mode::kSettingsWindow) {
    if (!HasDisplay()) {
      std::cerr << "vossik: no display; use -build, -search or -generatehtml, or run it in a "
                   "desktop session\n";
      return vossik::kExitUsage;
    }
    vossik::QtApplicationUi ui(argc, argv, vossik::VossikIdentity());
    vossik::Application application(vossik::VossikIdentity(), program, std::move(args), ui);
    return application.Run();
  }
#endif
  vossik::ConsoleUi ui;
  vossik::Application application(vossik::VossikIdentity(), program, std::move(args), ui);
#ifdef VOSSIK_WITH_GUI
  application.SetHelpImageWriter(vossik::WriteHelpImagesOffscreen);
#endif
  return application.Run();
}

}  // namespace

// Nothing is meant to throw out of the program's operations; should
// something still do so, the user gets one line and a failure status
// instead of an abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "vossik: " << error.what() << "\n";
  } catch (...) {
    std::cerr << "vossik: unexpected failure\n";
  }
  return vossik::kExitFailure;
}
