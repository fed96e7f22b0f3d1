// The wildcard matcher used for file patterns and robots.txt agents: "*"
// matches any run of bytes (also none), "?" exactly one byte, every other
// byte itself. The pattern must cover the whole text. Case is ignored for
// the letters A to Z only: pages and paths are single-byte text in no
// particular code page.
#pragma once

#include <cstddef>
#include <string_view>

namespace vossik {

/// The byte with A to Z turned into a to z; every other byte unchanged.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// Whether `text` begins with `lowerPrefix` (given in lower case), ignoring
/// the case of A to Z.
inline bool StartsWithIgnoringCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    if (AsciiLower(text[i]) != lower_prefix[i]) return false;
  }
  return true;
}

/// Whether `pattern` matches all of `text`. Runs in O(pattern x text) at
/// worst, however many stars the pattern holds.
bool Matches(std::string_view pattern, std::string_view text, bool case_sensitive);

}  // namespace vossik
