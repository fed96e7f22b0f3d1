#include "ui/control_catalogue.h"

#include <array>

#include "ui/setting_control.h"

namespace vossik {
namespace {

// Listed here rather than registered by each type's file: in a static
// library an object file nothing refers to is left out of the program.
const std::array kCatalogue = {
    CatalogueEntry{"statictext", &MakeStaticTextControl},
    CatalogueEntry{"edit", &MakeEditControl},
    CatalogueEntry{"switch", &MakeSwitchControl},
    CatalogueEntry{"pageswitch", &MakePageSwitchControl},
    CatalogueEntry{"messagebutton", &MakeMessageButtonControl},
    CatalogueEntry{"number", &MakeNumberControl},
    CatalogueEntry{"port", &MakePortControl},
    CatalogueEntry{"unitnumber", &MakeUnitNumberControl},
    CatalogueEntry{"slider", &MakeSliderControl},
    CatalogueEntry{"multislider", &MakeMultiSliderControl},
    CatalogueEntry{"flagselect", &MakeFlagSelectControl},
    CatalogueEntry{"droplist", &MakeDropListControl},
    CatalogueEntry{"password", &MakePasswordControl},
    CatalogueEntry{"productversion", &MakeProductVersionControl},
    CatalogueEntry{"iphostname", &MakeIpHostnameControl},
    CatalogueEntry{"urledit", &MakeUrlEditControl},
    CatalogueEntry{"filepathedit", &MakeFilePathEditControl},
    CatalogueEntry{"time", &MakeTimeControl},
    CatalogueEntry{"date", &MakeDateControl},
    CatalogueEntry{"linkbutton", &MakeLinkButtonControl},
    CatalogueEntry{"browsebutton", &MakeBrowseButtonControl},
    CatalogueEntry{"popupbutton", &MakePopupButtonControl},
    CatalogueEntry{"htmlviewer", &MakeHtmlViewerControl},
    CatalogueEntry{"xmlfields", &MakeXmlFieldsControl},
    CatalogueEntry{"statscontrol", &MakeStatsControl},
    CatalogueEntry{"logcontrol", &MakeLogControl},
    CatalogueEntry{"xmllist", &MakeXmlListControl},
    CatalogueEntry{"cfglist", &MakeCfgListControl},
    CatalogueEntry{"cachedxmllist", &MakeCachedXmlListControl},
    CatalogueEntry{"list", &MakeListControl},
    CatalogueEntry{"iplist", &MakeIpListControl},
    CatalogueEntry{"keyvaluelist", &MakeKeyValueListControl},
    CatalogueEntry{"textblocklist", &MakeTextBlockListControl},
};

}  // namespace

std::span<const CatalogueEntry> Catalogue() { return kCatalogue; }

}  // namespace vossik
