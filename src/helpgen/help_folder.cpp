#include "helpgen/help_folder.h"

#include <system_error>

#include "base/file_io.h"

namespace vossik {

HelpFolder::HelpFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

bool HelpFolder::Create() {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (!error && std::filesystem::is_directory(folder_, error)) return true;
  Fail("Cannot create the help folder", folder_, error ? error.message() : "not a folder");
  return false;
}

void HelpFolder::Write(std::string_view name, std::string_view bytes) {
  const std::filesystem::path path = folder_ / name;
  std::string reason;
  if (!WriteWholeFile(path, bytes, &reason)) Fail("Cannot write", path, reason);
}

void HelpFolder::CopyAssets(const std::filesystem::path& assets_dir) {
  for (std::string_view name : kHelpAssets) {
    const std::filesystem::path source = assets_dir / name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error)) {
      Fail("Cannot find the help file", source, "missing");
      continue;
    }
    std::filesystem::copy_file(source, folder_ / name,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) Fail("Cannot write", folder_ / name, error.message());
  }
}

void HelpFolder::AddFailures(std::string_view lines) {
  if (lines.empty()) return;
  if (!failures_.empty()) failures_ += "\n";
  failures_ += lines;
}

void HelpFolder::Fail(std::string_view what, const std::filesystem::path& path,
                      std::string_view reason) {
  if (!failures_.empty()) failures_ += "\n";
  failures_ += std::string(what) + " " + path.generic_string() + ": " + std::string(reason);
}

}  // namespace vossik
