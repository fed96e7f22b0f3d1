// The two kinds of guide the generator writes about the settings window and
// the words that differ between them. The administration guide also carries
// the configuration file reference.
#pragma once

#include <string_view>

namespace vossik {

enum class GuideKind { kAdministration, kUser };

struct GuideWording {
  std::string_view guide_name;          // follows the product name in page titles
  std::string_view index_title_suffix;  // title of the guide index page
  std::string_view running_head_suffix;
  std::string_view contents_folder;    // the guide's folder line in the contents
  std::string_view welcome_link_text;  // closes the guide link of the welcome page
};

constexpr GuideWording WordingOf(GuideKind kind) {
  if (kind == GuideKind::kAdministration) {
    return {" Administration Guide", " Administration Guide Index",
            "&nbsp;Administration&nbsp;Guide", "<param name=\"Name\" value=\"Administration\">",
            "Administration using the Windows Graphical User Interface</A>"};
  }
  return {" User Guide", " User Guide Index", "&nbsp;User&nbsp;Guide",
          "<param name=\"Name\" value=\"User Guide\">", "The User Interface</A>"};
}

}  // namespace vossik
