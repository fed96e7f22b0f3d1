#include "ui/page_layout.h"

#include <algorithm>

namespace vossik {

std::string MnemonicTitle(std::string_view title, std::string_view shortcut) {
  std::string out(title);
  if (shortcut.empty()) return out;
  std::size_t at = out.find(shortcut);
  while (at != std::string::npos) {
    out.insert(at, 1, '&');
    at = out.find(shortcut, at + 1 + shortcut.size());
  }
  return out;
}

namespace {

// Rows: a control without `align` = "right" opens a row; a right-aligned one
// joins the open row, which is as high as its tallest member. Spacers and
// group edges close the row, so a right-aligned control there starts a row
// of its own instead of jumping back above them.
struct RowCursor {
  int y = kPageTop;
  bool open = false;
  int top = 0;
  int height = 0;

  // Returns the top of the control's rectangle.
  int Begin(bool align_right) {
    if (!align_right || !open) {
      open = true;
      top = y;
      height = 0;
    }
    return top;
  }
  void End(int taken) {
    height = std::max(height, taken);
    y = top + height + kRowGap;
  }
  void Space(int pixels) {
    y += pixels;
    open = false;
  }
};

}  // namespace

int NaturalHeight(const PageLayoutInput& input) {
  RowCursor row;
  auto advance = [&row](const std::vector<LayoutControl>& controls) {
    for (const LayoutControl& c : controls) {
      if (c.present) {
        row.Begin(c.align_right);
        row.End(c.preferred_height);
      }
      if (c.spacers_after > 0) row.Space(c.spacers_after * kSpacerHeight);
    }
  };
  advance(input.controls);
  for (const LayoutGroup& g : input.groups) {
    row.Space(kGroupTopPadding);
    advance(g.controls);
    row.Space(kGroupBottomPadding + g.spacers_after * kSpacerHeight);
  }
  return row.y;
}

int GrowingCount(const PageLayoutInput& input) {
  int count = 0;
  auto add = [&count](const std::vector<LayoutControl>& controls) {
    for (const LayoutControl& c : controls) count += (c.present && c.growing) ? 1 : 0;
  };
  add(input.controls);
  for (const LayoutGroup& g : input.groups) add(g.controls);
  return count;
}

int GrowingShare(const PageLayoutInput& input, int height) {
  const int spare = height - NaturalHeight(input);
  const int growing = GrowingCount(input);
  return (spare > 4 && growing > 0) ? spare / growing : 0;
}

PageLayout LayOutPage(const PageLayoutInput& input, int width, int height,
                      const std::function<int(std::size_t, const Rect&)>& place) {
  PageLayout out;
  int usable = width - 8;
  int x = 4;
  if (input.has_side_image) {
    usable = width - 8 - (input.side_image_width + 4);
    x = input.side_image_width + 8;
    out.side_image = {4, 4, input.side_image_width, input.side_image_height};
  }
  out.hint = {x, 4, std::min(usable, 300), 14};

  const int share = GrowingShare(input, height);
  RowCursor row;
  auto lay = [&](const std::vector<LayoutControl>& controls, int column, int column_width) {
    for (const LayoutControl& c : controls) {
      Rect rect;
      if (c.present) {
        // A right-aligned control with no row to join (first on the page,
        // after a spacer or at the top of a group) starts a row of its own
        // rather than climbing back over the space above it.
        const int top = row.Begin(c.align_right);
        const int h = c.preferred_height + (c.growing ? share : 0);
        rect = c.align_right ? Rect{column + kRightAlignedOffset, top,
                                    column_width - kRightAlignedOffset - 4, h}
                             : Rect{column + 4, top, column_width - 8, h};
        row.End(place ? place(out.controls.size(), rect) : h);
      }
      out.controls.push_back(rect);
      if (c.spacers_after > 0) row.Space(c.spacers_after * kSpacerHeight);
    }
  };
  lay(input.controls, x, usable);
  for (const LayoutGroup& g : input.groups) {
    const int top = row.y;
    row.Space(kGroupTopPadding);
    lay(g.controls, x + 4, usable - 8);
    row.Space(kGroupBottomPadding);
    out.groups.push_back({x + 4, top, usable - 8, row.y - top});
    if (g.spacers_after > 0) row.Space(g.spacers_after * kSpacerHeight);
  }
  return out;
}

TrackingSize SheetTrackingSize(int minx, int miny, int page_count, bool several_sheets,
                               bool wizard) {
  if (wizard) return {minx, miny, minx, miny};
  const int width = std::max(minx, 71 * page_count) + (several_sheets ? 140 : 0);
  return {width, miny, 0, 0};
}

SheetGeometry LayOutSheet(int width, int height, bool several_sheets, bool service_bar,
                          bool wizard) {
  SheetGeometry g;
  g.has_selector = several_sheets;
  g.has_service_bar = service_bar && !wizard;
  const int left = several_sheets ? 140 : 0;
  if (g.has_selector) g.selector = {0, 2, 138, height - 32};
  int bottom = height - 26;
  if (g.has_service_bar) {
    g.service_bar = {left, height - 52, width - left - 8, 22};
    bottom = height - 52;
  }
  g.tabs = {left, 0, width - left - 4, bottom - 2};
  const int y = height - 26;
  g.help = {width - 80, y, 64, 22};
  if (wizard) {
    g.back = {width - 296, y, 64, 22};
    g.next = {width - 224, y, 64, 22};
    g.cancel = {width - 152, y, 64, 22};
  } else {
    g.ok = {0, y, 64, 22};
    g.apply = {68, y, 64, 22};
    g.cancel = {140, y, 64, 22};
  }
  return g;
}

Rect PageArea(const Rect& display_area) {
  return {display_area.left, display_area.top, display_area.width - 4, display_area.height - 4};
}

Rect PopupInitialRect() { return {100, 50, 700, 500}; }

Rect PopupSheetRect(int client_width, int client_height) {
  return {4, 4, client_width - 8, client_height - 8};
}

TrackingSize PopupTrackingSize(const TrackingSize& sheet) {
  TrackingSize out;
  out.min_width = std::max(680, sheet.min_width + 8);
  out.min_height = std::max(260, sheet.min_height + 8);
  out.max_width = sheet.max_width > 0 ? sheet.max_width + 8 : 0;
  out.max_height = sheet.max_height > 0 ? sheet.max_height + 8 : 0;
  return out;
}

}  // namespace vossik
