// `messagebutton`: a button that asks the application's main window to
// start its main task (event 2591). It stores nothing.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <algorithm>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

class MessageButtonCell : public ControlCell {
 public:
  MessageButtonCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    const std::string* caption = control.ChildText("buttontext");
    button_ = new QPushButton(ToQString(caption != nullptr ? *caption : "Edit..."));
    button_->setAutoDefault(false);
    connect(button_, &QPushButton::clicked, this, [&control] {
      CGUIPropertySheet* sheet = control.Sheet();
      if (sheet != nullptr && sheet->MainWindow() != nullptr) {
        QCoreApplication::postEvent(sheet->MainWindow(), new QEvent(kStartMainTaskEvent));
      }
    });
    SetMainInput(button_);
  }

 protected:
  void LayoutChildren(int width, int height) override {
    const int wanted = std::max(64, button_->fontMetrics().horizontalAdvance(button_->text()) + 20);
    button_->setGeometry(kInputLeft, 0, std::min(wanted, std::max(0, width - kInputLeft)), height);
  }

 private:
  QPushButton* button_;
};

class MessageButtonControl : public CellControl<MessageButtonCell> {
 public:
  void ExchangeValue(bool) override {}
  bool HoldsValue() const override { return false; }
};

}  // namespace

std::unique_ptr<SettingControl> MakeMessageButtonControl() {
  return std::make_unique<MessageButtonControl>();
}

}  // namespace vossik
