#include "admin/local_service.h"

#include <chrono>
#include <thread>

namespace vossik {
namespace {

// A service manager gives a stopping service its own time-out (systemd's
// default is 90 seconds); a service stuck beyond this is not waited for.
constexpr auto kLongestStop = std::chrono::minutes(2);

}  // namespace

void LocalService::WaitBeforeNextQuery() {
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

bool LocalService::StartOrContinue() {
  const auto deadline = std::chrono::steady_clock::now() + kLongestStop;
  ServiceState state = QueryState();
  while (state == ServiceState::kStopPending && std::chrono::steady_clock::now() < deadline) {
    WaitBeforeNextQuery();
    state = QueryState();
  }
  return state == ServiceState::kStopped ? Start() : Continue();
}

}  // namespace vossik
