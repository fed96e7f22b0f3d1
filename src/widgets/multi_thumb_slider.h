// MultiThumbSlider is one horizontal bar carrying several thumbs, each with
// its own position, colour and optional label below it. The user drags a
// thumb with the mouse (a press beside the thumbs pulls the nearest one to
// the pointer), or moves the current thumb with the arrow, Page and
// Home/End keys; Tab and Shift+Tab step through the thumbs before leaving
// the control. Positions are clamped to the range.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace vossik {

/// The x of a thumb's centre for `position` on a track starting at
/// `trackLeft` and `trackWidth` pixels wide.
int ThumbCentreAt(int position, int minimum, int maximum, int track_left, int track_width);

/// The position nearest to `x` on that track, clamped to the range.
int PositionAtX(int x, int minimum, int maximum, int track_left, int track_width);

class MultiThumbSlider : public QWidget {
  Q_OBJECT

 public:
  explicit MultiThumbSlider(QWidget* parent = nullptr);

  /// 0 to 100 by default. Thumbs outside a new range are moved into it.
  void SetRange(int minimum, int maximum);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }

  /// Adds a thumb at the minimum; returns its index.
  int AddThumb(const QColor& colour, const QString& label = QString());
  int ThumbCount() const { return static_cast<int>(thumbs_.size()); }

  /// Clamped to the range; emits nothing.
  void SetThumbPosition(int index, int position);
  int ThumbPosition(int index) const;
  QColor ThumbColour(int index) const;
  QString ThumbLabel(int index) const;

  void SetBarColour(const QColor& colour);
  QColor BarColour() const { return bar_colour_; }

  /// The thumb the keyboard moves, -1 when there is none.
  int CurrentThumb() const { return current_; }
  void SetCurrentThumb(int index);

  /// What Page Up and Page Down move; 10 by default.
  void SetPageStep(int step) { page_step_ = step; }
  int PageStep() const { return page_step_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  /// The user moved thumb `index` to `position`.
  void ThumbMoved(int index, int position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct Thumb {
    int position = 0;
    QColor colour;
    QString label;
  };

  int TrackLeft() const;
  int TrackWidth() const;
  int CentreOf(int index) const;
  int Clamped(int position) const;
  void MoveByUser(int index, int position);
  void PaintThumb(QPainter& painter, int index) const;

  int minimum_ = 0;
  int maximum_ = 100;
  int page_step_ = 10;
  QColor bar_colour_{192, 192, 192};
  std::vector<Thumb> thumbs_;
  int current_ = -1;
  int dragged_ = -1;
  int drag_offset_ = 0;
};

}  // namespace vossik
