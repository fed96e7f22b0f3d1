// Geometry of the settings window, computed without any window: where a
// page's hint line, side image, controls and group boxes go, and where the
// sheet puts its selector, tabs and buttons. The windows only apply these
// rectangles, so the rules can be checked on their own.
//
// All values are pixels. The functions are pure and thread-safe.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

/// The page title with "&" put before every occurrence of `shortcut`, so the
/// shortcut shows as the mnemonic ("Group General", "G" -> "&Group &General").
/// An empty shortcut leaves the title as it is.
std::string MnemonicTitle(std::string_view title, std::string_view shortcut);

// ---------------------------------------------------------------------------
// Page

/// One `parameter` element of a page, in creation order. A parameter that
/// got no control keeps its place (`present` false) so that its spacers
/// still count.
struct LayoutControl {
  bool present = true;
  int preferred_height = 22;
  bool align_right = false;  // placed to the right of the previous control
  bool growing = false;      // receives a share of the spare height
  int spacers_after = 0;     // `spacer` siblings directly after the element
};

/// A `group` element: a box around its controls.
struct LayoutGroup {
  std::vector<LayoutControl> controls;
  int spacers_after = 0;
};

/// What the page's rows are made of: the sheet-level parameters followed by
/// the page's own parameters, then the groups.
struct PageLayoutInput {
  bool has_side_image = false;
  int side_image_width = 0;
  int side_image_height = 0;
  std::vector<LayoutControl> controls;
  std::vector<LayoutGroup> groups;
};

/// Rectangles of one layout pass. `controls` runs over the top-level
/// controls, then over each group's controls in order (absent controls get
/// an empty rectangle); `groups` holds one box per group.
struct PageLayout {
  Rect hint;
  Rect side_image;
  std::vector<Rect> controls;
  std::vector<Rect> groups;
};

constexpr int kPageTop = 20;  // first row, below the hint line
constexpr int kRowGap = 2;    // between rows
constexpr int kSpacerHeight = 12;
constexpr int kGroupTopPadding = 16;
constexpr int kGroupBottomPadding = 6;
constexpr int kRightAlignedOffset = 264;  // from the column's left edge
constexpr int kCreationRight = 300;       // right edge of the creation rectangles

/// The height the creation pass reaches: the page's natural height.
int NaturalHeight(const PageLayoutInput& input);

/// Number of present controls marked growing.
int GrowingCount(const PageLayoutInput& input);

/// The extra height each growing control receives on a page of `height`.
int GrowingShare(const PageLayoutInput& input, int height);

/// Lays the page out at client size `width` x `height`. `place`, when given,
/// is called for each present control with its index in
/// PageLayout::controls and its rectangle, and returns the height the control
/// actually took (a control may need more than its preferred height); without
/// it every control takes its rectangle's height.
PageLayout LayOutPage(const PageLayoutInput& input, int width, int height,
                      const std::function<int(std::size_t, const Rect&)>& place = {});

// ---------------------------------------------------------------------------
// Sheet

struct TrackingSize {
  int min_width = 0;
  int min_height = 0;
  int max_width = 0;   // 0: unlimited
  int max_height = 0;  // 0: unlimited
};

/// The sheet's minimum (and, for a wizard, maximum) size: outside a wizard
/// the larger of `minx` and 71 per page, plus 140 for the sheet selector,
/// by `miny`; a wizard is exactly `minx` x `miny`.
TrackingSize SheetTrackingSize(int minx, int miny, int page_count, bool several_sheets,
                               bool wizard);

struct SheetGeometry {
  bool has_selector = false;
  bool has_service_bar = false;
  Rect selector;
  Rect service_bar;
  Rect tabs;
  Rect ok, apply, cancel, help;
  Rect back, next;  // wizard mode only; Finish takes Next's place
};

/// Places the sheet's parts in a client area of `width` x `height`.
SheetGeometry LayOutSheet(int width, int height, bool several_sheets, bool service_bar,
                          bool wizard);

/// The page's own area inside the tab control's display area.
Rect PageArea(const Rect& display_area);

/// The window that hosts a pop-up sheet: where it is first created, the
/// sheet's rectangle inside its client area, and its minimum size given the
/// sheet's own minimum.
Rect PopupInitialRect();
Rect PopupSheetRect(int client_width, int client_height);
TrackingSize PopupTrackingSize(const TrackingSize& sheet);

}  // namespace vossik
