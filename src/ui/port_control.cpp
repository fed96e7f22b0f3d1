// `port`: a `number` whose range ends at 65000 unless `allowed` says otherwise.
#include "ui/control_catalogue.h"
#include "ui/number_control.h"

namespace vossik {

std::unique_ptr<SettingControl> MakePortControl() { return MakeNumberControlFor(65000, false); }

}  // namespace vossik
