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

int ThumbCentreAt(int position, int minimum, int maximum, int track_left, int track_width) {
  if (maximum <= minimum) return track_left;
  return track_left + static_cast<int>(std::lround(static_cast<double>(position - minimum) *
                                                   track_width / (maximum - minimum)));
}

int PositionAtX(int x, int minimum, int maximum, int track_left, int track_width) {
  if (maximum <= minimum || track_width <= 0) return minimum;
  const double position =
      minimum + static_cast<double>(x - track_left) * (maximum - minimum) / track_width;
  return std::clamp(static_cast<int>(std::lround(position)), minimum, maximum);
}

MultiThumbSlider::MultiThumbSlider(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("multiThumbSlider"));
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MultiThumbSlider::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  for (Thumb& thumb : thumbs_) thumb.position = Clamped(thumb.position);
  update();
}

int MultiThumbSlider::AddThumb(const QColor& colour, const QString& label) {
  thumbs_.push_back(Thumb{minimum_, colour, label});
  if (current_ < 0) current_ = 0;
  updateGeometry();
  update();
  return ThumbCount() - 1;
}

void MultiThumbSlider::SetThumbPosition(int index, int position) {
  if (index < 0 || index >= ThumbCount()) return;
  thumbs_[static_cast<std::size_t>(index)].position = Clamped(position);
  update();
}

int MultiThumbSlider::ThumbPosition(int index) const {
  if (index < 0 || index >= ThumbCount()) return minimum_;
  return thumbs_[static_cast<std::size_t>(index)].position;
}

QColor MultiThumbSlider::ThumbColour(int index) const {
  if (index < 0 || index >= ThumbCount()) return QColor();
  return thumbs_[static_cast<std::size_t>(index)].colour;
}

QString MultiThumbSlider::ThumbLabel(int index) const {
  if (index < 0 || index >= ThumbCount()) return QString();
  return thumbs_[static_cast<std::size_t>(index)].label;
}

void MultiThumbSlider::SetBarColour(const QColor& colour) {
  bar_colour_ = colour;
  update();
}

void MultiThumbSlider::SetCurrentThumb(int index) {
  if (index < 0 || index >= ThumbCount()) return;
  current_ = index;
  update();
}

QSize MultiThumbSlider::sizeHint() const { return QSize(200, minimumSizeHint().height()); }

QSize MultiThumbSlider::minimumSizeHint() const {
  const bool labelled = std::any_of(thumbs_.begin(), thumbs_.end(),
                                    [](const Thumb& thumb) { return !thumb.label.isEmpty(); });
  const int height = kThumbTop + kThumbHeight + (labelled ? kLabelGap + fontMetrics().height() : 2);
  return QSize(4 * kThumbHalfWidth + 20, height);
}

int MultiThumbSlider::TrackLeft() const { return kThumbHalfWidth + 1; }

int MultiThumbSlider::TrackWidth() const { return std::max(0, width() - 2 * TrackLeft()); }

int MultiThumbSlider::CentreOf(int index) const {
  return ThumbCentreAt(ThumbPosition(index), minimum_, maximum_, TrackLeft(), TrackWidth());
}

int MultiThumbSlider::Clamped(int position) const {
  return std::clamp(position, minimum_, maximum_);
}

void MultiThumbSlider::MoveByUser(int index, int position) {
  Thumb& thumb = thumbs_[static_cast<std::size_t>(index)];
  const int target = Clamped(position);
  if (target == thumb.position) return;
  thumb.position = target;
  update();
  emit ThumbMoved(index, target);
}

void MultiThumbSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect bar(TrackLeft() - kThumbHalfWidth, kBarTop, TrackWidth() + 2 * kThumbHalfWidth,
                  kBarHeight);
  painter.setPen(palette().color(QPalette::Dark));
  painter.setBrush(isEnabled() ? bar_colour_ : palette().color(QPalette::Button));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  // The current thumb is painted last so that it is never hidden.
  for (int i = 0; i < ThumbCount(); ++i) {
    if (i != current_) PaintThumb(painter, i);
  }
  if (current_ >= 0) PaintThumb(painter, current_);
}

void MultiThumbSlider::PaintThumb(QPainter& painter, int index) const {
  const Thumb& thumb = thumbs_[static_cast<std::size_t>(index)];
  const int x = CentreOf(index);
  const QPolygon shape({QPoint(x - kThumbHalfWidth, kThumbTop),
                        QPoint(x + kThumbHalfWidth, kThumbTop),
                        QPoint(x + kThumbHalfWidth, kThumbTop + kThumbShoulder),
                        QPoint(x, kThumbTop + kThumbHeight - 1),
                        QPoint(x - kThumbHalfWidth, kThumbTop + kThumbShoulder)});
  const bool focused = hasFocus() && index == current_;
  painter.setPen(
      QPen(palette().color(focused ? QPalette::Highlight : QPalette::Shadow), focused ? 2 : 1));
  painter.setBrush(isEnabled() ? thumb.colour : palette().color(QPalette::Button));
  painter.drawPolygon(shape);
  if (!thumb.label.isEmpty()) {
    const int top = kThumbTop + kThumbHeight + kLabelGap;
    const int label_width = fontMetrics().horizontalAdvance(thumb.label);
    const int left = std::clamp(x - label_width / 2, 0, std::max(0, width() - label_width));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(left, top, label_width, fontMetrics().height()), Qt::AlignCenter,
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
  int distance = std::abs(x - CentreOf(current_));
  for (int i = 0; i < ThumbCount(); ++i) {
    const int d = std::abs(x - CentreOf(i));
    if (d < distance) {
      nearest = i;
      distance = d;
    }
  }
  current_ = nearest;
  dragged_ = nearest;
  if (distance <= kThumbHalfWidth) {
    drag_offset_ = x - CentreOf(nearest);
  } else {
    drag_offset_ = 0;
    MoveByUser(nearest, PositionAtX(x, minimum_, maximum_, TrackLeft(), TrackWidth()));
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
  MoveByUser(dragged_, PositionAtX(x, minimum_, maximum_, TrackLeft(), TrackWidth()));
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
  const int position = ThumbPosition(current_);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      MoveByUser(current_, position - 1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      MoveByUser(current_, position + 1);
      break;
    case Qt::Key_PageDown:
      MoveByUser(current_, position - page_step_);
      break;
    case Qt::Key_PageUp:
      MoveByUser(current_, position + page_step_);
      break;
    case Qt::Key_Home:
      MoveByUser(current_, minimum_);
      break;
    case Qt::Key_End:
      MoveByUser(current_, maximum_);
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
    if (event->reason() == Qt::BacktabFocusReason) current_ = ThumbCount() - 1;
  }
  QWidget::focusInEvent(event);
}

bool MultiThumbSlider::focusNextPrevChild(bool next) {
  if (hasFocus() && current_ >= 0) {
    const int target = current_ + (next ? 1 : -1);
    if (target >= 0 && target < ThumbCount()) {
      current_ = target;
      update();
      return true;
    }
  }
  return QWidget::focusNextPrevChild(next);
}

}  // namespace vossik
