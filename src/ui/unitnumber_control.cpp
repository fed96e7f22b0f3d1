// `unitnumber`: a `number` followed by the text of its `unit` element.
#include "ui/control_catalogue.h"
#include "ui/number_control.h"

namespace vossik {

std::unique_ptr<SettingControl> MakeUnitNumberControl() {
  return MakeNumberControlFor(65535, true);
}

}  // namespace vossik
