#include "widgets/multi_thumb_slider.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vossik {
namespace {

constexpr int kThumbHalfWidth = 5;
constexpr int kThumbTop = 2;
constexpr int kThumbHeight = 18;
// The point at the bottom of a thumb starts this far down.
constexpr int kThumbShoulder = 12;
constexpr int kBarTop = 8;
constexpr int kBarHeight = 6;
constexpr int kLabelGap = 2;

}  // namespace

int thumbCentreAt(int position, int minimum, int maximum, int trackLeft, int trackWidth) {
  if (maximum <= minimum) return trackLeft;
  return trackLeft + static_cast<int>(std::lround(static_cast<double>(position - minimum) *
                                                  trackWidth / (maximum - minimum)));
}

int positionAtX(int x, int minimum, int maximum, int trackLeft, int trackWidth) {
  if (maximum <= minimum || trackWidth <= 0) return minimum;
  const double position =
      minimum + static_cast<double>(x - trackLeft) * (maximum - minimum) / trackWidth;
  return std::clamp(static_cast<int>(std::lround(position)), minimum, maximum);
}

MultiThumbSlider::MultiThumbSlider(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("multiThumbSlider"));
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MultiThumbSlider::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  for (Thumb& thumb : thumbs_) thumb.position = clamped(thumb.position);
  update();
}

int MultiThumbSlider::addThumb(const QColor& colour, const QString& label) {
  thumbs_.push_back(Thumb{minimum_, colour, label});
  if (current_ < 0) current_ = 0;
  updateGeometry();
  update();
  return thumbCount() - 1;
}

void MultiThumbSlider::setThumbPosition(int index, int position) {
  if (index < 0 || index >= thumbCount()) return;
  thumbs_[static_cast<std::size_t>(index)].position = clamped(position);
  update();
}

int MultiThumbSlider::thumbPosition(int index) const {
  if (index < 0 || index >= thumbCount()) return minimum_;
  return thumbs_[static_cast<std::size_t>(index)].position;
}

QColor MultiThumbSlider::thumbColour(int index) const {
  if (index < 0 || index >= thumbCount()) return QColor();
  return thumbs_[static_cast<std::size_t>(index)].colour;
}

QString MultiThumbSlider::thumbLabel(int index) const {
  if (index < 0 || index >= thumbCount()) return QString();
  return thumbs_[static_cast<std::size_t>(index)].label;
}

void MultiThumbSlider::setBarColour(const QColor& colour) {
  bar_colour_ = colour;
  update();
}

void MultiThumbSlider::setCurrentThumb(int index) {
  if (index < 0 || index >= thumbCount()) return;
  current_ = index;
  update();
}

QSize MultiThumbSlider::sizeHint() const { return QSize(200, minimumSizeHint().height()); }

QSize MultiThumbSlider::minimumSizeHint() const {
  const bool labelled = std::any_of(thumbs_.begin(), thumbs_.end(),
                                    [](const Thumb& thumb) { return !thumb.label.isEmpty(); });
  const int height =
      kThumbTop + kThumbHeight + (labelled ? kLabelGap + fontMetrics().height() : 2);
  return QSize(4 * kThumbHalfWidth + 20, height);
}

int MultiThumbSlider::trackLeft() const { return kThumbHalfWidth + 1; }

int MultiThumbSlider::trackWidth() const { return std::max(0, width() - 2 * trackLeft()); }

int MultiThumbSlider::centreOf(int index) const {
  return thumbCentreAt(thumbPosition(index), minimum_, maximum_, trackLeft(), trackWidth());
}

int MultiThumbSlider::clamped(int position) const {
  return std::clamp(position, minimum_, maximum_);
}

void MultiThumbSlider::moveByUser(int index, int position) {
  Thumb& thumb = thumbs_[static_cast<std::size_t>(index)];
  const int target = clamped(position);
  if (target == thumb.position) return;
  thumb.position = target;
  update();
  emit thumbMoved(index, target);
}

void MultiThumbSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect bar(trackLeft() - kThumbHalfWidth, kBarTop, trackWidth() + 2 * kThumbHalfWidth,
                  kBarHeight);
  painter.setPen(palette().color(QPalette::Dark));
  painter.setBrush(isEnabled() ? bar_colour_ : palette().color(QPalette::Button));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  // The current thumb is painted last so that it is never hidden.
  for (int i = 0; i < thumbCount(); ++i) {
    if (i != current_) paintThumb(painter, i);
  }
  if (current_ >= 0) paintThumb(painter, current_);
}

void MultiThumbSlider::paintThumb(QPainter& painter, int index) const {
  const Thumb& thumb = thumbs_[static_cast<std::size_t>(index)];
  const int x = centreOf(index);
  const QPolygon shape({QPoint(x - kThumbHalfWidth, kThumbTop),
                        QPoint(x + kThumbHalfWidth, kThumbTop),
                        QPoint(x + kThumbHalfWidth, kThumbTop + kThumbShoulder),
                        QPoint(x, kThumbTop + kThumbHeight - 1),
                        QPoint(x - kThumbHalfWidth, kThumbTop + kThumbShoulder)});
  const bool focused = hasFocus() && index == current_;
  painter.setPen(QPen(palette().color(focused ? QPalette::Highlight : QPalette::Shadow),
                      focused ? 2 : 1));
  painter.setBrush(isEnabled() ? thumb.colour : palette().color(QPalette::Button));
  painter.drawPolygon(shape);
  if (!thumb.label.isEmpty()) {
    const int top = kThumbTop + kThumbHeight + kLabelGap;
    const int labelWidth = fontMetrics().horizontalAdvance(thumb.label);
    const int left = std::clamp(x - labelWidth / 2, 0, std::max(0, width() - labelWidth));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(left, top, labelWidth, fontMetrics().height()), Qt::AlignCenter,
                     thumb.label);
  }
}

void MultiThumbSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || thumbs_.empty()) {
    QWidget::mousePressEvent(event);
    return;
  }
  const int x = event->position().toPoint().x();
  // The current thumb lies on top, so it wins where thumbs overlap.
  int nearest = current_;
  int distance = std::abs(x - centreOf(current_));
  for (int i = 0; i < thumbCount(); ++i) {
    const int d = std::abs(x - centreOf(i));
    if (d < distance) {
      nearest = i;
      distance = d;
    }
  }
  current_ = nearest;
  dragged_ = nearest;
  if (distance <= kThumbHalfWidth) {
    drag_offset_ = x - centreOf(nearest);
  } else {
    drag_offset_ = 0;
    moveByUser(nearest, positionAtX(x, minimum_, maximum_, trackLeft(), trackWidth()));
  }
  update();
  event->accept();
}

void MultiThumbSlider::mouseMoveEvent(QMouseEvent* event) {
  if (dragged_ < 0) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const int x = event->position().toPoint().x() - drag_offset_;
  moveByUser(dragged_, positionAtX(x, minimum_, maximum_, trackLeft(), trackWidth()));
  event->accept();
}

void MultiThumbSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (dragged_ >= 0 && event->button() == Qt::LeftButton) {
    dragged_ = -1;
    event->accept();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void MultiThumbSlider::keyPressEvent(QKeyEvent* event) {
  if (current_ < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int position = thumbPosition(current_);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      moveByUser(current_, position - 1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      moveByUser(current_, position + 1);
      break;
    case Qt::Key_PageDown:
      moveByUser(current_, position - page_step_);
      break;
    case Qt::Key_PageUp:
      moveByUser(current_, position + page_step_);
      break;
    case Qt::Key_Home:
      moveByUser(current_, minimum_);
      break;
    case Qt::Key_End:
      moveByUser(current_, maximum_);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void MultiThumbSlider::focusInEvent(QFocusEvent* event) {
  if (!thumbs_.empty()) {
    if (event->reason() == Qt::TabFocusReason) current_ = 0;
    if (event->reason() == Qt::BacktabFocusReason) current_ = thumbCount() - 1;
  }
  QWidget::focusInEvent(event);
}

bool MultiThumbSlider::focusNextPrevChild(bool next) {
  if (hasFocus() && current_ >= 0) {
    const int target = current_ + (next ? 1 : -1);
    if (target >= 0 && target < thumbCount()) {
      current_ = target;
      update();
      return true;
    }
  }
  return QWidget::focusNextPrevChild(next);
}

}  // namespace vossik
