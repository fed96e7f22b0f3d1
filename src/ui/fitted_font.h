// Windows with fixed pixel geometry (the service bar, the Connect dialog)
// were laid out for a small dialog font. FittedFont picks the largest size
// of the window's own font, no larger than it is, at which every text still
// fits the place it has, so that the geometry can stay as it is.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

namespace vossik {

/// A text and the room it has in pixels; `wrap` lets it break at blanks
/// within the width.
struct FittedText {
  QString text;
  int width = 0;
  int height = 0;
  bool wrap = false;
};

/// `font`, made smaller in half points (down to 6 points) until every text fits.
QFont FittedFont(QFont font, const std::vector<FittedText>& texts);

}  // namespace vossik
