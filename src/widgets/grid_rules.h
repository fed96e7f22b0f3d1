// The report grid's rules that need no window: how a column's `sort`
// attribute names its kind, how two cells compare, how a level value picks
// its colour and the length of its bar, how date, time and size cells are
// written, how a text too wide for its cell is shortened with "...", and how
// selected rows are handed back as XML. ReportGrid (report_grid.h) draws and
// sorts with them; they are kept apart so that they can be checked one case
// at a time.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

/// What a column holds, which decides how it sorts and how it is shown.
enum class ColumnKind { kText, kAlphanumerical, kNumerical, kDate, kTime, kSize };

/// The kind named by a `sort` attribute ("numerical", any case); text for
/// no attribute or a name it does not know.
ColumnKind ColumnKindFromSort(const std::string* sort);

/// The decimal number a text begins with, after leading blanks and an
/// optional sign; 0 when it begins with none.
long LeadingNumber(std::string_view text);

/// Below, equal or above zero as `a` sorts before, with or after `b` in
/// ascending order. Text kinds compare without regard to case; numbers,
/// dates and sizes by their leading numbers; times by the second of the day
/// (the leading number modulo 86400). An empty cell sorts after every
/// filled one, and two empty cells are equal.
int CompareCells(ColumnKind kind, std::string_view a, std::string_view b);

/// The level thresholds T1 to T4.
using LevelThresholds = std::array<long, 4>;
/// The thresholds a `levels` element starts with.
inline constexpr LevelThresholds kDefaultThresholds = {25, 50, 75, 100};

/// The colour number 0 to 4 of level `value`: 0 up to T1, 1 up to T2, 2 up
/// to T3, 3 up to T4, 4 above.
int LevelColourIndex(long value, const LevelThresholds& thresholds);

/// The width in pixels of the bar of a level `value` (a percentage) in a
/// grid window `grid_width` wide: value x (width - 30) / 100.
int LevelBarWidth(long value, int grid_width);

/// The text a cell of `kind` shows for its stored `text`: date, time and
/// size cells turn their number into "Mon, 7 Dec 2026", the local time of
/// day and "1,500KB", and show nothing for 0 or a text that is no number;
/// the other kinds show the text as it is.
std::string CellDisplayText(ColumnKind kind, std::string_view text);

/// The room a cell's text has: the cell's width less 4 pixels for the first
/// column and 12 for the others.
int TextRoom(int column, int cell_width);

/// `text` as it fits in `room` pixels, measured by `width_of`: itself when
/// it fits, else the longest start of it that fits with "..." appended
/// (just "..." when no character does).
std::string ShortenToFit(std::string_view text, int room,
                         const std::function<int(std::string_view)>& width_of);

/// Appends "<selection>", one "<entry>" per row with each cell in an
/// element named after its column's data name (text escaped), "</entry>"
/// and a line break, and "</selection>". Appends nothing without rows.
void AppendSelectionXml(std::string& out, const std::vector<std::string>& data_names,
                        const std::vector<std::vector<std::string>>& rows);

}  // namespace vossik
