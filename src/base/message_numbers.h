// The numbers of the program's posted messages, in one place. The Qt layer
// posts them as events of these types; the worker threads and the service
// client post only through the interfaces that carry them.
#pragma once

namespace vossik {

/// A build's progress: the percentage and a copy of the status text.
inline constexpr int kProgressMessage = 1025;
/// The administered service's state, posted to the service bar.
inline constexpr int kServiceStateMessage = 2024;
/// Posted to the settings sheet once it is set up: load the configuration.
inline constexpr int kLoadConfigurationMessage = 2025;
/// Sent to the settings sheet by Apply and OK: store the configuration.
inline constexpr int kApplyMessage = 2026;
/// Posted to the main window by a build button: start an index build.
inline constexpr int kBuildRequestMessage = 2591;
/// Sent to a settings page by a control whose value changed.
inline constexpr int kControlChangedMessage = 10024;
/// Posted to the application: re-initialise from the settings in memory.
inline constexpr int kReinitialiseMessage = 1688;

}  // namespace vossik
