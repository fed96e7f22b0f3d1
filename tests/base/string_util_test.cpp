#include "base/string_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace vossik {
namespace {

TEST(TrimBlanks, DropsBlanksTabsAndLineEndsAtEitherEnd) {
  EXPECT_EQ("a b", TrimBlanks(" \t a b\r\n"));
  EXPECT_EQ("", TrimBlanks(" \t\r\n"));
  EXPECT_EQ("x", TrimBlanks("x"));
  EXPECT_EQ("\vx", TrimBlanks("\vx "));  // only the four blanks count
}

TEST(SplitTrimmed, DropsEmptyPieces) {
  EXPECT_EQ((std::vector<std::string>{"a", "b c", "d"}), SplitTrimmed(" a,, b c ;d;", ",;"));
  EXPECT_EQ(std::vector<std::string>{}, SplitTrimmed(" , ", ","));
}

TEST(ParseLeadingNumber, ReadsAsAtolWithoutOverflow) {
  EXPECT_EQ(1, ParseLeadingNumber("1,024"));
  EXPECT_EQ(-12, ParseLeadingNumber("-12abc"));
  EXPECT_EQ(5, ParseLeadingNumber(" 5"));
  EXPECT_EQ(7, ParseLeadingNumber("+7"));
  EXPECT_EQ(0, ParseLeadingNumber(""));
  EXPECT_EQ(0, ParseLeadingNumber("x1"));
  EXPECT_EQ(LONG_MAX, ParseLeadingNumber("99999999999999999999999"));
  EXPECT_EQ(LONG_MIN, ParseLeadingNumber("-99999999999999999999999"));
}

}  // namespace
}  // namespace vossik
