// `flagselect`: one check box per name of the `allowed` list, flowing left
// to right and onto further rows when the cell is too narrow. The value is
// the checked names, each followed by "+" ("Error+Warning+").
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

constexpr int kBoxPadding = 24;  // a box is its caption's width plus this
constexpr int kBoxAdvance = 28;  // the next box starts this far past the caption's width

class FlagSelectCell : public ControlCell {
 public:
  FlagSelectCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    CreateLabel();
    const std::string* allowed = control.ChildText("allowed");
    names_ = SplitTrimmed(allowed != nullptr ? *allowed : std::string_view(), ",");
    for (const std::string& name : names_) {
      auto* box = new QCheckBox(ToQString(EscapeMnemonics(name)));
      // clicked fires only for the user, never when loading sets the state.
      connect(box, &QCheckBox::clicked, this, [this] { ReportChange(); });
      if (boxes_.empty()) {
        SetMainInput(box);
      } else {
        AddInput(box, name);
      }
      boxes_.push_back(box);
    }
  }

  // The cell grows by one row for each further row of boxes.
  int Place(const Rect& rect) override {
    const std::vector<QRect> boxes = Flow(rect.width);
    const int rows = boxes.empty() ? 1 : boxes.back().top() / kRowHeight + 1;
    const int height = rect.height + (rows - 1) * kRowHeight;
    setGeometry(rect.left, rect.top, rect.width, height);
    Label()->setGeometry(0, kLabelTop, kLabelWidth, rect.height - kLabelTop);
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setGeometry(boxes[i]);
    return height;
  }

  void SetText(const std::string& text) override {
    const std::vector<std::string> pieces = SplitTrimmed(text, ", +|\\/");
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      bool on = false;
      for (const std::string& piece : pieces) on = on || EqualsIgnoringCase(piece, names_[i]);
      boxes_[i]->setChecked(on);
    }
  }

  bool GetText(std::string* text) const override {
    text->clear();
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      if (boxes_[i]->isChecked()) *text += names_[i] + "+";
    }
    return true;
  }

 private:
  // The boxes' rectangles in a cell `width` wide. A box that would pass the
  // right edge starts a new row, unless it is the first of its row.
  std::vector<QRect> Flow(int width) const {
    std::vector<QRect> rects;
    int left = kInputLeft;
    int top = 0;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      const int caption = boxes_[i]->fontMetrics().horizontalAdvance(ToQString(names_[i]));
      if (left > kInputLeft && left + caption + kBoxPadding > width) {
        left = kInputLeft;
        top += kRowHeight;
      }
      rects.emplace_back(left, top, caption + kBoxPadding, kRowHeight);
      left += caption + kBoxAdvance;
    }
    return rects;
  }

  std::vector<std::string> names_;
  std::vector<QCheckBox*> boxes_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeFlagSelectControl() {
  return std::make_unique<CellControl<FlagSelectCell>>();
}

}  // namespace vossik
