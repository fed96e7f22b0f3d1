#include "app/program_icon_qt.h"

namespace vossik {

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/vossik.png")); }

}  // namespace vossik
