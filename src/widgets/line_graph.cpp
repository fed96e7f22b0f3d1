#include "widgets/line_graph.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vossik {
namespace {

constexpr int kSteps = 4;

// Perceived brightness, 0 to 255.
int Brightness(const QColor& colour) {
  return (colour.red() * 299 + colour.green() * 587 + colour.blue() * 114) / 1000;
}

}  // namespace

GraphScale GraphScaleFor(double largest) {
  if (!(largest > 0)) return {};
  const double rough = largest / kSteps;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = 10 * power;
  for (const double multiple : {1.0, 2.0, 2.5, 5.0}) {
    if (multiple * power >= rough) {
      step = multiple * power;
      break;
    }
  }
  // Rounding in the division must not add an empty step on top.
  const double steps = std::ceil(largest / step - 1e-9);
  return {std::max(1.0, steps) * step, step};
}

QString AxisLabel(double value) {
  QString text = QString::number(value, 'f', 2);
  while (text.endsWith('0')) text.chop(1);
  if (text.endsWith('.')) text.chop(1);
  return text == "-0" ? QString("0") : text;
}

LineGraphGeometry LineGraphGeometryFor(int width, int height, int line_height, int label_width,
                                       bool has_y_title, bool has_x_title) {
  LineGraphGeometry g;
  g.caption = QRect(4, 1, std::max(0, width - 8), line_height + 2);
  const int half = line_height / 2;
  const int top = g.caption.bottom() + 1 + half;
  const int bottom_room = (has_x_title ? line_height + 2 : 0) + half + 2;
  const int bottom = std::max(top, height - bottom_room);
  const int y_title_width = has_y_title ? line_height + 2 : 0;
  const int labels_left = 2 + y_title_width;
  g.labels = QRect(labels_left, top - half, label_width, bottom - top + line_height);
  const int plot_left = labels_left + label_width + 4;
  g.plot = QRect(plot_left, top, std::max(0, width - 10 - plot_left), bottom - top);
  g.y_title = QRect(2, top, y_title_width, bottom - top);
  g.x_title = has_x_title ? QRect(plot_left, bottom + half + 1, g.plot.width(), line_height + 1)
                          : QRect(plot_left, bottom, g.plot.width(), 0);
  return g;
}

std::vector<QPointF> GraphPoints(const std::vector<double>& values, const QRectF& plot,
                                 const GraphScale& scale) {
  std::vector<QPointF> points;
  points.reserve(values.size());
  const double top = scale.top > 0 ? scale.top : 1;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double x = values.size() == 1
                         ? plot.left() + plot.width() / 2
                         : plot.left() + plot.width() * double(i) / double(values.size() - 1);
    const double share = std::clamp(values[i] / top, 0.0, 1.0);
    points.emplace_back(x, plot.bottom() - plot.height() * share);
  }
  return points;
}

QColor ReadableOn(const QColor& colour, const QColor& background) {
  constexpr int kEnough = 90;
  QColor shade = colour;
  const bool dark_background = Brightness(background) < 128;
  for (int i = 0; i < 8 && std::abs(Brightness(shade) - Brightness(background)) < kEnough; ++i) {
    shade = dark_background ? shade.lighter(135) : shade.darker(135);
    // Black cannot be lightened by scaling its value; start from grey.
    if (dark_background && shade.value() == 0) shade = QColor(128, 128, 128);
  }
  return shade;
}

LineGraph::LineGraph(QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void LineGraph::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void LineGraph::SetAxisTitles(const QString& x_title, const QString& y_title) {
  x_title_ = x_title;
  y_title_ = y_title;
  update();
}

void LineGraph::SetLineColour(const QColor& colour) {
  line_colour_ = colour;
  update();
}

void LineGraph::SetValues(std::vector<double> values) {
  values_ = std::move(values);
  update();
}

QSize LineGraph::sizeHint() const { return {240, 120}; }

QSize LineGraph::minimumSizeHint() const { return {120, fontMetrics().height() * 5}; }

void LineGraph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  const QColor text = colours.color(QPalette::Text);
  const QColor base = colours.color(QPalette::Base);
  const QFontMetrics metrics = fontMetrics();

  double largest = 0;
  for (const double value : values_) largest = std::max(largest, value);
  const GraphScale scale = GraphScaleFor(largest);
  int label_width = 0;
  for (double value = 0; value <= scale.top + scale.step / 2; value += scale.step) {
    label_width = std::max(label_width, metrics.horizontalAdvance(AxisLabel(value)));
  }
  const LineGraphGeometry g = LineGraphGeometryFor(width(), height(), metrics.height(), label_width,
                                                   !y_title_.isEmpty(), !x_title_.isEmpty());

  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));

  painter.setPen(text);
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(g.caption, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(bold).elidedText(caption_, Qt::ElideRight, g.caption.width()));
  painter.setFont(font());

  // Grid lines and their labels at every step.
  const QColor grid = ReadableOn(colours.color(QPalette::Midlight), base);
  for (int i = 0; i * scale.step <= scale.top + scale.step / 2; ++i) {
    const double value = i * scale.step;
    const double y = g.plot.bottom() - g.plot.height() * (value / scale.top);
    painter.setPen(QPen(i == 0 ? text : grid, 1));
    painter.drawLine(QPointF(g.plot.left(), y), QPointF(g.plot.right(), y));
    painter.setPen(text);
    painter.drawText(
        QRectF(g.labels.left(), y - metrics.height() / 2.0, g.labels.width(), metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, AxisLabel(value));
  }
  painter.setPen(text);
  painter.drawLine(g.plot.bottomLeft(), g.plot.topLeft());

  if (!x_title_.isEmpty()) {
    painter.drawText(g.x_title, Qt::AlignHCenter | Qt::AlignTop,
                     metrics.elidedText(x_title_, Qt::ElideRight, g.x_title.width()));
  }
  if (!y_title_.isEmpty()) {
    painter.save();
    painter.translate(g.y_title.left(), g.y_title.bottom());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, g.y_title.height(), g.y_title.width()), Qt::AlignCenter,
                     metrics.elidedText(y_title_, Qt::ElideRight, g.y_title.height()));
    painter.restore();
  }

  if (values_.empty()) {
    painter.setPen(colours.color(QPalette::PlaceholderText));
    painter.drawText(g.plot, Qt::AlignCenter, tr("No figures yet"));
    return;
  }
  const QColor line =
      ReadableOn(line_colour_.isValid() ? line_colour_ : colours.color(QPalette::Highlight), base);
  const std::vector<QPointF> points = GraphPoints(values_, QRectF(g.plot), scale);
  painter.setPen(QPen(line, 2));
  if (points.size() > 1) painter.drawPolyline(points.data(), int(points.size()));
  painter.setBrush(line);
  for (const QPointF& point : points) painter.drawEllipse(point, 2.5, 2.5);
}

}  // namespace vossik
