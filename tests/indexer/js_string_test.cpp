#include "indexer/js_string.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

TEST(JsStringContent, EscapesOnlyWhatEndsOrBreaksALiteral) {
  const struct {
    std::string_view text;
    std::string_view expected;
  } rows[] = {
      {"", ""},
      {"plain caf\xE9 'x' <b>", "plain caf\xE9 'x' <b>"},
      {"C:\\site\\search", "C:\\\\site\\\\search"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"one\r\ntwo\n", "one\\r\\ntwo\\n"},
      {"\\\"", "\\\\\\\""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, JsStringContent(row.text)) << row.text;
  }
}

TEST(JsStringContent, AppendKeepsWhatIsThere) {
  std::string out = "\"";
  AppendJsStringContent(out, "a\"b");
  EXPECT_EQ("\"a\\\"b", out);
}

}  // namespace
}  // namespace vossik
