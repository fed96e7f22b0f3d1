// The result codes of the administration client's operations, and the
// states it reports for a service. The numbers are part of the contract:
// the service bar dispatches on them and `vossik -admin` exits with them.
#pragma once

#include <string_view>

namespace vossik {

enum class AdminResult : int {
  kOk = 0,              // HTTP 200 (GETCONFIG: and a configuration block found)
  kControlFailed = 3,   // a call to the local service manager failed
  kNoLocalService = 4,  // start asked for, but no local service is attached
  kBadArgument = 7,     // no usable host and port; empty SETCONFIG text; no configuration block
  kCommFailure = 8,     // any other HTTP status, and every transport failure
  kNotFound = 9,        // HTTP 404 (generic request)
  kNotSupported = 10,   // HTTP 501 (generic request)
  kNotModified = 14,    // HTTP 304 (GETCONFIG and generic request)
  kBadPassword = 15,    // HTTP 401
  kStartedPaused = 17,  // service bar only: started paused, repeat the request
  kRetry = 18,          // service bar only: repeat the request
};

enum class ServiceState : int {
  kStartPending = 0,  // starting or continuing
  kStopPending = 1,   // stopping or pausing
  kPaused = 2,
  kRunning = 3,
  kStopped = 4,  // also when there is no client at all
  kUnknown = 5,  // anything else, and every failed status query
};

/// The state as one word for people: "Running" (also while starting),
/// "Paused", "Stopped" (also while stopping) or "Unknown".
std::string_view ServiceStateWord(ServiceState state);

/// What a result means, in a few words ("communication failure").
std::string_view AdminResultText(AdminResult result);

}  // namespace vossik
