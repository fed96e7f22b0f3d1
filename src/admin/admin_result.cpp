#include "admin/admin_result.h"

namespace vossik {

std::string_view ServiceStateWord(ServiceState state) {
  switch (state) {
    case ServiceState::kStartPending:
    case ServiceState::kRunning:
      return "Running";
    case ServiceState::kPaused:
      return "Paused";
    case ServiceState::kStopPending:
    case ServiceState::kStopped:
      return "Stopped";
    case ServiceState::kUnknown:
      break;
  }
  return "Unknown";
}

std::string_view AdminResultText(AdminResult result) {
  switch (result) {
    case AdminResult::kOk:
      return "done";
    case AdminResult::kControlFailed:
      return "the service manager refused the request";
    case AdminResult::kNoLocalService:
      return "no service is installed on this machine";
    case AdminResult::kBadArgument:
      return "bad argument";
    case AdminResult::kCommFailure:
      return "communication failure";
    case AdminResult::kNotFound:
      return "not found";
    case AdminResult::kNotSupported:
      return "not supported by the service";
    case AdminResult::kNotModified:
      return "not modified";
    case AdminResult::kBadPassword:
      return "wrong password";
    case AdminResult::kStartedPaused:
      return "started paused";
    case AdminResult::kRetry:
      return "retry";
  }
  return "unknown result";
}

}  // namespace vossik
