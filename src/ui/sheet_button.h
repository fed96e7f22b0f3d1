// The push buttons of the settings sheet and its wizard (OK, Apply, Cancel,
// Help, Back, Next, Finish). None is ever the default button, so Enter in
// an input never presses one that would close the sheet; Enter on a focused
// button presses that button, as Space does.
#pragma once

#include <QPushButton>

namespace vossik {

class SheetButton : public QPushButton {
  Q_OBJECT

 public:
  /// A button on `parent` named `name` (its objectName) with `caption`.
  SheetButton(QWidget* parent, const char* name, const char* caption);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vossik
