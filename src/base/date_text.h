// Dates and times of day written as the program shows them, and dates read
// back from any of the common written forms.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace vossik {

/// Appends "Mon, 7 Dec 2026" for a time above 0, broken down in UTC when
/// `utc` is set and in local time otherwise. Appends nothing for 0 or less.
void AppendDate(std::string& out, std::time_t when, bool utc);

/// Appends "10:20:30" (local) or "10:20:30 GMT" (UTC) for a time above 0.
void AppendTimeOfDay(std::string& out, std::time_t when, bool utc);

/// Reads a date in any of the common written forms ("Mon, 07 Dec 2026
/// 10:20:30", "12/25/03", "2003-12-25") as local time into seconds since
/// 1970. A missing year is the year of `now` (local time); a missing time
/// of day is midnight. 0 when it cannot be read or lies before 1970.
std::time_t ParseDate(std::string_view text, std::time_t now);

/// The minute of the day of a time written as the time control stores it
/// ("3:5", "23:59", "7h30"): hours, minutes and optional seconds split at
/// any of ":.; hmso". -1 when it is not a time of day (hours 0 to 23,
/// minutes 0 to 59).
int MinuteOfDay(std::string_view text);

/// ParseDate with the current time as the template.
std::time_t ParseDate(std::string_view text);

}  // namespace vossik
