#include "indexer/js_array_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vossik {
namespace {

// The items of an array as text: strings in brackets, numbers bare, and
// "!" when the reader stopped on an error.
std::string Items(std::string_view text) {
  JsArrayReader reader(text);
  if (!reader.OpenArray()) return "no array";
  std::string out;
  std::string string;
  long number = 0;
  for (;;) {
    switch (reader.Next(&string, &number)) {
      case JsArrayReader::Item::kString:
        out += "[" + string + "]";
        break;
      case JsArrayReader::Item::kNumber:
        out += std::to_string(number) + " ";
        break;
      case JsArrayReader::Item::kEnd:
        return out;
      case JsArrayReader::Item::kError:
        return out + "!";
    }
  }
}

TEST(JsArrayReader, ReadsStringsAndNumbersAsTheBrowserHasThem) {
  const struct {
    std::string_view text;
    std::string expected;
  } rows[] = {
      {"fnIJ(g_asIndex,[\"dog\",1,2,\"th\",3]);", "[dog]1 2 [th]3 "},
      {"g_asPages=[ \"a\" , \"b\" ,\r\n\"c\" ];", "[a][b][c]"},
      {"[]", ""},
      {"[1,]", "1 "},
      {"x=[-4, 12345678901234]", "-4 1234567890 "},  // past any page, not exact
      {R"([" \" \\ \/ \' \q "])", "[ \" \\ / ' q ]"},
      {R"(["\n\r\t\b\f\v"])", "[\n\r\t\b\f\v]"},
      {R"(["\x41\xe9"])", "[A\xC3\xA9]"},  // \xe9 is U+00E9
      {R"(["\u00e9\u20AC\u{1F600}"])", "[\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80]"},
      {R"(["\uD83D\uDE00|\uD800|\uDC00"])", "[\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD]"},
      {"[\"caf\xC3\xA9\"]", "[caf\xC3\xA9]"},  // raw UTF-8 is kept
      {"[\"one\\\r\ntwo\"]", "[onetwo]"},      // line continuation
      {"[\"open", "!"},
      {"[\"line\nbreak\"]", "!"},
      {R"(["\x4"])", "!"},
      {R"(["\u{}"])", "!"},
      {R"(["\u{110000}"])", "!"},
      {"[\"a\",,1]", "[a]!"},
      {"[\"a\",x]", "[a]!"},
      {"[1,2", "1 2 !"},
      {"no array here", "no array"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.expected, Items(row.text)) << row.text;
}

}  // namespace
}  // namespace vossik
