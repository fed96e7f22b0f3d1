// ProgramPaths derives the program's names from the path it was started
// with: its directory, its base name (which names the configuration file,
// the descriptor, the log and the status files), and the folders where its
// data files (descriptor, templates, help assets) are installed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

struct ProgramPaths {
  std::string program_directory;  // cut at its last "/Release" (or "\Release")
  std::string base_name;          // file name without directory and without its last ".exe"
  std::string help_base_name;     // base name cut at its first "admin" (exact case)

  /// Whether the program administers the service: its base name contains
  /// "admin" (vossikadmin).
  bool AdministrationMode() const { return base_name.find("admin") != std::string::npos; }

  /// Splits `program_path` (argument 0). Both "/" and "\" separate folders.
  static ProgramPaths FromProgramPath(std::string_view program_path);

  /// Where installed data files are looked for when they are not in the
  /// current directory: the program's own folder (a build tree), then the
  /// share folder beside its bin folder, then the configured install prefix.
  std::vector<std::filesystem::path> DataFolders() const;

  /// `relative` in the current directory when it exists there, else in the
  /// first data folder that has it, else `relative` unchanged.
  std::filesystem::path Locate(const std::filesystem::path& relative) const;
};

/// The path of the program started as `argv0`: `argv0` itself when it
/// names a folder, else the first executable file of that name in the
/// folders of `search_path` (the PATH variable), as the shell found it. The
/// name is kept as it was started (a link is not followed), since the name
/// decides the program's mode; "" when nothing is found.
std::string FindProgramPath(std::string_view argv0, std::string_view search_path);

}  // namespace vossik
