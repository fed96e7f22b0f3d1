#include "xml/text_escaping.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vossik {
namespace {

std::string Escaped(std::string_view bytes) {
  std::string out;
  AppendEscaped(out, bytes);
  return out;
}

std::string Decoded(std::string_view bytes) {
  std::string out;
  AppendDecoded(out, bytes);
  return out;
}

TEST(AppendEscaped, WritesEntitiesAndBlanksControlBytes) {
  EXPECT_EQ("a&#9;&lt;&#200; ", Escaped(std::string_view("a\t<\xC8\x01", 5)));
  EXPECT_EQ("&#10;&#13;&quot;&amp;&gt;", Escaped("\n\r\"&>"));
  EXPECT_EQ("~&#127;&#255;", Escaped("~\x7F\xFF"));
  EXPECT_EQ(" x", Escaped(std::string_view("\0x", 2)));
}

TEST(AppendEscaped, AppendsToWhatIsThere) {
  std::string out = "<a>";
  AppendEscaped(out, "&");
  EXPECT_EQ("<a>&amp;", out);
}

TEST(AppendDecoded, DecodesEntitiesOnce) {
  EXPECT_EQ("x &lt; y A z &q", Decoded("x &amp;lt; y &#65; z &q"));
  EXPECT_EQ("<>\"&", Decoded("&lt;&gt;&quot;&amp;"));
  EXPECT_EQ("AB", Decoded("&#65B"));           // the ";" after the digits is optional
  EXPECT_EQ("A", Decoded("&#321;"));           // taken modulo 256
  EXPECT_EQ("&#x41;", Decoded("&#x41;"));      // no decimal digits: copied
  EXPECT_EQ("&unknown;", Decoded("&unknown;"));
}

TEST(AppendDecoded, StaysInsideTheInputNearItsEnd) {
  // An entity cut off by the end of the input is copied, never completed
  // from bytes beyond it.
  const std::string buffer = "&amp;";
  EXPECT_EQ("&am", Decoded(std::string_view(buffer).substr(0, 3)));
  EXPECT_EQ("&amp", Decoded(std::string_view(buffer).substr(0, 4)));
  EXPECT_EQ("&quo", Decoded("&quo"));
  EXPECT_EQ("&#1", Decoded("&#1"));
  EXPECT_EQ(std::string(1, '\x07'), Decoded("&#07"));
  EXPECT_EQ("&", Decoded("&"));
}

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

TEST(AppendKilobytes, WritesOneThousandsSeparatorAtMost) {
  struct Row {
    int32_t bytes;
    const char* expected;
  };
  for (const Row& row : {Row{0, "1KB"}, Row{1023, "1KB"}, Row{1024, "1KB"}, Row{524288, "512KB"},
                         Row{1536000, "1,500KB"}, Row{1034240, "1,010KB"}, Row{1026048, "1,002KB"},
                         Row{1126400, "1,100KB"}, Row{5000000, "4,882KB"},
                         Row{1024000000, "1000,000KB"}}) {
    std::string out;
    AppendKilobytes(out, row.bytes);
    EXPECT_EQ(row.expected, out) << row.bytes;
  }
}

// Runs each test under a fixed time zone, whatever the machine's is.
class InTimeZone : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    Use("UTC0");
  }
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  static void Use(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
  static std::time_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
  }

 private:
  std::optional<std::string> saved_;
};

using DateText = InTimeZone;

TEST_F(DateText, AppendsDateAndTimeOfDay) {
  std::string out;
  AppendDate(out, Utc(2026, 12, 7, 10, 20, 30), true);
  out += ' ';
  AppendTimeOfDay(out, Utc(2026, 12, 7, 10, 20, 30), true);
  EXPECT_EQ("Mon, 7 Dec 2026 10:20:30 GMT", out);

  out.clear();
  AppendTimeOfDay(out, Utc(2001, 9, 9, 9, 5, 3), false);
  EXPECT_EQ("9:05:03", out);
}

TEST_F(DateText, AppendsNothingForTimesUpToZero) {
  std::string out;
  AppendDate(out, 0, true);
  AppendDate(out, -5, false);
  AppendTimeOfDay(out, 0, true);
  EXPECT_EQ("", out);
}

TEST_F(DateText, ParsesCommonForms) {
  const std::time_t now = Utc(2026, 3, 15, 12, 34, 56);
  struct Row {
    const char* text;
    std::time_t expected;
  };
  for (const Row& row : {
           Row{"Mon, 07 Dec 2026 10:20:30", Utc(2026, 12, 7, 10, 20, 30)},
           Row{"12/25/03", Utc(2003, 12, 25)},
           Row{"2003-12-25", Utc(2003, 12, 25)},
           Row{"25.12.2003", Utc(2003, 12, 25)},
           Row{"2003-12-25T08:05", Utc(2003, 12, 25, 8, 5)},
           Row{"Thu, 25 December 2003 08:05:09 GMT", Utc(2003, 12, 25, 8, 5, 9)},
           Row{"dec 25 2003", Utc(2003, 12, 25)},
           Row{"2003 Dec 25", Utc(2003, 12, 25)},
           Row{"(12/25)", Utc(2026, 12, 25)},  // the year comes from the template
           Row{"1970-01-02", Utc(1970, 1, 2)},
       }) {
    EXPECT_EQ(row.expected, ParseDate(row.text, now)) << row.text;
  }
}

TEST_F(DateText, ReadsNothingFromUnreadableText) {
  const std::time_t now = Utc(2026, 3, 15);
  for (const char* text : {"", "  ---  ", "\xA3", "Mon, ", "Sun", "2003", "1960-01-01"}) {
    EXPECT_EQ(0, ParseDate(text, now)) << text;
  }
}

TEST_F(DateText, ParsedDateTakesItsOwnDaylightSavingTime) {
  // A summer template must not shift a winter date by the summer hour.
  Use("CET-1CEST,M3.5.0,M10.5.0/3");
  const std::time_t summer = Utc(2026, 7, 1, 12);
  EXPECT_EQ(Utc(2003, 12, 24, 23), ParseDate("2003-12-25", summer));
  EXPECT_EQ(Utc(2003, 6, 24, 22), ParseDate("2003-06-25", Utc(2026, 1, 1)));
}

}  // namespace
}  // namespace vossik
