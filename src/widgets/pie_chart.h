// PieChart draws shares of a whole as slices of a disc, with a caption
// above and a legend beside it naming each slice with its figure and
// percentage. Slices take the caller's colours in order; slices beyond
// them take colours of a built-in set. Background and text come from the
// palette, so the chart follows a light or a dark desktop.
//
// The slice angles and the geometry are plain functions (PieSpans,
// PieGeometryFor). User-interface thread only.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace vossik {

/// The span of each value in sixteenths of a degree, as QPainter takes
/// them. Values of zero or less (and values that are not numbers) get no
/// slice; the spans of the others add up to the full circle, 5760, the
/// last one taking what rounding left over. All zero when nothing is
/// positive.
std::vector<int> PieSpans(const std::vector<double>& values);

/// Where the disc and the legend go in a widget of `width` x `height` with
/// `entries` legend lines of `line_height`: the caption across the top, the
/// disc as large as the height allows but at most half the width, the
/// legend to its right.
struct PieGeometry {
  QRect caption;
  QRect disc;
  QRect legend;
};
PieGeometry PieGeometryFor(int width, int height, int line_height, int entries);

/// The colour of slice `index`: `colours[index]` when given and valid, else
/// one of a fixed set of distinct colours.
QColor SliceColour(const std::vector<QColor>& colours, std::size_t index);

class PieChart : public QWidget {
  Q_OBJECT

 public:
  explicit PieChart(QWidget* parent = nullptr);

  void SetCaption(const QString& caption);
  void SetSliceColours(std::vector<QColor> colours);
  void SetSliceTitles(QStringList titles);
  void SetValues(std::vector<double> values);

  const QString& Caption() const { return caption_; }
  const std::vector<QColor>& SliceColours() const { return colours_; }
  const QStringList& SliceTitles() const { return titles_; }
  const std::vector<double>& Values() const { return values_; }

  /// The legend line of slice `index`: "title: value (percent%)"; the title
  /// is "Slice N" when none was given.
  QString LegendText(std::size_t index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  std::vector<QColor> colours_;
  QStringList titles_;
  std::vector<double> values_;
};

}  // namespace vossik
