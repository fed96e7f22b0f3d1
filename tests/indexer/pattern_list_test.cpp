#include "indexer/pattern_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vossik {
namespace {

TEST(PatternList, WidensWildcardItemsAndLowerCasesAll) {
  const PatternList list({"*.HTM", "Draft*", "*tmp*", "a?c", "/Site/Private", "*.htm + *news*"});
  const std::vector<std::string> expected = {"*.htm*", "*draft*",       "*tmp*",
                                             "*a?c*",  "/site/private", "*.htm + *news*"};
  EXPECT_EQ(expected, list.Items());
}

TEST(PatternList, MatchReturnsFirstMatchingItem) {
  const PatternList list({"*.htm", "", "/site/private", "*draft*", "/site", "*.htm + *news*"});
  struct Row {
    const char* text;
    int expected;
  };
  const Row rows[] = {
      {"/web/page.html", 0},  // widened, so .html matches too
      {"/other/page.htm.bak", 0},
      {"/SITE/Private/a.txt", 2},  // plain items are prefixes, ignoring case
      {"/site/private", 2},
      {"/site/privat", 4},
      {"/site/draft.txt", 4},  // plain items come before wildcards
      {"/other/draft.txt", 3},
      {"/other/readme.txt", -1},
      {"", -1},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, list.Match(row.text)) << row.text;
}

TEST(PatternList, PlusJoinedPartsMustAllMatch) {
  const PatternList list({"*.htm* + *news*"});
  EXPECT_EQ(0, list.Match("/site/news/a.html"));
  EXPECT_EQ(-1, list.Match("/site/docs/a.html"));
  EXPECT_EQ(-1, list.Match("/site/news/a.txt"));
}

TEST(PatternList, EmptyList) {
  const PatternList list({});
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(-1, list.Match("/site/a.html"));
}

}  // namespace
}  // namespace vossik
