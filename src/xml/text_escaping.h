// Byte-wise text conversions shared by the framework: XML escaping and
// decoding, the quoting of setting values for the one-line configuration
// format, kilobyte sizes, and dates. Every function works on bytes; no
// character set is converted.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace vossik {

/// Appends `bytes` escaped for XML and HTML: tab, LF and CR as "&#9;",
/// "&#10;", "&#13;", other control bytes as a blank, the four markup
/// characters as entities, and bytes 127..255 as "&#N;".
void AppendEscaped(std::string& out, std::string_view bytes);

/// Appends `bytes` with "&lt;", "&gt;", "&amp;", "&quot;" and "&#N;" decoded.
void AppendDecoded(std::string& out, std::string_view bytes);

/// A text holding none of CR, LF, tab, '"' and '\' comes back unchanged;
/// otherwise it is enclosed in double quotes with those five backslash-escaped.
std::string QuoteValue(std::string_view text);

/// Undoes QuoteValue for a text of two or more bytes that begins and ends
/// with a double quote; any other text comes back unchanged.
std::string UnquoteValue(std::string_view text);

/// Appends a byte count as kilobytes: "1KB", "512KB", "4,882KB".
void AppendKilobytes(std::string& out, int32_t bytes);

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

/// ParseDate with the current time as the template.
std::time_t ParseDate(std::string_view text);

}  // namespace vossik
