#include "indexer/wildcard.h"

#include <cstddef>

#include "base/ascii_case.h"

namespace vossik {

bool Matches(std::string_view pattern, std::string_view text, bool case_sensitive) {
  std::size_t p = 0;
  std::size_t t = 0;
  // Where to resume after the most recent star: a later star makes every
  // earlier one irrelevant, so remembering one is enough and the match stays
  // polynomial instead of trying every split.
  std::size_t star_pattern = std::string_view::npos;
  std::size_t star_text = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      const char pc = pattern[p];
      if (pc == '*') {
        star_pattern = ++p;
        star_text = t;
        continue;
      }
      if (pc == '?' || pc == text[t] ||
          (!case_sensitive && AsciiLower(pc) == AsciiLower(text[t]))) {
        ++p;
        ++t;
        continue;
      }
    }
    if (star_pattern == std::string_view::npos) return false;
    p = star_pattern;
    t = ++star_text;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace vossik
