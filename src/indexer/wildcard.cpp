#include "indexer/wildcard.h"

#include <cstddef>

namespace vossik {

bool matches(std::string_view pattern, std::string_view text, bool caseSensitive) {
  std::size_t p = 0;
  std::size_t t = 0;
  // Where to resume after the most recent star: a later star makes every
  // earlier one irrelevant, so remembering one is enough and the match stays
  // polynomial instead of trying every split.
  std::size_t starPattern = std::string_view::npos;
  std::size_t starText = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      const char pc = pattern[p];
      if (pc == '*') {
        starPattern = ++p;
        starText = t;
        continue;
      }
      if (pc == '?' || pc == text[t] ||
          (!caseSensitive && asciiLower(pc) == asciiLower(text[t]))) {
        ++p;
        ++t;
        continue;
      }
    }
    if (starPattern == std::string_view::npos) return false;
    p = starPattern;
    t = ++starText;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace vossik
