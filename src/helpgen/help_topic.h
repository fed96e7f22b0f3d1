// Where the settings window finds the help page of the sheet and page it
// shows: the pages lie loose in the folder "hlp".
#pragma once

#include <string>
#include <string_view>

namespace vossik {

/// "hlp/admin-SHEET-PAGE.html" when both the sheet name and the page uid
/// are given (not empty), "hlp/admin-X.html" with the one that is given,
/// and the guide index "hlp/admin-index.html" with neither. The help base
/// name names the compiled help file where the pages are compiled into
/// one; loose pages need no file name, so it does not enter the path.
std::string HelpTopicPath(std::string_view help_base_name, std::string_view sheet_name,
                          std::string_view page_uid);

}  // namespace vossik
