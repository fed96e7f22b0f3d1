#include "settings/value_quoting.h"

#include <gtest/gtest.h>

#include <string>

namespace vossik {
namespace {

TEST(QuoteValue, QuotesOnlyWhenNeededAndRoundTrips) {
  EXPECT_EQ("plain value", QuoteValue("plain value"));
  EXPECT_EQ("\"C:\\\\web\"", QuoteValue("C:\\web"));
  EXPECT_EQ("\"a\\tb\\nc\\rd\\\"e\"", QuoteValue("a\tb\nc\rd\"e"));
  for (std::string_view value : {"C:\\web", "two\r\nlines", "say \"hi\"\t\\", "\\"}) {
    EXPECT_EQ(value, UnquoteValue(QuoteValue(value))) << value;
  }
}

TEST(UnquoteValue, LeavesUnquotedTextAlone) {
  EXPECT_EQ("C:\\web", UnquoteValue("C:\\web"));
  EXPECT_EQ("\"", UnquoteValue("\""));
  EXPECT_EQ("\"open", UnquoteValue("\"open"));
  EXPECT_EQ("", UnquoteValue("\"\""));
}

TEST(UnquoteValue, DropsBareQuotesAndResolvesEscapes) {
  EXPECT_EQ("ab", UnquoteValue("\"a\"b\""));
  EXPECT_EQ("x", UnquoteValue("\"\\x\""));
  // The backslash before the closing quote escapes it; nothing past the end is read.
  EXPECT_EQ("abc\"", UnquoteValue("\"abc\\\""));
  EXPECT_EQ("\"", UnquoteValue("\"\\\""));
}

}  // namespace
}  // namespace vossik
