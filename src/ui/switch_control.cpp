#include "ui/switch_control.h"

#include <QCheckBox>

#include "ui/control_catalogue.h"

namespace vossik {

SwitchCell::SwitchCell(SwitchControl& control, QWidget* parent) : ControlCell(control, parent) {
  auto* box = new QCheckBox(ToQString(EscapeMnemonics(control.Caption())));
  // clicked fires only for the user, never when loading sets the state.
  connect(box, &QCheckBox::clicked, this, [&control](bool on) { control.Clicked(on); });
  SetMainInput(box);
}

void SwitchCell::LayoutChildren(int width, int height) {
  MainInput()->setGeometry(0, 0, width, height);
}

QCheckBox* SwitchControl::CheckBox() const {
  return Cell() != nullptr ? qobject_cast<QCheckBox*>(Cell()->MainInput()) : nullptr;
}

std::string SwitchControl::Caption() const {
  std::string hint = Hint();
  return hint.empty() ? Name() : hint;
}

void SwitchControl::ExchangeValue(bool save) {
  QCheckBox* box = CheckBox();
  if (Store() == nullptr || box == nullptr) return;
  if (save) {
    SaveSwitch(box->isChecked());
    return;
  }
  const bool on = LoadSwitch();
  WhileLoading([&] {
    box->setChecked(on);
    StateSet(on, false);
  });
}

void SwitchControl::Clicked(bool on) {
  if (StateSet(on, true)) ReportChange();
}

bool SwitchControl::StateSet(bool, bool) { return true; }

void SwitchControl::SetChecked(bool on) {
  if (QCheckBox* box = CheckBox()) box->setChecked(on);
}

std::unique_ptr<SettingControl> MakeSwitchControl() { return std::make_unique<SwitchControl>(); }

}  // namespace vossik
