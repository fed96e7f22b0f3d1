// `pageswitch`: a switch that enables or disables other controls as it is
// set, optionally asks before it is cleared, and clears the switches it
// excludes.
#include <QCheckBox>

#include "base/string_util.h"
#include "settings/typed_settings.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/switch_control.h"

namespace vossik {
namespace {

// The comma-separated uids of a list element's text (none without one).
std::vector<std::string> SplitUids(const std::string* text) {
  return text != nullptr ? SplitTrimmed(*text, ",") : std::vector<std::string>();
}

class PageSwitchControl : public SwitchControl {
 protected:
  bool StateSet(bool on, bool by_user) override {
    if (by_user && !on) {
      if (const std::string* prompt = ChildText("prompt")) {
        if (ShowMessageBox(Cell(), MessageKind::kQuestion, Caption(), *prompt) !=
            MessageAnswer::kYes) {
          SetChecked(true);
          return false;
        }
      }
    }
    Govern(BoolProperty("inverse") ? !on : on);
    Toggle(on, by_user);
    return true;
  }

 private:
  void Govern(bool enable) {
    if (Page() == nullptr) return;
    const std::vector<std::string> listed = SplitUids(ChildText("enable"));
    if (!listed.empty()) {
      Page()->EnableControls(enable, &listed, this);
      return;
    }
    Page()->EnableControls(enable, nullptr, this);
    if (Sheet() != nullptr) Sheet()->ShowTabIcons(enable);
  }

  void Toggle(bool on, bool by_user) {
    if (Store() == nullptr) return;
    for (const std::string& uid : SplitUids(ChildText("toggle"))) {
      // A toggled uid the descriptor lacks has nothing to switch.
      static_cast<void>(SetNumber(*Store(), Root(), AddressOf(uid), on ? 0 : 1));
      // Excluded switches shown on this page must show their new state, or
      // committing the page would write their old one back.
      if (!by_user || Page() == nullptr) continue;
      for (const auto& control : Page()->Controls()) {
        if (control && control.get() != this && control->Uid() == uid) {
          control->ExchangeValue(false);
        }
      }
    }
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakePageSwitchControl() {
  return std::make_unique<PageSwitchControl>();
}

}  // namespace vossik
