#include "base/program_paths.h"

#include <unistd.h>

#include "base/ascii_case.h"
#include "base/string_util.h"

namespace vossik {

ProgramPaths ProgramPaths::FromProgramPath(std::string_view program_path) {
  ProgramPaths paths;
  std::string path(program_path);
  const std::size_t exe = AsciiLowered(path).rfind(".exe");
  if (exe != std::string::npos) path.erase(exe);

  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) {
    paths.base_name = path;
  } else {
    paths.program_directory = path.substr(0, slash);
    paths.base_name = path.substr(slash + 1);
  }
  for (const char* release : {"/Release", "\\Release"}) {
    const std::size_t at = paths.program_directory.rfind(release);
    if (at != std::string::npos) {
      paths.program_directory.erase(at);
      break;
    }
  }

  paths.help_base_name = paths.base_name;
  const std::size_t first_admin = paths.base_name.find("admin");
  if (first_admin != std::string::npos) paths.help_base_name.erase(first_admin);
  return paths;
}

std::vector<std::filesystem::path> ProgramPaths::DataFolders() const {
  std::vector<std::filesystem::path> folders;
  const std::filesystem::path directory = program_directory.empty()
                                              ? std::filesystem::path(".")
                                              : std::filesystem::path(program_directory);
  folders.push_back(directory);
  folders.push_back(directory / ".." / "share" / "vossik");
  folders.push_back(VOSSIK_DATA_INSTALL_DIR);
  return folders;
}

std::filesystem::path ProgramPaths::Locate(const std::filesystem::path& relative) const {
  std::error_code ec;
  if (std::filesystem::exists(relative, ec)) return relative;
  for (const std::filesystem::path& folder : DataFolders()) {
    if (std::filesystem::exists(folder / relative, ec)) return folder / relative;
  }
  return relative;
}

std::string FindProgramPath(std::string_view argv0, std::string_view search_path) {
  if (argv0.empty()) return {};
  if (argv0.find('/') != std::string_view::npos) return std::string(argv0);
  std::size_t start = 0;
  while (start <= search_path.size()) {
    std::size_t end = search_path.find(':', start);
    if (end == std::string_view::npos) end = search_path.size();
    // An empty entry is the current directory, as for the shell.
    std::string folder(search_path.substr(start, end - start));
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + std::string(argv0);
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace vossik
