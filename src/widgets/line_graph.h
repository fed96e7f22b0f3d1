// LineGraph draws a series of numbers as a line over a value axis that
// starts at zero: a caption above, the axis titles beside and below, light
// grid lines at round values, and the line in a colour of the caller's
// choosing. Background, text and grid come from the palette, so the graph
// follows a light or a dark desktop; a line colour too close to the
// background is lightened or darkened until it reads.
//
// The geometry and the scale are plain functions (GraphScaleFor,
// LineGraphGeometry, GraphPoints) that need no window. User-interface
// thread only.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

namespace vossik {

/// The value axis: from 0 to `top` in steps of `step` (top is a whole
/// number of steps).
struct GraphScale {
  double top = 1;
  double step = 1;
  bool operator==(const GraphScale&) const = default;
};

/// A scale whose top is at least `largest`, in about four steps of 1, 2,
/// 2.5 or 5 times a power of ten. A largest value of 0 or less (nothing to
/// show, or only losses) gives 0 to 1 in one step.
GraphScale GraphScaleFor(double largest);

/// A value as an axis label: at most two decimals, trailing zeros dropped
/// ("2.5", "1000", "0.25").
QString AxisLabel(double value);

/// Where the pieces of a graph go in a widget of `width` x `height`, for
/// text `line_height` high and value labels up to `label_width` wide.
struct LineGraphGeometry {
  QRect caption;  // the caption, across the top
  QRect y_title;  // the value axis title, turned upright, at the left
  QRect labels;   // the value labels, right-aligned against the plot
  QRect plot;     // the area of the line and the grid
  QRect x_title;  // the other axis title, under the plot
};
LineGraphGeometry LineGraphGeometryFor(int width, int height, int line_height, int label_width,
                                       bool has_y_title, bool has_x_title);

/// The points of `values` in `plot` on `scale`: spread evenly from the left
/// edge to the right one (a single value in the middle), zero on the bottom
/// edge and the scale's top on the top edge. Values outside the scale are
/// held at its edges.
std::vector<QPointF> GraphPoints(const std::vector<double>& values, const QRectF& plot,
                                 const GraphScale& scale);

/// `colour`, or a lighter or darker shade of it when it is too close in
/// brightness to `background` to be seen on it.
QColor ReadableOn(const QColor& colour, const QColor& background);

class LineGraph : public QWidget {
  Q_OBJECT

 public:
  explicit LineGraph(QWidget* parent = nullptr);

  void SetCaption(const QString& caption);
  void SetAxisTitles(const QString& x_title, const QString& y_title);
  /// Invalid colours fall back to the palette's highlight.
  void SetLineColour(const QColor& colour);
  void SetValues(std::vector<double> values);

  const QString& Caption() const { return caption_; }
  const QString& XTitle() const { return x_title_; }
  const QString& YTitle() const { return y_title_; }
  const QColor& LineColour() const { return line_colour_; }
  const std::vector<double>& Values() const { return values_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  QString x_title_;
  QString y_title_;
  QColor line_colour_;
  std::vector<double> values_;
};

}  // namespace vossik
