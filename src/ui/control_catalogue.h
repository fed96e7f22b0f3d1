// The catalogue of setting control types: one creator per type, defined in
// the type's own source file and listed by name in control_catalogue.cpp.
// A new type adds its creator here and its row to that table.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "ui/control_factory.h"

namespace vossik {

struct CatalogueEntry {
  std::string_view type_name;
  ControlCreator create;
};

/// The known types, by name.
std::span<const CatalogueEntry> Catalogue();

std::unique_ptr<SettingControl> MakeStaticTextControl();
std::unique_ptr<SettingControl> MakeEditControl();
std::unique_ptr<SettingControl> MakeSwitchControl();
std::unique_ptr<SettingControl> MakePageSwitchControl();
std::unique_ptr<SettingControl> MakeMessageButtonControl();
std::unique_ptr<SettingControl> MakeNumberControl();
std::unique_ptr<SettingControl> MakePortControl();
std::unique_ptr<SettingControl> MakeUnitNumberControl();
std::unique_ptr<SettingControl> MakeSliderControl();
std::unique_ptr<SettingControl> MakeMultiSliderControl();
std::unique_ptr<SettingControl> MakeFlagSelectControl();
std::unique_ptr<SettingControl> MakeDropListControl();
std::unique_ptr<SettingControl> MakePasswordControl();
std::unique_ptr<SettingControl> MakeProductVersionControl();
std::unique_ptr<SettingControl> MakeIpHostnameControl();
std::unique_ptr<SettingControl> MakeUrlEditControl();
std::unique_ptr<SettingControl> MakeFilePathEditControl();
std::unique_ptr<SettingControl> MakeTimeControl();
std::unique_ptr<SettingControl> MakeDateControl();
std::unique_ptr<SettingControl> MakeLinkButtonControl();
std::unique_ptr<SettingControl> MakeBrowseButtonControl();
std::unique_ptr<SettingControl> MakePopupButtonControl();
std::unique_ptr<SettingControl> MakeHtmlViewerControl();
std::unique_ptr<SettingControl> MakeXmlFieldsControl();
std::unique_ptr<SettingControl> MakeStatsControl();
std::unique_ptr<SettingControl> MakeLogControl();
std::unique_ptr<SettingControl> MakeXmlListControl();
std::unique_ptr<SettingControl> MakeCfgListControl();
std::unique_ptr<SettingControl> MakeCachedXmlListControl();
std::unique_ptr<SettingControl> MakeListControl();
std::unique_ptr<SettingControl> MakeIpListControl();
std::unique_ptr<SettingControl> MakeKeyValueListControl();
std::unique_ptr<SettingControl> MakeTextBlockListControl();

}  // namespace vossik
