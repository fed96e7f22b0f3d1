#include "service/failure_limiter.h"

namespace vossik {

void FailureLimiter::DropEnded(Clock::time_point now) {
  for (auto it = windows_.begin(); it != windows_.end();) {
    it = now - it->second.start >= kWindow ? windows_.erase(it) : std::next(it);
  }
}

bool FailureLimiter::Blocked(const std::string& address, Clock::time_point now) {
  std::lock_guard<std::mutex> hold(mutex_);
  DropEnded(now);
  const auto found = windows_.find(address);
  return found != windows_.end() && found->second.failures >= kMostFailures;
}

bool FailureLimiter::RecordFailure(const std::string& address, Clock::time_point now) {
  std::lock_guard<std::mutex> hold(mutex_);
  DropEnded(now);
  Window& window = windows_.try_emplace(address, Window{now, 0}).first->second;
  ++window.failures;
  return window.failures == kMostFailures;
}

}  // namespace vossik
