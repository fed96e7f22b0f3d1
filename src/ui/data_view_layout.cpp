#include "ui/data_view_layout.h"

#include <algorithm>
#include <cstddef>

namespace vossik {
namespace {

struct StatisticRow {
  std::size_t first = 0;
  std::size_t count = 0;
  int height = 0;
  bool growing = false;
};

// Every statistic starts a row unless it is right-aligned behind another.
std::vector<StatisticRow> Rows(const std::vector<StatisticSlot>& statistics) {
  std::vector<StatisticRow> rows;
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    const StatisticSlot& slot = statistics[i];
    if (!slot.align_right || rows.empty() || rows.back().count >= 2) {
      rows.push_back({i, 0, 0, false});
    }
    StatisticRow& row = rows.back();
    ++row.count;
    row.height = std::max(row.height, slot.preferred_height);
    row.growing = row.growing || slot.growing;
  }
  return rows;
}

}  // namespace

StatisticsLayout LayOutStatistics(int width, int height,
                                  const std::vector<StatisticSlot>& statistics) {
  StatisticsLayout layout;
  layout.statistics.resize(statistics.size());
  const std::vector<StatisticRow> rows = Rows(statistics);
  int used = 0;
  int growing_rows = 0;
  for (const StatisticRow& row : rows) {
    used += row.height;
    if (row.growing) ++growing_rows;
  }
  const int spare = height - used - kStatisticsButtonRow;
  const int share = spare > 0 && growing_rows > 0 ? spare / growing_rows : 0;
  const int half = width / 2 - 6;
  int y = 0;
  for (const StatisticRow& row : rows) {
    int row_height = 0;
    for (std::size_t k = 0; k < row.count; ++k) {
      const std::size_t i = row.first + k;
      const StatisticSlot& slot = statistics[i];
      const int h = slot.preferred_height + (slot.growing ? share : 0);
      row_height = std::max(row_height, h);
      if (row.count == 1) {
        layout.statistics[i] = {0, y, width - 6, h};
      } else {
        layout.statistics[i] = {k == 0 ? 0 : width / 2 + 4, y, half, h};
      }
    }
    y += std::max(row_height, row.height + (row.growing ? share : 0));
  }
  layout.refresh = {0, height - kStatisticsButtonRow, 64, 22};
  return layout;
}

int StatisticsPreferredHeight(const std::vector<StatisticSlot>& statistics) {
  int height = kStatisticsButtonRow;
  for (const StatisticRow& row : Rows(statistics)) height += row.height;
  return height;
}

int LogViewHeight(int lines) { return lines <= 1 ? 22 : 14 * lines; }

LogViewLayout LayOutLogView(int width, int height, int label_width, int choice_width) {
  LogViewLayout layout;
  layout.view = {0, 0, width, std::max(0, height - kLogButtonRow)};
  layout.tail_label = {0, height - 20, label_width, 16};
  layout.tail_lines = {label_width + 4, height - 24, choice_width, 22};
  layout.refresh = {layout.tail_lines.Right() + 2, height - 23, 60, 20};
  layout.clear = {width - 60, height - 23, 60, 20};
  const int name_left = layout.refresh.Right() + 8;
  layout.name = {name_left, height - 20, std::max(0, layout.clear.left - 4 - name_left), 16};
  return layout;
}

}  // namespace vossik
