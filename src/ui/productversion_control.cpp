// `productversion`: an edit box showing the product's name and its major
// and minor version ("Vossik 1.1"). It stores nothing.
#include <QLineEdit>

#include "base/product_identity.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

// The `index`th dot-separated part of `version` ("0" when it has none).
std::string VersionPart(const std::string& version, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    start = version.find('.', start);
    if (start == std::string::npos) return "0";
    ++start;
  }
  const std::string part = version.substr(start, version.find('.', start) - start);
  return part.empty() ? "0" : part;
}

class ProductVersionCell : public ControlCell {
 public:
  ProductVersionCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    auto* edit = new QLineEdit;
    // Nothing typed here would be kept.
    edit->setReadOnly(true);
    SetMainInput(edit);
    CreateLabel();
  }
};

class ProductVersionControl : public CellControl<ProductVersionCell> {
 public:
  void ExchangeValue(bool save) override {
    if (save || Cell() == nullptr) return;
    const ProductIdentity& product = VossikIdentity();
    const std::string text = product.product_name + " " + VersionPart(product.version, 0) + "." +
                             VersionPart(product.version, 1);
    WhileLoading([&] { Cell()->SetText(text); });
  }
  bool HoldsValue() const override { return false; }
};

}  // namespace

std::unique_ptr<SettingControl> MakeProductVersionControl() {
  return std::make_unique<ProductVersionControl>();
}

}  // namespace vossik
