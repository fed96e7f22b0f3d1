#include "widgets/grid_rules.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/ascii_case.h"
#include "base/date_text.h"
#include "base/size_text.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

constexpr long kSecondsPerDay = 86400;
constexpr int kBarMargin = 30;
constexpr int kFirstColumnMargin = 4;
constexpr int kColumnMargin = 12;
constexpr std::string_view kEllipsis = "...";

// `length` moved back to the start of a UTF-8 sequence, so that a cut
// never leaves half a character.
std::size_t CharacterStart(std::string_view text, std::size_t length) {
  while (length > 0 && length < text.size() &&
         (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    --length;
  }
  return length;
}

int Sign(long long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

}  // namespace

ColumnKind ColumnKindFromSort(const std::string* sort) {
  if (sort == nullptr) return ColumnKind::kText;
  if (EqualsIgnoringCase(*sort, "alphanumerical")) return ColumnKind::kAlphanumerical;
  if (EqualsIgnoringCase(*sort, "numerical")) return ColumnKind::kNumerical;
  if (EqualsIgnoringCase(*sort, "date")) return ColumnKind::kDate;
  if (EqualsIgnoringCase(*sort, "time")) return ColumnKind::kTime;
  if (EqualsIgnoringCase(*sort, "size")) return ColumnKind::kSize;
  return ColumnKind::kText;
}

long LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Saturates instead of overflowing on absurdly long digit runs.
  constexpr long kMost = std::numeric_limits<long>::max() / 10 - 9;
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kMost) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int CompareCells(ColumnKind kind, std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return Sign(static_cast<long long>(a.empty()) - b.empty());
  switch (kind) {
    case ColumnKind::kText:
    case ColumnKind::kAlphanumerical:
      return CompareIgnoringCase(a, b);
    case ColumnKind::kNumerical:
    case ColumnKind::kDate:
    case ColumnKind::kSize:
      return Sign(static_cast<long long>(LeadingNumber(a)) - LeadingNumber(b));
    case ColumnKind::kTime:
      return Sign(static_cast<long long>(LeadingNumber(a) % kSecondsPerDay) -
                  LeadingNumber(b) % kSecondsPerDay);
  }
  return 0;
}

int LevelColourIndex(long value, const LevelThresholds& thresholds) {
  for (int i = 0; i < 4; ++i) {
    if (value <= thresholds[static_cast<std::size_t>(i)]) return i;
  }
  return 4;
}

int LevelBarWidth(long value, int grid_width) {
  const long long width = static_cast<long long>(value) * (grid_width - kBarMargin) / 100;
  return static_cast<int>(std::clamp<long long>(width, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

std::string CellDisplayText(ColumnKind kind, std::string_view text) {
  if (kind != ColumnKind::kDate && kind != ColumnKind::kTime && kind != ColumnKind::kSize) {
    return std::string(text);
  }
  const long number = LeadingNumber(text);
  std::string shown;
  if (number == 0) return shown;
  if (kind == ColumnKind::kDate) {
    AppendDate(shown, static_cast<std::time_t>(number), false);
  } else if (kind == ColumnKind::kTime) {
    AppendTimeOfDay(shown, static_cast<std::time_t>(number), false);
  } else {
    AppendKilobytes(
        shown, static_cast<int32_t>(std::clamp<long>(number, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max())));
  }
  return shown;
}

int TextRoom(int column, int cell_width) {
  return cell_width - (column == 0 ? kFirstColumnMargin : kColumnMargin);
}

std::string ShortenToFit(std::string_view text, int room,
                         const std::function<int(std::string_view)>& width_of) {
  if (width_of(text) <= room) return std::string(text);
  // The widths of the starts grow with their length, so the longest start
  // that fits is found by halving.
  std::size_t fits = 0;
  std::size_t too_long = text.size();
  while (too_long - fits > 1) {
    const std::size_t middle = fits + (too_long - fits) / 2;
    std::string candidate(text.substr(0, CharacterStart(text, middle)));
    candidate += kEllipsis;
    if (width_of(candidate) <= room) {
      fits = middle;
    } else {
      too_long = middle;
    }
  }
  std::string shortened(text.substr(0, CharacterStart(text, fits)));
  shortened += kEllipsis;
  return shortened;
}

void AppendSelectionXml(std::string& out, const std::vector<std::string>& data_names,
                        const std::vector<std::vector<std::string>>& rows) {
  if (rows.empty()) return;
  out += "<selection>";
  for (const std::vector<std::string>& row : rows) {
    out += "<entry>";
    for (std::size_t column = 0; column < data_names.size(); ++column) {
      out += "<" + data_names[column] + ">";
      if (column < row.size()) AppendEscaped(out, row[column]);
      out += "</" + data_names[column] + ">";
    }
    out += "</entry>\r\n";
  }
  out += "</selection>";
}

}  // namespace vossik
