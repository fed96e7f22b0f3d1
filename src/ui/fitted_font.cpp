#include "ui/fitted_font.h"

#include <QFontMetrics>
#include <QRect>

namespace vossik {
namespace {

constexpr double kSmallestPoints = 6.0;

bool Fits(const QFont& font, const std::vector<FittedText>& texts) {
  const QFontMetrics metrics(font);
  for (const FittedText& t : texts) {
    const int flags = t.wrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    const QRect needed = metrics.boundingRect(QRect(0, 0, t.width, 10000), flags, t.text);
    if (needed.width() > t.width || needed.height() > t.height) return false;
  }
  return true;
}

}  // namespace

QFont FittedFont(QFont font, const std::vector<FittedText>& texts) {
  // A font sized in pixels is taken as it is.
  if (font.pointSizeF() <= 0) return font;
  while (!Fits(font, texts) && font.pointSizeF() - 0.5 >= kSmallestPoints) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  return font;
}

}  // namespace vossik
