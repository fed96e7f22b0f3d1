// CellControl is the setting control of a cell type: it builds its window
// as a `CellType` and otherwise keeps the common value rules of
// SettingControl. A type whose window is all it adds is CellControl<XxxCell>
// itself; a type with rules of its own derives from CellControl<XxxCell,
// XxxControl> and then gets its own class in the cell's constructor.
//
// `CellType` must be constructible from (ControlType&, QWidget* parent) and
// derive from ControlCell; it must be a complete type wherever a control of
// this type is created.
#pragma once

#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {

template <class CellType, class ControlType = SettingControl>
class CellControl : public SettingControl {
 public:
  /// The cell as its own type, or nullptr before Create().
  CellType* TypedCell() const { return static_cast<CellType*>(Cell()); }

 protected:
  ControlCell* MakeCell(QWidget* parent) override {
    // The cell is made once the control is whole, so the cast to the
    // derived control names a finished object.
    return new CellType(static_cast<ControlType&>(*this), parent);
  }
};

}  // namespace vossik
