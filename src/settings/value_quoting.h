// The quoting of setting values, so that any text survives the
// configuration file's one-line "key=value" format.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

/// A text holding none of CR, LF, tab, '"' and '\' comes back unchanged;
/// otherwise it is enclosed in double quotes with those five backslash-escaped.
std::string QuoteValue(std::string_view text);

/// Undoes QuoteValue for a text of two or more bytes that begins and ends
/// with a double quote; any other text comes back unchanged.
std::string UnquoteValue(std::string_view text);

}  // namespace vossik
