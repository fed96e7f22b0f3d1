// Geometry of the service data views inside their cells, computed without
// any window: the statistics view's stack of text fields, graphs and pies
// with its Refresh button, and the log view's text, "Tail Lines:" row and
// buttons. The cells only apply these rectangles.
//
// All values are pixels. The functions are pure and thread-safe.
#pragma once

#include <vector>

#include "ui/page_layout.h"

namespace vossik {

// ---------------------------------------------------------------------------
// Statistics

/// One statistic of a statistics view, in descriptor order.
struct StatisticSlot {
  int preferred_height = 22;
  bool align_right = false;  // shares the row of the statistic before it
  bool growing = false;      // a graph or a pie: takes a share of the spare height
};

struct StatisticsLayout {
  std::vector<Rect> statistics;  // one per slot, in the same order
  Rect refresh;
};

inline constexpr int kStatisticsButtonRow = 24;

/// Places `statistics` in a cell of `width` x `height`. A statistic starts a row
/// at left 0, width W - 6, unless it is right-aligned and follows another:
/// then it goes to left W / 2 + 4, width W / 2 - 6, and the one before it
/// narrows to W / 2 - 6. A row is as high as its highest statistic. The
/// height the rows leave above the button row, when positive, is shared out
/// equally among the rows holding a graph or a pie, and each of their
/// graphs and pies takes that share. Refresh sits at left 0, top H - 24,
/// 64 x 22.
StatisticsLayout LayOutStatistics(int width, int height,
                                  const std::vector<StatisticSlot>& statistics);

/// The rows' preferred heights and the button row.
int StatisticsPreferredHeight(const std::vector<StatisticSlot>& statistics);

// ---------------------------------------------------------------------------
// Log

struct LogViewLayout {
  Rect view;
  Rect tail_label;
  Rect tail_lines;
  Rect refresh;
  Rect name;  // the log's label, between Refresh and Clear
  Rect clear;
};

inline constexpr int kLogButtonRow = 26;

/// The view's preferred height: 22 for one line, else 14 per line.
int LogViewHeight(int lines);

/// Places the log view's pieces in a cell of `width` x `height`: the text
/// across the top, H - 26 high; "Tail Lines:" at left 0, top H - 20,
/// `label_width` wide; the line counts right after it at top H - 24,
/// `choice_width` wide; Refresh 60 x 20 just right of those; Clear 60 x 20
/// at the right edge; the log's label in the room between them (so that
/// two logs on a page tell which is which). With the widths 54 and that of
/// "WWW" plus 12, the counts start at 58 and Refresh at their width plus 60.
LogViewLayout LayOutLogView(int width, int height, int label_width, int choice_width);

}  // namespace vossik
