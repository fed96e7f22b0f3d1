// The program's icon: a page under a magnifying glass.
#pragma once

#include <QIcon>

namespace vossik {

/// The icon of the main dialog, the About box and the program's other
/// windows: data/vossik.png, compiled into the program as a resource, so it
/// needs no file at run time.
QIcon ProgramIcon();

}  // namespace vossik
