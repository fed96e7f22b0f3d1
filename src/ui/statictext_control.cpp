// `statictext`: the hint shown in the label column; it stores nothing.
#include <QLabel>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

class StaticTextCell : public ControlCell {
 public:
  StaticTextCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    auto* text = new QLabel(ToQString(control.Hint()));
    text->setTextFormat(Qt::PlainText);
    SetMainInput(text);
  }

  int PreferredHeight() const override { return kRowHeight; }

 protected:
  void LayoutChildren(int, int height) override {
    MainInput()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
  }
};

class StaticTextControl : public CellControl<StaticTextCell> {
 public:
  void ExchangeValue(bool) override {}
  bool HoldsValue() const override { return false; }
};

}  // namespace

std::unique_ptr<SettingControl> MakeStaticTextControl() {
  return std::make_unique<StaticTextControl>();
}

}  // namespace vossik
