#include "ui/sheet_button.h"

#include <QKeyEvent>

namespace vossik {

SheetButton::SheetButton(QWidget* parent, const char* name, const char* caption)
    : QPushButton(QString::fromUtf8(caption), parent) {
  setObjectName(QString::fromUtf8(name));
  setAutoDefault(false);
  setDefault(false);
}

void SheetButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && isEnabled()) {
    click();
    event->accept();
    return;
  }
  QPushButton::keyPressEvent(event);
}

}  // namespace vossik
