// `statscontrol`: a service's statistics as read-only text fields, line
// graphs and pie charts, with a Refresh button. Each `statistic` of the
// parameter's `definition` names the keys it shows (`from`) in the section
// "Statistics" of the fetched file, whose root element's text is a
// configuration file. A file on this machine, kept as "<file><data>...",
// holds that text in its `data` element instead.
//
// Displays by `type`: "graph" (`xaxis`, `yaxis` and a `color` element), "pie"
// (`colors`, and slice titles from `titles` or, for slices that change from
// build to build, from the statistics key named by `titlesfrom`), anything
// else a text field. It stores nothing; every load fetches and shows afresh.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "settings/settings_store.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/data_view_layout.h"
#include "ui/file_list.h"
#include "ui/setting_control.h"
#include "widgets/hex_colour.h"
#include "widgets/line_graph.h"
#include "widgets/pie_chart.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr std::size_t kMaxStatistics = 256;
constexpr int kGraphHeight = 110;
constexpr std::string_view kStatisticsSection = "Statistics";

enum class Display { kText, kGraph, kPie };

struct Statistic {
  std::string name;
  std::string label;  // the name and ":"
  std::string hint;
  bool align_right = false;
  Display display = Display::kText;
  std::string x_axis;
  std::string y_axis;
  QColor colour;
  std::vector<QColor> colours;
  QStringList titles;
  std::string titles_from;
  std::vector<std::string> keys;
};

std::string AttributeOf(const XmlNode& element, std::string_view name) {
  const std::string* value = element.Attribute(name);
  return value != nullptr ? *value : std::string();
}

std::vector<Statistic> StatisticsOf(const SettingControl& control) {
  std::vector<Statistic> statistics;
  const XmlNode* definition = control.Child("definition");
  if (definition == nullptr) return statistics;
  for (const XmlNode* node = definition->FirstChild();
       node != nullptr && statistics.size() < kMaxStatistics; node = node->NextSibling()) {
    if (node->Name() != "statistic") continue;
    Statistic s;
    s.name = AttributeOf(*node, "name");
    s.label = s.name + ":";
    if (const std::string* hint = node->ElementText("hint", nullptr, false)) s.hint = *hint;
    s.align_right = AttributeOf(*node, "align") == "right";
    const std::string type = AttributeOf(*node, "type");
    if (EqualsIgnoringCase(type, "graph")) s.display = Display::kGraph;
    if (EqualsIgnoringCase(type, "pie")) s.display = Display::kPie;
    s.x_axis = AttributeOf(*node, "xaxis");
    s.y_axis = AttributeOf(*node, "yaxis");
    if (const std::string* colour = node->ElementText("color", nullptr, false)) {
      s.colour = ColourFromHex(*colour);
    }
    for (const std::string& hex : SplitTrimmed(AttributeOf(*node, "colors"), ",")) {
      s.colours.push_back(ColourFromHex(hex));
    }
    for (const std::string& title : SplitTrimmed(AttributeOf(*node, "titles"), ",")) {
      s.titles << ToQString(title);
    }
    s.titles_from = AttributeOf(*node, "titlesfrom");
    s.keys = SplitTrimmed(AttributeOf(*node, "from"), ",");
    statistics.push_back(std::move(s));
  }
  return statistics;
}

std::vector<double> Numbers(const std::string& joined) {
  std::vector<double> numbers;
  for (const std::string& item : SplitTrimmed(joined, ",")) {
    numbers.push_back(std::strtod(item.c_str(), nullptr));
  }
  return numbers;
}

class StatsCell : public ControlCell {
 public:
  StatsCell(SettingControl& control, QWidget* parent)
      : ControlCell(control, parent), statistics_(StatisticsOf(control)) {
    int index = 0;
    for (const Statistic& s : statistics_) {
      Piece piece;
      const std::string suffix = s.name.empty() ? "statistic" + std::to_string(index) : s.name;
      switch (s.display) {
        case Display::kGraph: {
          auto* graph = new LineGraph;
          graph->SetCaption(ToQString(s.label));
          graph->SetAxisTitles(ToQString(s.x_axis), ToQString(s.y_axis));
          graph->SetLineColour(s.colour);
          piece.graph = graph;
          AddPiece(graph, suffix, s.hint);
          break;
        }
        case Display::kPie: {
          auto* pie = new PieChart;
          pie->SetCaption(ToQString(s.label));
          pie->SetSliceColours(s.colours);
          pie->SetSliceTitles(s.titles);
          piece.pie = pie;
          AddPiece(pie, suffix, s.hint);
          break;
        }
        case Display::kText: {
          piece.label = new QLabel(ToQString(EscapeMnemonics(s.label)));
          piece.label->setTextFormat(Qt::PlainText);
          AddPiece(piece.label, suffix + "/label", s.hint);
          piece.field = new QLineEdit;
          piece.field->setReadOnly(true);
          AddPiece(piece.field, suffix, s.hint);
          break;
        }
      }
      pieces_.push_back(piece);
      ++index;
    }
    refresh_ = new QPushButton(tr("Refresh"));
    refresh_->setAutoDefault(false);
    AddInput(refresh_, "refresh");
    connect(refresh_, &QPushButton::clicked, this, [&control] { RefreshPage(control); });
  }

