#include "app/command_line.h"

#include <string_view>

#include "base/ascii_case.h"

namespace vossik {
namespace {

// Takes the -set, -verbose and -runafter arguments out of the list; the rest keep
// their order so that the mode option stays the first.
std::vector<std::string> TakeAnywhereOptions(const std::vector<std::string>& args,
                                             CommandLine* line) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (EqualsIgnoringCase(args[i], "-verbose")) {
      line->verbose = true;
      continue;
    }
    if (args[i] == "-runafter") {
      if (i + 1 < args.size()) line->run_after = args[++i];
      continue;
    }
    if (EqualsIgnoringCase(args[i], "-set")) {
      if (i + 1 >= args.size()) {
        line->error = "-set needs an argument of the form SECTION:PARAMETER=VALUE";
        continue;
      }
      const std::string& assignment = args[++i];
      const std::size_t equals = assignment.find('=');
      if (equals == std::string::npos || equals == 0) {
        line->error = "-set needs an argument of the form SECTION:PARAMETER=VALUE, not \"" +
                      assignment + "\"";
        continue;
      }
      line->settings.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
      continue;
    }
    rest.push_back(args[i]);
  }
  return rest;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  const std::vector<std::string> rest = TakeAnywhereOptions(args, &line);
  if (rest.empty()) return line;

  const std::string& first = rest[0];
  if (EqualsIgnoringCase(first, "-generatehtmlhelp")) {
    line.mode = CommandLine::Mode::kGenerateHtmlHelp;
  } else if (EqualsIgnoringCase(first, "-generatehtml")) {
    line.mode = CommandLine::Mode::kGenerateHtml;
  } else if (EqualsIgnoringCase(first, "-build")) {
    line.mode = CommandLine::Mode::kBuild;
  } else if (EqualsIgnoringCase(first, "-search")) {
    line.mode = CommandLine::Mode::kSearch;
    if (rest.size() < 2) {
      line.error = "-search needs the words to search for";
    } else {
      for (std::size_t i = 1; i < rest.size(); ++i) {
        if (i > 1) line.search_words += ' ';
        line.search_words += rest[i];
      }
    }
    return line;
  } else if (EqualsIgnoringCase(first, "-admin")) {
    line.mode = CommandLine::Mode::kAdmin;
    line.admin_args.assign(rest.begin() + 1, rest.end());
    if (line.admin_args.empty()) line.error = "-admin needs an action, such as status";
    return line;
  } else if (EqualsIgnoringCase(first, "-help") || EqualsIgnoringCase(first, "--help") ||
             EqualsIgnoringCase(first, "-h")) {
    line.mode = CommandLine::Mode::kHelp;
  } else if (EqualsIgnoringCase(first, "-version") || EqualsIgnoringCase(first, "--version")) {
    line.mode = CommandLine::Mode::kVersion;
  } else if (EqualsIgnoringCase(first, "-wizard")) {
    line.wizard_requested = true;
    if (rest.size() >= 2) line.wizard_uid = rest[1];
    if (rest.size() > 2) line.error = "unexpected argument \"" + rest[2] + "\"";
    return line;
  } else {
    line.error = "unknown option \"" + first + "\"";
    return line;
  }
  if (rest.size() > 1 && line.error.empty()) line.error = "unexpected argument \"" + rest[1] + "\"";
  return line;
}

const char* UsageText() {
  return "Usage: vossik [OPTION] [-set SECTION:PARAMETER=VALUE]... [-runafter PROGRAM]\n"
         "Add search to any website with no server required.\n"
         "\n"
         "  (no option)          open the settings window\n"
         "  -wizard [UID]        open the set-up wizard (\"setup\")\n"
         "  -build               build the search index of the configured site\n"
         "  -search WORDS        search a built index and print the best results\n"
         "  -admin ACTION [ARG]  administer the Vossik service (status, stop, pause,\n"
         "                       continue, start, getconfig, setconfig, build, log,\n"
         "                       stats, request)\n"
         "  -generatehtml        write the help pages into hlp/\n"
         "  -generatehtmlhelp    write the help pages and the help project into hlp/\n"
         "  -set UID=VALUE       use VALUE for a setting in this run only\n"
         "                       (for example -set index:dirsrc=/var/www/html)\n"
         "  -runafter PROGRAM    start PROGRAM when Vossik ends\n"
         "  -verbose             with -build, print every file, not only the phases\n"
         "  -help, -h            show this text\n"
         "  -version             show the version\n"
         "\n"
         "Exit status: 0 complete, 1 the build (or another action) failed,\n"
         "2 bad settings or command line, 130 cancelled (Ctrl-C).\n";
}

std::string TryHelpLine(std::string_view program) {
  return "Try '" + std::string(program) + " -help'.";
}

}  // namespace vossik
