#include "widgets/hex_colour.h"

#include <cstdint>

namespace vossik {

QColor ColourFromHex(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return QColor(0, 0, 0);
  uint32_t value = 0;
  for (int digits = 0; i < text.size() && digits < 8; ++i, ++digits) {
    const char c = text[i];
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

}  // namespace vossik