  int PreferredHeight() const override { return StatisticsPreferredHeight(Slots()); }

  /// Shows `section` (a configuration text) in every statistic; an empty
  /// text empties them.
  void Show(const std::string& text) {
    SettingsStore store;
    const bool parsed = !text.empty() && store.Parse(text) == kResultOk;
    const auto value = [&](const std::string& key) {
      std::string out;
      if (!parsed || store.GetValue(kStatisticsSection, key, "", &out) != kResultOk) out.clear();
      return out;
    };
    for (std::size_t i = 0; i < statistics_.size(); ++i) {
      const Statistic& s = statistics_[i];
      std::string joined;
      for (std::size_t k = 0; k < s.keys.size(); ++k) {
        if (k > 0) joined += ',';
        joined += value(s.keys[k]);
      }
      const Piece& piece = pieces_[i];
      if (piece.field != nullptr) piece.field->setText(ToQString(parsed ? joined : std::string()));
      if (piece.graph != nullptr)
        piece.graph->SetValues(parsed ? Numbers(joined) : std::vector<double>());
      if (piece.pie != nullptr) {
        if (!s.titles_from.empty()) {
          QStringList titles;
          for (const std::string& title : SplitTrimmed(value(s.titles_from), ",")) {
            titles << ToQString(title);
          }
          piece.pie->SetSliceTitles(titles);
        }
        piece.pie->SetValues(parsed ? Numbers(joined) : std::vector<double>());
      }
    }
  }

  void SetText(const std::string&) override {}
  bool GetText(std::string*) const override { return false; }

 protected:
  void LayoutChildren(int width, int height) override {
    const StatisticsLayout layout = LayOutStatistics(width, height, Slots());
    // The labels of a column are as wide as its widest (at most the usual
    // label column), so that its values line up and keep their room.
    int label_widths[2] = {0, 0};
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      if (pieces_[i].label == nullptr) continue;
      int& widest = label_widths[layout.statistics[i].left > 0 ? 1 : 0];
      widest = std::max(widest, pieces_[i].label->sizeHint().width() + 6);
    }
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      const Rect& r = layout.statistics[i];
      const Piece& piece = pieces_[i];
      QWidget* whole = piece.graph != nullptr ? static_cast<QWidget*>(piece.graph) : piece.pie;
      if (whole != nullptr) {
        whole->setGeometry(r.left, r.top, r.width, r.height);
        continue;
      }
      // A text field: its label, then the value.
      const int label_width =
          std::min({kLabelWidth, r.width / 2 - 4, label_widths[r.left > 0 ? 1 : 0]});
      piece.label->setGeometry(r.left, r.top + kLabelTop, label_width, r.height - kLabelTop);
      const int field_left = r.left + label_width + 8;
      piece.field->setGeometry(field_left, r.top, std::max(0, r.Right() - field_left), r.height);
    }
    refresh_->setGeometry(layout.refresh.left, layout.refresh.top, layout.refresh.width,
                          layout.refresh.height);
  }

 private:
  struct Piece {
    QLabel* label = nullptr;
    QLineEdit* field = nullptr;
    LineGraph* graph = nullptr;
    PieChart* pie = nullptr;
  };

  void AddPiece(QWidget* widget, const std::string& suffix, const std::string& hint) {
    AddInput(widget, suffix);
    // Each statistic has a hint of its own.
    widget->setToolTip(ToQString(hint));
  }

  std::vector<StatisticSlot> Slots() const {
    std::vector<StatisticSlot> statistic_slots;
    for (const Statistic& s : statistics_) {
      const bool drawn = s.display != Display::kText;
      statistic_slots.push_back({drawn ? kGraphHeight : kRowHeight, s.align_right, drawn});
    }
    return statistic_slots;
  }

  std::vector<Statistic> statistics_;
  std::vector<Piece> pieces_;
  QPushButton* refresh_;
};

class StatsControl : public CellControl<StatsCell> {
 public:
  bool HoldsValue() const override { return false; }
  void RefreshAction() override { RefreshPage(*this); }

  void ExchangeValue(bool save) override {
    StatsCell* cell = TypedCell();
    if (save || cell == nullptr) return;
    files_.Configure(*this);
    files_.Fetch(*this);
    std::string copy;
    std::string text;
    if (files_.Read(*this, {}, &copy) && StatisticsText(copy, &text)) {
      cell->Show(text);
    } else {
      cell->Show({});
    }
  }

 private:
  FileList files_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeStatsControl() { return std::make_unique<StatsControl>(); }

}  // namespace vossik
