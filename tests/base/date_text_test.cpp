#include "base/date_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vossik {
namespace {

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
  static std::time_t Utc(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0) {
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

TEST(MinuteOfDay, ReadsTheTimeControlsForms) {
  const struct {
    const char* text;
    int minute;
  } cases[] = {
      {"3:0", 180}, {"23:59", 1439}, {"03:05", 185}, {"7h30", 450}, {"12.15.30", 735},
      {"0:0", 0},   {"9", 540},      {"24:00", -1},  {"12:60", -1}, {"", -1},
      {"noon", -1}, {"1234:5", -1},  {"-1:00", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MinuteOfDay(c.text), c.minute) << c.text;
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
