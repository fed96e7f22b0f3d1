// AboutBox is the small modal window that names the product and its version:
// the program icon, the product name, "Version 1.1.0 (000)" and an OK
// button, on a client area of fixed size centred over its owner (or the
// screen). Its geometry comes from LayOutAboutBox so it can be checked
// without a window.
#pragma once

#include <QDialog>
#include <QRect>
#include <string>

#include "base/product_identity.h"

namespace vossik {

/// The About box's client size.
inline constexpr int kAboutBoxWidth = 300;
inline constexpr int kAboutBoxHeight = 160;

/// Where the About box's parts go in a client area `width` pixels wide.
struct AboutBoxLayout {
  QRect icon;     // 32 x 32, centred, at the top
  QRect name;     // the product name, centred
  QRect version;  // the version line, centred
  QRect ok;       // the OK button, 100 wide, centred
};

AboutBoxLayout LayOutAboutBox(int width);

/// "Version <version> (<build>)", or "Version <version>" when the build is empty.
std::string VersionText(const ProductIdentity& identity);

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(const ProductIdentity& identity, QWidget* owner = nullptr);
};

}  // namespace vossik
