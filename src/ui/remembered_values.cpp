#include "ui/remembered_values.h"

#include <algorithm>

#include "settings/typed_settings.h"
#include "ui/setting_control.h"

namespace vossik {

std::vector<std::string> UsedValues(const SettingControl& control) {
  return ParseListValue(control.GetPreference(kUsedListPreference));
}

std::string SelectedValue(const SettingControl& control) {
  return control.GetPreference(kSelectedPreference);
}

void RememberValue(SettingControl& control, const std::string& text) {
  control.SetPreference(kSelectedPreference, text);
  if (text.empty()) return;
  std::vector<std::string> used = UsedValues(control);
  if (std::find(used.begin(), used.end(), text) != used.end()) return;
  used.push_back(text);
  control.SetPreference(kUsedListPreference, FormatListValue(used));
}

}  // namespace vossik
