// Case-insensitive comparison as the whole program means it: only the
// letters A to Z have another case; every other byte, UTF-8 included, is
// compared as it is, whatever locale the process runs in.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// `text` with A to Z lower-cased.
inline std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

/// Whether `text` begins with `lower_prefix` (given in lower case) when A to
/// Z are lower-cased.
inline bool StartsWithIgnoringCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    if (AsciiLower(text[i]) != lower_prefix[i]) return false;
  }
  return true;
}

/// Whether `a` and `b` are equal when A to Z are lower-cased.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace vossik
