// HelpGenerator writes the program's help from the configuration descriptor
// into the folder "hlp" below the current directory: the guide to the
// settings window (a page per sheet and per settings page), for the
// administration guide the configuration file reference, and in the help
// project run also the welcome page, contents, keyword index and project
// file of an HTML Help project. Every run copies the static help assets
// (style sheet, images, general pages) beside the pages, so every link of
// the help leads to a file that exists.
//
// The generator reads the descriptor tree, which must outlive it, and does
// not change it. Not thread-safe; runs are independent of each other.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "base/product_identity.h"
#include "helpgen/guide_wording.h"

namespace vossik {

class XmlNode;

/// Draws the pictures the pages name (see help_images_qt.h) into `folder`;
/// false with one line per failure in `error`.
using HelpImageWriter = std::function<bool(const XmlNode* root, const std::filesystem::path& folder,
                                           std::string* error)>;

class HelpGenerator {
 public:
  /// `root` is the descriptor root (nullptr: nothing to document);
  /// `assets_dir` holds the files of kHelpAssets (helpgen/help_folder.h);
  /// `build_time` is the date the footers show (the caller passes the
  /// current time).
  HelpGenerator(const XmlNode* root, ProductIdentity identity, std::filesystem::path assets_dir,
                std::time_t build_time);

  /// Called after the pages are written; without one the pictures are left out.
  void SetImageWriter(HelpImageWriter writer) { image_writer_ = std::move(writer); }

  /// One run: `project_run` false for -generatehtml, true for
  /// -generatehtmlhelp (which adds the welcome page, contents, keyword index
  /// and project file). `administration_guide` chooses the administration
  /// guide, which also carries the configuration reference, over the user
  /// guide. `help_base_name` names the project file and the compiled help.
  ///
  /// Returns 0 on success, also when there is no descriptor root (nothing is
  /// written then). Returns -3 when the folder "hlp" cannot be created or a
  /// file cannot be written or copied; `error` (when given) then receives one
  /// line per failure naming the path. The other files are still written.
  [[nodiscard]] int Generate(bool project_run, bool administration_guide,
                             std::string_view help_base_name, std::string* error);

  /// The same run with the guide kind of GuideKindFor.
  [[nodiscard]] int Generate(bool project_run, std::string_view help_base_name, std::string* error);

  /// Administration for the plain run; for the project run the
  /// administration guide when the identity's documentation flag is set,
  /// else the user guide.
  static GuideKind GuideKindFor(bool project_run, const ProductIdentity& identity);

 private:
  const XmlNode* root_;
  ProductIdentity identity_;
  std::filesystem::path assets_dir_;
  std::time_t build_time_;
  HelpImageWriter image_writer_;
};

}  // namespace vossik
