#include "indexer/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace vossik {
namespace {

TEST(Wildcard, MatchesWholeTextWithStarAndQuestionMark) {
  struct Row {
    const char* pattern;
    const char* text;
    bool case_sensitive;
    bool expected;
  };
  const Row rows[] = {
      {"*.htm*", "/site/page.html", false, true},
      {"*.htm*", "/site/page.txt", false, false},
      {"*", "", false, true},
      {"", "", false, true},
      {"", "a", false, false},
      {"a*", "a", false, true},
      {"?", "", false, false},
      {"?", "x", false, true},
      {"a?c", "abc", false, true},
      {"a?c", "ac", false, false},
      {"abc", "abcd", false, false},
      {"*index*.js", "/docs/vkindex1f.js", false, true},
      {"*index*.js", "/docs/index.json", false, false},
      {"*/VKINDEX*", "/a/vkindex/b", false, true},
      {"*/VKINDEX*", "/a/vkindex/b", true, false},
      {"*a*b*c", "xaybzc", false, true},
      {"*a*b*c", "xaybzcd", false, false},
      {"*ab", "aab", false, true},
      {"**?", "", false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, Matches(row.pattern, row.text, row.case_sensitive))
        << row.pattern << " / " << row.text;
  }
}

TEST(Wildcard, ManyStarsStayFast) {
  // Trying every split of 30 stars over this text would never finish.
  const std::string pattern = std::string(30, '*') + std::string(30, 'a') + "b";
  const std::string text(5000, 'a');
  EXPECT_FALSE(Matches(pattern, text, false));
}

}  // namespace
}  // namespace vossik
