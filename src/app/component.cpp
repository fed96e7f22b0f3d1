#include "app/component.h"

namespace vossik {

Component::Component(std::string name, std::string section_uid)
    : name_(std::move(name)), section_uid_(std::move(section_uid)), log_(name_, false, true) {}

Component::~Component() = default;

bool Component::Configure(SettingsStore&, const XmlNode*) { return true; }

}  // namespace vossik
