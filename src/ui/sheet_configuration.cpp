#include "ui/sheet_configuration.h"

#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"

namespace vossik {

SettingsStore* LocalConfiguration::LoadConfiguration(CGUIPropertySheet&) { return store_; }

bool LocalConfiguration::ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) {
  if (store.Save() == kResultOk) return true;
  const std::string text = "The configuration file '" + store.FileName() +
                           "' could not be written.\nPlease check disk space and permissions.";
  ShowAdminMessage(&sheet, MessageKind::kWarning, sheet.ProductName(), text);
  return false;
}

void LocalConfiguration::DiscardChanges(CGUIPropertySheet&, SettingsStore& store) {
  if (store.FileName().empty()) return;
  // A file that can no longer be read leaves the store as it is; there is
  // nothing better to go back to.
  static_cast<void>(store.Load(store.FileName()));
}

void LocalConfiguration::Closing(CGUIPropertySheet&) {}

}  // namespace vossik
