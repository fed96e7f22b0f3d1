// vossikd, the Vossik service: keeps a site's search index fresh and
// answers the administration protocol. Usage: vossikd [-C DIR] [-password]
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "base/ascii_case.h"
#include "service/password_setting.h"
#include "service/service.h"

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: vossikd [-C DIR] [-password]\n"
    "Keep a website's search index fresh and answer the administration protocol.\n"
    "\n"
    "  -C DIR     work in DIR: its configuration file, logs and statistics live there\n"
    "  -password  set the administrator password (read from the standard input)\n"
    "             in the configuration file, and end\n"
    "  -help      show this text\n";

// The running executable, which says where the program's files are
// installed, whatever the folder it was started from.
std::string ProgramPath(const char* argv0) {
  char resolved[4096];
  const ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
  if (length > 0) return std::string(resolved, static_cast<std::size_t>(length));
  return argv0 != nullptr ? argv0 : "vossikd";
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread starts, so that only the main loop receives them.
  vossik::BlockServiceSignals();

  std::string folder;
  bool set_password = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-C" && i + 1 < argc) {
      folder = argv[++i];
    } else if (vossik::EqualsIgnoringCase(arg, "-password")) {
      set_password = true;
    } else if (vossik::EqualsIgnoringCase(arg, "-help") ||
               vossik::EqualsIgnoringCase(arg, "--help")) {
      std::cout << kUsage;
      return vossik::kServiceExitOk;
    } else {
      std::cerr << "vossikd: "
                << (arg == "-C" ? "-C needs a folder" : "unknown option \"" + arg + "\"") << "\n\n"
                << kUsage;
      return kExitUsage;
    }
  }
  const std::string program = ProgramPath(argc > 0 ? argv[0] : nullptr);
  if (!folder.empty() && chdir(folder.c_str()) != 0) {
    std::cerr << "vossikd: cannot work in " << folder << ": " << std::strerror(errno) << "\n";
    return vossik::kServiceExitFailure;
  }
  if (set_password) return vossik::SetServicePassword(program, std::cin, std::cerr);
  vossik::Service service(program, std::cerr);
  return service.Run();
}
