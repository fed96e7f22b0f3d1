#include "ui/control_factory.h"

#include "ui/control_catalogue.h"
#include "ui/setting_control.h"

namespace vossik {

ControlCreator FindControlType(std::string_view type_name) {
  for (const CatalogueEntry& entry : Catalogue()) {
    if (entry.type_name == type_name) return entry.create;
  }
  return nullptr;
}

std::unique_ptr<SettingControl> MakeControl(std::string_view type_name,
                                            const ApplicationControlFactory& application_factory) {
  if (ControlCreator create = FindControlType(type_name)) return create();
  if (application_factory) return application_factory(type_name);
  return nullptr;
}

}  // namespace vossik
