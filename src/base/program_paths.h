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

}  // namespace vossik
