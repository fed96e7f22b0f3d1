#include "widgets/gradient_progress_bar.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>

namespace vossik {

int GradientStepCount(const QColor& start, const QColor& end) {
  const int steps =
      std::max({std::abs(end.red() - start.red()), std::abs(end.green() - start.green()),
                std::abs(end.blue() - start.blue())});
  // Equal colours still make one solid step rather than a division by zero.
  return std::max(steps, 1);
}

std::vector<GradientStep> GradientSteps(const QColor& start, const QColor& end, int width,
                                        int position, int minimum, int maximum) {
  std::vector<GradientStep> steps;
  if (position < minimum || position > maximum) return steps;
  const double filled = maximum != 0 ? static_cast<double>(position) / maximum * width : 0.0;
  const int count = GradientStepCount(start, end);
  // Edges are spread over the whole width, so a width that is not a multiple
  // of the step count leaves no unpainted strip at the right.
  const auto edge = [&](int t) {
    return static_cast<int>(static_cast<long long>(t) * width / count);
  };
  const auto component = [&](int from, int to, int t) { return from + t * (to - from) / count; };
  for (int t = 0; t < count; ++t) {
    GradientStep step;
    step.left = edge(t);
    step.right = edge(t + 1);
    step.colour =
        QColor(component(start.red(), end.red(), t), component(start.green(), end.green(), t),
               component(start.blue(), end.blue(), t));
    steps.push_back(step);
    if (step.right > filled) break;
  }
  return steps;
}

QString PercentageText(int position, int maximum) {
  const double percent = maximum != 0 ? position * 100.0 / maximum : 0.0;
  return QString::asprintf("%.0f%%", percent);
}

GradientProgressBar::GradientProgressBar(QWidget* parent)
    : QWidget(parent), background_colour_(palette().color(QPalette::Button)) {
  setObjectName(QStringLiteral("gradientProgressBar"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientProgressBar::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  update();
}

void GradientProgressBar::SetPosition(int position) {
  if (position == position_) return;
  position_ = position;
  update();
}

void GradientProgressBar::StepIt() {
  const int next = position_ + step_;
  SetPosition(next > maximum_ ? minimum_ : next);
}

void GradientProgressBar::SetGradientColours(const QColor& start, const QColor& end) {
  start_colour_ = start;
  end_colour_ = end;
  update();
}

void GradientProgressBar::SetBackgroundColour(const QColor& colour) {
  background_colour_ = colour;
  update();
}

void GradientProgressBar::SetTextColour(const QColor& colour) {
  text_colour_ = colour;
  update();
}

void GradientProgressBar::SetShowPercentage(bool on) {
  show_percentage_ = on;
  update();
}

QSize GradientProgressBar::sizeHint() const { return QSize(200, 22); }

void GradientProgressBar::paintEvent(QPaintEvent*) {
  // Painting off screen first keeps the bar from flickering as it grows.
  const qreal ratio = devicePixelRatioF();
  QPixmap buffer(size() * ratio);
  buffer.setDevicePixelRatio(ratio);
  buffer.fill(background_colour_);
  {
    QPainter painter(&buffer);
    const auto steps =
        GradientSteps(start_colour_, end_colour_, width(), position_, minimum_, maximum_);
    for (const GradientStep& step : steps) {
      painter.fillRect(QRect(step.left, 0, step.right - step.left, height()), step.colour);
    }
    if (show_percentage_ && !steps.empty()) {
      painter.setPen(text_colour_);
      painter.setFont(font());
      painter.drawText(rect(), Qt::AlignCenter, PercentageText(position_, maximum_));
    }
  }
  QPainter(this).drawPixmap(0, 0, buffer);
}

}  // namespace vossik
