// `iphostname`: a label, two radio buttons that choose between a host name
// ("Name", with an edit box) and an address ("IP", with an IP address
// field), and the chosen input. The value is the host name or the dotted
// address; a stored dotted address opens in the IP mode.
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"
#include "widgets/ip_address_field.h"

namespace vossik {
namespace {

constexpr int kRadioExtra = 24;  // the radio's mark and its gap to the caption
constexpr int kInputGap = 4;

class IpHostnameCell : public ControlCell {
 public:
  IpHostnameCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    name_ = new QLineEdit;
    connect(name_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
    SetMainInput(name_);
    address_ = new IpAddressField;
    connect(address_, &IpAddressField::TextChanged, this, [this] { ReportChange(); });
    AddInput(address_, "address");

    name_mode_ = new QRadioButton("Name");
    ip_mode_ = new QRadioButton("IP");
    AddInput(name_mode_, "name");
    AddInput(ip_mode_, "ip");
    // Their own tooltips say what each mode is for, instead of the hint.
    name_mode_->setToolTip("This allows you to enter a hostname");
    ip_mode_->setToolTip("This allows you to enter an IP address");
    connect(name_mode_, &QRadioButton::clicked, this, [this] { Choose(false, true); });
    connect(ip_mode_, &QRadioButton::clicked, this, [this] { Choose(true, true); });
    CreateLabel();
    Choose(false, false);
  }

  void SetText(const std::string& text) override {
    const QString value = ToQString(text).trimmed();
    if (address_->SetText(value)) {
      name_->clear();
      Choose(true, false);
    } else {
      name_->setText(value);
      Choose(false, false);
    }
  }

  bool GetText(std::string* text) const override {
    *text = FromQString(ip_ ? address_->Text() : name_->text());
    return true;
  }

 protected:
  void LayoutChildren(int width, int height) override {
    ControlCell::LayoutChildren(width, height);
    int x = kInputLeft;
    for (QRadioButton* radio : {name_mode_, ip_mode_}) {
      const int w = radio->fontMetrics().horizontalAdvance(radio->text()) + kRadioExtra;
      radio->setGeometry(x, 0, w, height);
      x += w;
    }
    x += kInputGap;
    name_->setGeometry(x, 0, std::max(0, width - x), height);
    address_->setGeometry(x, 0, std::max(0, width - x), height);
  }

 private:
  // Shows the input of the chosen mode. A switch by the user carries over
  // what was typed in the other input when it fits and this one is empty.
  void Choose(bool ip, bool by_user) {
    const bool was_ip = ip_;
    ip_ = ip;
    name_mode_->setChecked(!ip);
    ip_mode_->setChecked(ip);
    name_->setVisible(!ip);
    address_->setVisible(ip);
    if (!by_user || was_ip == ip) return;
    if (ip && address_->IsBlank()) {
      address_->SetText(name_->text().trimmed());
    } else if (!ip && name_->text().isEmpty()) {
      name_->setText(address_->Text());
    }
    ReportChange();
  }

  QLineEdit* name_;
  IpAddressField* address_;
  QRadioButton* name_mode_;
  QRadioButton* ip_mode_;
  bool ip_ = false;
};

}  // namespace

std::unique_ptr<SettingControl> MakeIpHostnameControl() {
  return std::make_unique<CellControl<IpHostnameCell>>();
}

}  // namespace vossik
