// Colours as the descriptor writes them: six hexadecimal digits for red,
// green and blue ("FF8000").
#pragma once

#include <QColor>
#include <string_view>

namespace vossik {

/// The colour of `text`: up to 8 hexadecimal digits (either case) after any
/// leading blanks are read as a number whose low three bytes are red, green
/// and blue from high to low. A text without digits is black.
QColor ColourFromHex(std::string_view text);

}  // namespace vossik
