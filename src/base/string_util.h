// The small text rules the whole program shares: trimming, splitting and
// reading the number a text begins with. Every function works on bytes and
// ignores the locale.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

/// `text` without the blanks, tabs, carriage returns and line feeds at either end.
std::string_view TrimBlanks(std::string_view text);

/// The pieces of `text` between the bytes of `separators`, each trimmed of
/// blanks; empty pieces are dropped.
std::vector<std::string> SplitTrimmed(std::string_view text, std::string_view separators);

/// The number `text` begins with, as atol reads it: white space, an optional
/// sign, then decimal digits; 0 when there are none. Saturates at the limits
/// of long instead of overflowing.
[[nodiscard]] long ParseLeadingNumber(std::string_view text);

}  // namespace vossik
