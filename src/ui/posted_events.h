// The program's posted messages as Qt event types: each keeps the number
// that base/message_numbers.h gives it, so the numbers have one home.
#pragma once

#include <QEvent>

#include "base/message_numbers.h"

namespace vossik {

inline constexpr QEvent::Type kProgressEvent = QEvent::Type(kProgressMessage);
inline constexpr QEvent::Type kServiceStateEvent = QEvent::Type(kServiceStateMessage);
inline constexpr QEvent::Type kLoadConfigurationEvent = QEvent::Type(kLoadConfigurationMessage);
inline constexpr QEvent::Type kApplyEvent = QEvent::Type(kApplyMessage);
inline constexpr QEvent::Type kStartMainTaskEvent = QEvent::Type(kBuildRequestMessage);
inline constexpr QEvent::Type kControlChangedEvent = QEvent::Type(kControlChangedMessage);
/// Posted to the application's main window after an apply that changed the
/// configuration.
inline constexpr QEvent::Type kConfigurationChangedEvent = QEvent::Type(kReinitialiseMessage);

}  // namespace vossik
