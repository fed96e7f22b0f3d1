// The search page's search, in the terminal: reads the index built for the
// configured site and prints the best results in the order the search page
// shows them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace vossik {

class SettingsStore;
class XmlNode;

/// `text` as it may be printed on a terminal: every control byte, and every
/// C1 control in UTF-8, becomes "?", so that a title or file name cannot
/// send escape sequences.
std::string TerminalText(std::string_view text);

/// How many results the terminal search prints.
inline constexpr int kTerminalSearchResults = 10;

/// Searches the index in the configured output folder for `words` and prints
/// title, URL and summary of the top results to `out`, through
/// TerminalText. An index that a build left half published is first
/// finished (or its temporary files removed). Returns 0 when the
/// index could be read (also when nothing was found), 1 when it could not,
/// 2 without source or target folder.
[[nodiscard]] int RunTerminalSearch(const SettingsStore& settings, const XmlNode* descriptor,
                                    std::string_view words, std::ostream& out, std::ostream& err);

}  // namespace vossik
