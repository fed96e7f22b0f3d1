// The control factory turns the type name of a setting (the text of its
// `control` element) into a new SettingControl. Names the catalogue does not
// know are offered to the application's own factory; a name nobody knows
// gives no control, and the page keeps an empty slot for it.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace vossik {

class SettingControl;

/// An application's factory for its own control types: a new control, or
/// nullptr for a name it does not know either.
using ApplicationControlFactory =
    std::function<std::unique_ptr<SettingControl>(std::string_view type_name)>;

/// Makes one catalogue control type.
using ControlCreator = std::unique_ptr<SettingControl> (*)();

/// The catalogue's creator for `type_name` (exact, case-sensitive), or nullptr.
ControlCreator FindControlType(std::string_view type_name);

/// A new control of `type_name`: from the catalogue, else from
/// `application_factory` when given; nullptr when neither knows the name.
std::unique_ptr<SettingControl> MakeControl(std::string_view type_name,
                                            const ApplicationControlFactory& application_factory);

}  // namespace vossik
