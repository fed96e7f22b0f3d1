// The values a control remembers across runs in the preferences store: the
// list of values used before (preference "UsedList", kept by the list rule
// of the configuration file: items quoted as values are, an item with a
// comma in double quotes) and the value chosen last ("Selected").
//
// Every write saves the preferences store at once. User-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class SettingControl;

inline constexpr std::string_view kUsedListPreference = "UsedList";
inline constexpr std::string_view kSelectedPreference = "Selected";

/// The control's used values, oldest first.
std::vector<std::string> UsedValues(const SettingControl& control);
/// The value the control had when it was last saved ("" when none).
std::string SelectedValue(const SettingControl& control);

/// Records `text` as the selected value and adds it to the used values
/// unless it is there already (exact comparison) or empty.
void RememberValue(SettingControl& control, const std::string& text);

}  // namespace vossik
