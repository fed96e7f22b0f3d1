#include "widgets/pie_chart.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "widgets/line_graph.h"

namespace vossik {
namespace {

constexpr int kFullCircle = 360 * 16;
constexpr int kSwatch = 10;

bool Counts(double value) { return std::isfinite(value) && value > 0; }

double Total(const std::vector<double>& values) {
  double total = 0;
  for (const double value : values) {
    if (Counts(value)) total += value;
  }
  return total;
}

}  // namespace

std::vector<int> PieSpans(const std::vector<double>& values) {
  std::vector<int> spans(values.size(), 0);
  const double total = Total(values);
  if (total <= 0) return spans;
  int given = 0;
  std::size_t last = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!Counts(values[i])) continue;
    spans[i] = int(std::lround(values[i] / total * kFullCircle));
    given += spans[i];
    last = i;
  }
  spans[last] += kFullCircle - given;
  return spans;
}

PieGeometry PieGeometryFor(int width, int height, int line_height, int entries) {
  PieGeometry g;
  g.caption = QRect(4, 1, std::max(0, width - 8), line_height + 2);
  const int top = g.caption.bottom() + 5;
  const int room = std::max(0, height - top - 4);
  const int side = std::max(0, std::min(room, width / 2 - 8));
  g.disc = QRect(8, top + (room - side) / 2, side, side);
  const int legend_left = g.disc.right() + 12;
  const int legend_height = std::min(room, entries * line_height);
  g.legend = QRect(legend_left, top + (room - legend_height) / 2,
                   std::max(0, width - 4 - legend_left), legend_height);
  return g;
}

QColor SliceColour(const std::vector<QColor>& colours, std::size_t index) {
  if (index < colours.size() && colours[index].isValid()) return colours[index];
  // Distinct hues of middle brightness, readable on light and dark grounds.
  static const std::array<QColor, 8> kSet = {QColor(0x3A, 0x7C, 0xC9), QColor(0xE0, 0x8A, 0x1E),
                                             QColor(0x4C, 0xA6, 0x4C), QColor(0xC9, 0x4A, 0x4A),
                                             QColor(0x8E, 0x6B, 0xBF), QColor(0x3F, 0xA8, 0xA8),
                                             QColor(0xBF, 0x9B, 0x30), QColor(0xC0, 0x60, 0xA0)};
  return kSet[index % kSet.size()];
}

PieChart::PieChart(QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void PieChart::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void PieChart::SetSliceColours(std::vector<QColor> colours) {
  colours_ = std::move(colours);
  update();
}

void PieChart::SetSliceTitles(QStringList titles) {
  titles_ = std::move(titles);
  update();
}

void PieChart::SetValues(std::vector<double> values) {
  values_ = std::move(values);
  update();
}

QString PieChart::LegendText(std::size_t index) const {
  const QString title = index < std::size_t(titles_.size()) && !titles_[qsizetype(index)].isEmpty()
                            ? titles_[qsizetype(index)]
                            : tr("Slice %1").arg(index + 1);
  const double value = index < values_.size() ? values_[index] : 0;
  const double total = Total(values_);
  const double percent = total > 0 && Counts(value) ? value / total * 100 : 0;
  return QString("%1: %2 (%3%)").arg(title, AxisLabel(value), AxisLabel(std::round(percent)));
}

QSize PieChart::sizeHint() const { return {240, 120}; }

QSize PieChart::minimumSizeHint() const { return {120, fontMetrics().height() * 5}; }

void PieChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  const QColor text = colours.color(QPalette::Text);
  const QColor base = colours.color(QPalette::Base);
  const QFontMetrics metrics = fontMetrics();
  const PieGeometry g =
      PieGeometryFor(width(), height(), metrics.height(), std::max<int>(1, int(values_.size())));

  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(text);
  painter.drawText(g.caption, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(bold).elidedText(caption_, Qt::ElideRight, g.caption.width()));
  painter.setFont(font());

  const std::vector<int> spans = PieSpans(values_);
  if (std::all_of(spans.begin(), spans.end(), [](int span) { return span == 0; })) {
    painter.setPen(colours.color(QPalette::Mid));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(g.disc);
    painter.setPen(colours.color(QPalette::PlaceholderText));
    painter.drawText(g.legend.isEmpty() ? g.disc : g.legend, Qt::AlignLeft | Qt::AlignVCenter,
                     tr("No figures yet"));
    return;
  }
  // Clockwise from twelve o'clock, the slices parted by the background.
  int start = 90 * 16;
  painter.setPen(QPen(base, 1));
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (spans[i] == 0) continue;
    painter.setBrush(SliceColour(colours_, i));
    painter.drawPie(g.disc, start, -spans[i]);
    start -= spans[i];
  }

  int y = g.legend.top();
  for (std::size_t i = 0; i < values_.size() && y + metrics.height() <= g.legend.bottom() + 1;
       ++i) {
    painter.setPen(colours.color(QPalette::Mid));
    painter.setBrush(SliceColour(colours_, i));
    painter.drawRect(
        QRect(g.legend.left(), y + (metrics.height() - kSwatch) / 2, kSwatch, kSwatch));
    painter.setPen(text);
    const QRect line(g.legend.left() + kSwatch + 6, y, g.legend.width() - kSwatch - 6,
                     metrics.height());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(LegendText(i), Qt::ElideRight, line.width()));
    y += metrics.height();
  }
}

}  // namespace vossik
