// `iplist`: a list of IPv4 addresses typed into an IP address field, kept
// sorted, stored as a list value. Items already stored (networks, IPv6
// addresses) are shown and kept as they are; Import, when the descriptor
// gives it, brings in such entries from a file.
#include "ui/control_catalogue.h"
#include "ui/item_list.h"
#include "widgets/ip_address_field.h"

namespace vossik {
namespace {

class IpListCell : public ItemListCell {
 public:
  IpListCell(SettingControl& control, QWidget* parent)
      : ItemListCell(control, parent, Order::kSorted) {
    input_ = new IpAddressField;
    AddInput(input_, "input");
    connect(input_, &IpAddressField::TextChanged, this, [this] { RefreshButtons(); });
    FinishCreating();
  }

 protected:
  std::string InputText() const override { return FromQString(input_->Text()); }
  void ClearInput() override { input_->clear(); }
  void FocusInput() override { input_->setFocus(); }
  QWidget* EnterTarget() const override { return input_; }

 private:
  IpAddressField* input_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeIpListControl() {
  return std::make_unique<ItemListControlOf<IpListCell>>();
}

}  // namespace vossik
