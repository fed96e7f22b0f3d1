// HelpFolder is the output folder of a help run ("hlp" below the current
// directory): it creates the folder, writes pages into it byte for byte
// (replacing older files), copies the static help assets beside them, and
// remembers every path that could not be written so the run can report it
// instead of claiming success.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik {

/// The static files that the generated pages link to but do not write:
/// style sheet, images and the general pages of the product's help.
inline constexpr std::string_view kHelpAssets[] = {
    "style.css",        "logo.gif",        "bullet.gif",   "gettingstarted.html",
    "downloading.html", "installing.html", "running.html", "configuring.html"};

class HelpFolder {
 public:
  explicit HelpFolder(std::filesystem::path folder = "hlp");

  /// Creates the folder (and its parents) when missing. False, with the
  /// failure recorded, when it cannot be made.
  [[nodiscard]] bool Create();

  /// Writes `bytes` as the file `name` in the folder; a failure is recorded.
  void Write(std::string_view name, std::string_view bytes);

  /// Copies every file of kHelpAssets from `assets_dir` into the folder; a
  /// missing source or a failed copy is recorded.
  void CopyAssets(const std::filesystem::path& assets_dir);

  /// Records failures of others that write into the folder, one per line.
  void AddFailures(std::string_view lines);

  const std::filesystem::path& Path() const { return folder_; }
  bool Ok() const { return failures_.empty(); }
  /// One line per failure, naming the path ("Cannot write hlp/x.html: ...").
  const std::string& Failures() const { return failures_; }

 private:
  void Fail(std::string_view what, const std::filesystem::path& path, std::string_view reason);

  std::filesystem::path folder_;
  std::string failures_;
};

}  // namespace vossik
