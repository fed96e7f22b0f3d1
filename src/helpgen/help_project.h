// The files of the help project that hold the pages together: the project
// file for the HTML Help compiler, the welcome page, the keyword index file
// and the contents entries of the product's own documentation.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "helpgen/guide_wording.h"

namespace vossik {

class HelpContents;
class KeywordIndex;
struct ProductIdentity;

/// The ".hhp" project file naming the compiled file, contents, index and title.
std::string HelpProjectFile(std::string_view help_base_name, std::string_view product_name);

/// The welcome page "default.htm". The link to the configuration reference
/// is offered only when `with_configuration` (the run writes the reference).
std::string HelpWelcomePage(const ProductIdentity& identity, std::string_view help_base_name,
                            const GuideWording& wording, bool with_configuration,
                            std::string_view footer);

/// The contents entries every project has: the welcome page and the general
/// pages that come with the help assets.
void AddFixedContents(HelpContents* contents);

/// Adds a folder per `group` of the `documentation`/`pages` element of the
/// XML file `piml` (the product's own pages); nothing when it cannot be read.
void AddProductDocumentation(const std::filesystem::path& piml, HelpContents* contents);

/// The "Index.hhk" file listing every keyword with the pages it appears on.
std::string KeywordIndexFile(const KeywordIndex& keywords, std::string_view footer);

}  // namespace vossik
