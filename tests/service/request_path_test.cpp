#include "service/request_path.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

TEST(RequestPath, TakesTheActionAndTheParametersInOrder) {
  const RequestPath path =
      ParseRequestPath("/ACTION=GETLOG&password=499602D2AB%0ACD&log=Vossik&&lines=15&flag");
  EXPECT_EQ("GETLOG", path.action);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"password", "499602D2AB\nCD"}, {"log", "Vossik"}, {"lines", "15"}, {"flag", ""}};
  EXPECT_EQ(expected, path.parameters);
  EXPECT_EQ("Vossik", path.Find("log"));
  EXPECT_FALSE(path.Find("Log"));
}

TEST(RequestPath, NamesNoActionForOtherPaths) {
  for (const char* other : {"/", "/favicon.ico", "/action=GETSTATUS", "ACTION=GETSTATUS", ""}) {
    EXPECT_EQ("", ParseRequestPath(other).action) << other;
  }
  EXPECT_EQ("", ParseRequestPath("/ACTION=").action);
}

TEST(RequestPath, DecodesOnlyWholeEscapes) {
  EXPECT_EQ("a\nb", PercentDecoded("a%0Ab"));
  EXPECT_EQ("/..", PercentDecoded("%2F%2e%2E"));
  EXPECT_EQ("50%", PercentDecoded("50%"));
  EXPECT_EQ("%4", PercentDecoded("%4"));
  EXPECT_EQ("%zz+", PercentDecoded("%zz+"));
}

}  // namespace
}  // namespace vossik
