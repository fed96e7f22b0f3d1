#include "ui/list_layout.h"

#include <algorithm>

namespace vossik {
namespace {

constexpr int kInputLeft = 148;
constexpr int kInputHeight = 22;
constexpr int kButtonTop = 24;
constexpr int kMaxButtonWidth = 64;
constexpr int kMaxButtonHeight = 18;
constexpr int kWordCaptionWidth = 40;  // narrower buttons take the sign captions
constexpr int kRightMargin = 8;
constexpr int kLineHeight = 14;

}  // namespace

ItemListLayout LayOutItemList(int width, int height, int cell_left, bool has_import) {
  ItemListLayout out;
  const int e = std::max((width - 152) / 3, 140) - cell_left;
  const int w = std::min(kMaxButtonWidth, e / 2 - 4);
  const int k = has_import ? 2 : 1;
  const int b = std::min(kMaxButtonHeight, (height - 26) / k);
  out.input = {kInputLeft, 0, e, kInputHeight};
  out.list = {e + kInputLeft, 0, width - e - kInputLeft - kRightMargin, height};
  out.add = {kInputLeft, kButtonTop, w, b};
  out.remove = {e - w + kInputLeft - 2, kButtonTop, w, b};
  if (has_import) out.import = {e - w + kInputLeft - 2, height - b - 2, w, b};
  out.short_captions = w < kWordCaptionWidth;
  return out;
}

KeyValueListLayout LayOutKeyValueList(int width, int height, bool has_import) {
  KeyValueListLayout out;
  const int c = std::max(140, (width - 152) / 3);
  const int d = c / 2 < 68 ? c / 2 - 4 : kMaxButtonWidth;
  out.value_label = {0, 26, 140, kInputHeight};
  out.key = {kInputLeft, 0, c, kInputHeight};
  out.value = {kInputLeft, kInputHeight, c, kInputHeight};
  out.list = {c + kInputLeft, 0, width - c - kInputLeft - kRightMargin, height};
  out.add = {kInputLeft, 46, d, kInputHeight};
  out.remove = {c - d + kInputLeft - 2, 46, d, kInputHeight};
  if (has_import) out.import = {c - d + kInputLeft - 2, 70, d, kInputHeight};
  out.tab_stop = out.list.width / 2;
  return out;
}

TextBlockListLayout LayOutTextBlockList(int width, int height, int cell_left) {
  const ItemListLayout items = LayOutItemList(width, height, cell_left, false);
  TextBlockListLayout out;
  out.name = items.input;
  out.add = items.add;
  out.remove = items.remove;
  const int names_top = items.add.Bottom() + 2;
  out.names = {kInputLeft, names_top, items.input.width, std::max(0, height - names_top)};
  out.text = items.list;
  return out;
}

int ItemListPreferredHeight(long list_lines, bool key_value, bool has_import) {
  const long lines = std::clamp(list_lines, 1L, 1000L);
  const int height = static_cast<int>(lines) * kLineHeight;
  if (!key_value) return std::max(height, 46);
  return std::max(height + kInputHeight, has_import ? 92 : 68);
}

}  // namespace vossik
