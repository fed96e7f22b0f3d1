// Geometry of the list setting controls inside their cells, computed without
// any window: the item list of `list` and `iplist` (an input column with Add,
// Remove and Import under it, the list box to its right) and the two-input
// form of `keyvaluelist`. The cells only apply these rectangles.
//
// All values are pixels inside the cell. The functions are pure and
// thread-safe.
#pragma once

#include "ui/page_layout.h"

namespace vossik {

/// Where the pieces of an item list go. `import` is empty without Import.
struct ItemListLayout {
  Rect input;
  Rect list;
  Rect add;
  Rect remove;
  Rect import;
  /// The buttons are too narrow for words: "+", "-" and ">>" instead of
  /// "Add", "Remove" and "Import...".
  bool short_captions = false;
};

/// The item list in a cell `width` x `height` whose left edge is at
/// `cell_left` on the page. The input column is e = max((W - 152) / 3, 140)
/// - cell_left wide, so that the list box starts at the same place whatever
/// the cell's indentation; the list box fills the rest up to 8 pixels from
/// the right edge. The buttons are min(64, e / 2 - 4) wide and
/// min(18, (H - 26) / k) high, k = 2 with Import, else 1.
ItemListLayout LayOutItemList(int width, int height, int cell_left, bool has_import);

/// Where the pieces of a key and value list go.
struct KeyValueListLayout {
  Rect value_label;
  Rect key;
  Rect value;
  Rect list;
  Rect add;
  Rect remove;
  Rect import;       // empty without Import
  int tab_stop = 0;  // of the list box in password style: half its width
};

/// The key and value list in a cell `width` x `height`: the key box on the
/// first row and the value box, labelled, on the second, both
/// c = max(140, (W - 152) / 3) wide; Add and Remove on the third row, d wide
/// (c / 2 - 4 while c / 2 is below 68, else 64); Import, when present, under
/// Remove. The list box takes the rest of the width.
KeyValueListLayout LayOutKeyValueList(int width, int height, bool has_import);

/// Where the pieces of a list of named text blocks go.
struct TextBlockListLayout {
  Rect name;
  Rect add;
  Rect remove;
  Rect names;  // the list of entry names
  Rect text;   // the selected entry's text
};

/// The text block list in a cell `width` x `height` whose left edge is at
/// `cell_left`: the name input and the buttons where the item list has its
/// input and buttons, the list of names under them in the same column, and
/// the text of the selected entry where the item list has its list box.
TextBlockListLayout LayOutTextBlockList(int width, int height, int cell_left);

/// The preferred height of an item list of `list_lines` lines: 14 per line,
/// at least 46; with the key and value inputs 14 per line plus 22, at least
/// 68 (92 with Import, whose row comes below Add and Remove).
int ItemListPreferredHeight(long list_lines, bool key_value, bool has_import);

}  // namespace vossik
