// `popupbutton`: a button captioned `buttontext` (or "Edit...") that opens a
// pop-up settings window for its `definition` element, sharing this sheet's
// store. A second click replaces the pop-up it opened before. The pop-up's
// controls store their own values; this one stores nothing.
#include <QFontMetrics>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

constexpr int kMinButtonWidth = 64;
constexpr int kButtonPadding = 20;

class PopupButtonControl;

class PopupButtonCell : public ControlCell {
 public:
  PopupButtonCell(PopupButtonControl& control, QWidget* parent);

 protected:
  void LayoutChildren(int width, int height) override {
    QWidget* button = MainInput();
    const int wanted = std::max(kMinButtonWidth, button->fontMetrics().horizontalAdvance(
                                                     static_cast<QPushButton*>(button)->text()) +
                                                     kButtonPadding);
    button->setGeometry(kInputLeft, 0, std::min(wanted, std::max(0, width - kInputLeft)), height);
  }
};

class PopupButtonControl : public CellControl<PopupButtonCell, PopupButtonControl> {
 public:
  void ExchangeValue(bool) override {}
  bool HoldsValue() const override { return false; }

  void Open() {
    const XmlNode* definition = Child("definition");
    if (Sheet() == nullptr || definition == nullptr) return;
    if (popup_) popup_->window()->close();
    // On a sheet that edits one entry of a list the pop-up edits the same
    // entry; on any other sheet both indices are -1 anyway.
    popup_ = Sheet()->OpenPopup(definition, "", QIcon(), EntryIndex(), EntrySubIndex());
  }

  void SetEnabled(bool enable) override {
    SettingControl::SetEnabled(enable);
    if (auto* cell = Cell()) cell->MainInput()->setEnabled(enable && CanOpen());
  }

  bool CanOpen() const { return Child("definition") != nullptr; }

 private:
  QPointer<CGUIPropertySheet> popup_;
};

PopupButtonCell::PopupButtonCell(PopupButtonControl& control, QWidget* parent)
    : ControlCell(control, parent) {
  const std::string* caption = control.ChildText("buttontext");
  auto* button = new QPushButton(ToQString(caption != nullptr ? *caption : "Edit..."));
  button->setAutoDefault(false);
  // Without a definition there is nothing to open.
  button->setEnabled(control.CanOpen());
  connect(button, &QPushButton::clicked, this, [&control] { control.Open(); });
  SetMainInput(button);
}

}  // namespace

std::unique_ptr<SettingControl> MakePopupButtonControl() {
  return std::make_unique<PopupButtonControl>();
}

}  // namespace vossik
