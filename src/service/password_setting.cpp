#include "service/password_setting.h"

#include <termios.h>
#include <unistd.h>

#include "base/program_paths.h"
#include "base/result_codes.h"
#include "service/service.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"

namespace vossik {
namespace {

constexpr const char* kPasswordUid = "administrator:password";

// Turns the terminal's echo off while it lives, when input is a terminal.
class QuietTerminal {
 public:
  QuietTerminal() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~QuietTerminal() {
    if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  QuietTerminal(const QuietTerminal&) = delete;
  QuietTerminal& operator=(const QuietTerminal&) = delete;
  bool Active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

int SetServicePassword(const std::string& program_path, std::istream& in, std::ostream& messages) {
  const ProgramPaths paths = ProgramPaths::FromProgramPath(program_path);
  ConfigDescriptor descriptor;
  if (!descriptor.Load("vossik", nullptr, paths.DataFolders())) {
    messages << "vossikd: cannot read the configuration descriptor vossik.cfgml\n";
    return kServiceExitFailure;
  }
  const std::string file = paths.base_name + ".cfg";
  SettingsStore store;
  if (store.Load(file) != kResultOk) {
    store.Clear();
    store.SetFileName(file);
    if (store.Parse("[Default]\n") != kResultOk) return kServiceExitFailure;
  }

  std::string password;
  {
    QuietTerminal quiet;
    if (quiet.Active()) messages << "New administrator password (empty for none): " << std::flush;
    std::getline(in, password);
    if (quiet.Active()) messages << "\n";
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();

  const ParameterRef ref = ResolveParameter(descriptor.Root(), kPasswordUid);
  std::string key;
  if (!ref.Key(-1, -1, &key)) return kServiceExitFailure;
  if (password.empty()) {
    store.SetValue(ref.section_name, key, "");
  } else if (SetSecret(store, descriptor.Root(), {.uid = kPasswordUid}, password) ==
             kResultUnresolved) {
    messages << "vossikd: the descriptor has no " << kPasswordUid << " setting\n";
    return kServiceExitFailure;
  }
  if (store.Save() != kResultOk) {
    messages << "vossikd: cannot write " << file << "\n";
    return kServiceExitFailure;
  }
  messages << (password.empty() ? "The administrator password is removed from "
                                : "The administrator password is set in ")
           << file << "; reload the service to use it\n";
  return kServiceExitOk;
}

}  // namespace vossik
