#include "helpgen/help_topic.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

TEST(HelpTopic, PathNamesTheGuidePageOfSheetAndPage) {
  const struct {
    const char* sheet;
    const char* page;
    const char* expected;
  } cases[] = {
      {"General", "main", "hlp/admin-General-main.html"},
      {"General", "", "hlp/admin-General.html"},
      {"", "main", "hlp/admin-main.html"},
      {"", "", "hlp/admin-index.html"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, HelpTopicPath("vossik", c.sheet, c.page)) << c.sheet << c.page;
}

}  // namespace
}  // namespace vossik
