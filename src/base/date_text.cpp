#include "base/date_text.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/ascii_case.h"
#include "base/string_util.h"

namespace vossik {
namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Punctuation that surrounds dates in mail headers, logs and web pages.
bool IsDateNoise(unsigned char c) {
  switch (c) {
    case ' ':
    case '-':
    case '+':
    case '=':
    case ':':
    case ';':
    case '<':
    case '>':
    case ',':
    case '.':
    case '?':
    case '/':
    case '@':
    case '#':
    case '~':
    case '\'':
    case '!':
    case '"':
    case '$':
    case '%':
    case '^':
    case '&':
    case '*':
    case '(':
    case ')':
    case 163:
    case '\r':
    case '\n':
    case '\t':
      return true;
    default:
      return false;
  }
}

std::string_view TrimDateNoise(std::string_view text) {
  while (!text.empty() && IsDateNoise(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && IsDateNoise(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool IsDateSeparator(char c) {
  return c == '-' || c == '/' || c == '\\' || c == ' ' || c == '.' || c == '(' || c == ')' ||
         c == 'T';
}

// The number a piece starts with, clamped so that absurd digit runs cannot
// overflow the date arithmetic.
long LeadingNumber(std::string_view text) {
  return std::clamp(ParseLeadingNumber(text), -100000000L, 100000000L);
}

int MonthOf(std::string_view piece) {
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    if (EqualsIgnoringCase(piece, kMonths[m])) return static_cast<int>(m) + 1;
  }
  for (std::size_t m = 0; m < kMonthNames.size(); ++m) {
    if (EqualsIgnoringCase(piece, kMonthNames[m])) return static_cast<int>(m) + 1;
  }
  return 0;
}

bool BreakDown(std::time_t when, bool utc, std::tm* out) {
  return (utc ? gmtime_r(&when, out) : localtime_r(&when, out)) != nullptr;
}

}  // namespace

void AppendDate(std::string& out, std::time_t when, bool utc) {
  std::tm tm{};
  if (when <= 0 || !BreakDown(when, utc, &tm)) return;
  out += kWeekdays[static_cast<std::size_t>(tm.tm_wday)];
  out += ", " + std::to_string(tm.tm_mday) + " " + kMonths[static_cast<std::size_t>(tm.tm_mon)] +
         " " + std::to_string(tm.tm_year + 1900L);
}

void AppendTimeOfDay(std::string& out, std::time_t when, bool utc) {
  std::tm tm{};
  if (when <= 0 || !BreakDown(when, utc, &tm)) return;
  auto two_digits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  out += std::to_string(tm.tm_hour) + ":" + two_digits(tm.tm_min) + ":" + two_digits(tm.tm_sec);
  if (utc) out += " GMT";
}

int MinuteOfDay(std::string_view text) {
  int parts[2] = {-1, -1};
  int found = 0;
  std::size_t i = 0;
  while (i < text.size() && found < 2) {
    if (text[i] < '0' || text[i] > '9') {
      if (std::string_view(":.; hmso").find(text[i]) == std::string_view::npos) return -1;
      ++i;
      continue;
    }
    int value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3; ++i, ++digits) {
      value = value * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') return -1;
    parts[found++] = value;
  }
  if (found == 0) return -1;
  const int hours = parts[0];
  const int minutes = found > 1 ? parts[1] : 0;
  if (hours > 23 || minutes > 59) return -1;
  return hours * 60 + minutes;
}

std::time_t ParseDate(std::string_view text, std::time_t now) {
  text = TrimDateNoise(text);
  if (text.empty()) return 0;
  for (const char* weekday : kWeekdays) {
    if (text.starts_with(weekday)) {
      text = TrimDateNoise(text.substr(3));
      if (text.empty()) return 0;
      break;
    }
  }
  if (text.starts_with("US")) text.remove_prefix(2);

  std::vector<std::string_view> pieces;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsDateSeparator(text[i])) {
      if (i > begin) pieces.push_back(text.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  if (pieces.size() < 2) return 0;

  long time_piece = -1;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].find(':') != std::string_view::npos) time_piece = static_cast<long>(i);
  }
  long zone_piece = -1;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (static_cast<long>(i) != time_piece &&
        pieces[i].find_first_of("+-") != std::string_view::npos) {
      zone_piece = static_cast<long>(i);
    }
  }

  std::tm tm{};
  if (localtime_r(&now, &tm) == nullptr) return 0;

  std::vector<long> numbers;
  int month_name = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (static_cast<long>(i) == time_piece || static_cast<long>(i) == zone_piece) continue;
    const long number = LeadingNumber(pieces[i]);
    if (number != 0) {
      numbers.push_back(number);
    } else if (month_name == 0) {
      month_name = MonthOf(pieces[i]);
    }
  }

  // Which number is the day, the month and the year is guessed from their
  // sizes: a value above 31 can only be a year, one above 12 no month.
  const long d = numbers.size() > 0 ? numbers[0] : 0;
  const long e = numbers.size() > 1 ? numbers[1] : 0;
  const long f = numbers.size() > 2 ? numbers[2] : tm.tm_year;
  const long y0 = tm.tm_year - 100L;
  long month = 0;
  long day = 0;
  long year = 0;
  const bool year_first = (f > 12 && y0 < e && d <= 30) || (f < 32 && d >= 32);
  if (month_name == 0) {
    if (d > 12) {
      if (e <= 12 && f >= 32) {
        month = e, day = d, year = f;
      } else if (year_first) {
        month = e, day = f, year = d;
      } else {
        month = d, day = e, year = f;
      }
    } else if ((e <= 12 || f < 32) && year_first) {
      month = e, day = f, year = d;
    } else {
      month = d, day = e, year = f;
    }
  } else {
    month = month_name, day = d, year = e;
    if ((d < 32 && e < 32 && y0 < e) || (d >= 32 && e < 32) || (d >= 32 && e >= 32 && y0 < e)) {
      day = e, year = d;
    }
  }
  if (month > 12 && day <= 12) std::swap(month, day);

  // Four-digit years count from 0, two-digit ones pivot at 70; everything
  // else is taken as counted from 1900 already.
  if (year >= 1900) {
    year -= 1900;
  } else if (year < 70) {
    year += 100;
  }

  long hours = 0;
  long minutes = 0;
  long seconds = 0;
  if (time_piece >= 0) {
    const std::string_view clock = pieces[static_cast<std::size_t>(time_piece)];
    hours = LeadingNumber(clock);
    const std::size_t first = clock.find(':');
    minutes = LeadingNumber(clock.substr(first + 1));
    const std::size_t second = clock.find(':', first + 1);
    if (second != std::string_view::npos) seconds = LeadingNumber(clock.substr(second + 1));
    if (zone_piece >= 0) hours += LeadingNumber(pieces[static_cast<std::size_t>(zone_piece)]) / 100;
  }

  tm.tm_sec = static_cast<int>(seconds);
  tm.tm_min = static_cast<int>(minutes);
  tm.tm_hour = static_cast<int>(hours);
  tm.tm_mday = static_cast<int>(day);
  tm.tm_mon = static_cast<int>(month - 1);
  tm.tm_year = static_cast<int>(year);
  // The template's daylight-saving flag belongs to today, not to the date read.
  tm.tm_isdst = -1;
  const std::time_t result = std::mktime(&tm);
  return result < 0 ? 0 : result;
}

std::time_t ParseDate(std::string_view text) { return ParseDate(text, std::time(nullptr)); }

}  // namespace vossik
