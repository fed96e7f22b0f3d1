// SwitchControl is the `switch` setting control: one check box captioned
// with the hint (or the name), stored as 1 or 0 through the switch rules.
// `pageswitch` derives from it to govern other controls.
#pragma once

#include <string>

#include "ui/cell_control.h"

class QCheckBox;

namespace vossik {

class SwitchControl;

/// The window of a switch: its check box across the whole cell, no label.
class SwitchCell : public ControlCell {
 public:
  SwitchCell(SwitchControl& control, QWidget* parent);

 protected:
  void LayoutChildren(int width, int height) override;
};

class SwitchControl : public CellControl<SwitchCell, SwitchControl> {
 public:
  void ExchangeValue(bool save) override;

  /// The check box (nullptr before Create()).
  QCheckBox* CheckBox() const;
  /// The caption as shown: the hint, or the name when there is no hint.
  std::string Caption() const;

  /// The check box was clicked (called by the cell).
  void Clicked(bool on);

 protected:
  /// The state was set, by the user (`by_user`) or by loading. A type may
  /// take the check back with SetChecked() and return false, and then no
  /// change is reported.
  virtual bool StateSet(bool on, bool by_user);
  void SetChecked(bool on);
};

}  // namespace vossik
