// `xmlfields`: keeps local copies of the files its parameter lists, from
// the service, a web address or a file on this machine (file_list.h), for
// other parts of the program to read. It shows only its label and stores
// nothing; every load fetches the files again.
#include <memory>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/file_list.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

class XmlFieldsCell : public ControlCell {
 public:
  XmlFieldsCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    CreateLabel();
  }

  int PreferredHeight() const override { return kRowHeight; }

  void SetText(const std::string&) override {}
  bool GetText(std::string*) const override { return false; }
};

class XmlFieldsControl : public CellControl<XmlFieldsCell> {
 public:
  bool HoldsValue() const override { return false; }

  void ExchangeValue(bool save) override {
    if (save) return;
    files_.Configure(*this);
    files_.Fetch(*this);
  }

 private:
  FileList files_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeXmlFieldsControl() {
  return std::make_unique<XmlFieldsControl>();
}

}  // namespace vossik
