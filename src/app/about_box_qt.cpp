#include "app/about_box_qt.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/program_icon_qt.h"
#include "ui/control_cell.h"

namespace vossik {
namespace {

QLabel* CentredText(const std::string& text, const QRect& where, QWidget* parent) {
  auto* label = new QLabel(ToQString(text), parent);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(where);
  return label;
}

}  // namespace

AboutBoxLayout LayOutAboutBox(int width) {
  AboutBoxLayout layout;
  layout.icon = QRect(width / 2 - 16, 4, 32, 32);
  layout.name = QRect(4, 52, width - 8, 16);
  layout.version = QRect(4, 72, width - 8, 16);
  layout.ok = QRect((width - 100) / 2, 100, 100, 24);
  return layout;
}

std::string VersionText(const ProductIdentity& identity) {
  std::string text = "Version " + identity.version;
  if (!identity.build.empty()) text += " (" + identity.build + ")";
  return text;
}

AboutBox::AboutBox(const ProductIdentity& identity, QWidget* owner) : QDialog(owner) {
  setObjectName("about");
  setWindowTitle(ToQString("About " + identity.product_name));
  setFixedSize(kAboutBoxWidth, kAboutBoxHeight);

  const AboutBoxLayout layout = LayOutAboutBox(kAboutBoxWidth);
  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setGeometry(layout.icon);
  CentredText(identity.product_name, layout.name, this)->setObjectName("name");
  CentredText(VersionText(identity), layout.version, this)->setObjectName("version");

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  ok->setGeometry(layout.ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  // Centred over the owner's window, or over the screen without one.
  QRect area;
  if (owner != nullptr) {
    area = owner->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) move(area.center() - rect().center());
}

}  // namespace vossik
