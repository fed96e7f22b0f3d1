// FailureLimiter counts failed password checks per client address. After
// kMostFailures failures within a minute, counted from the first of them,
// the address is refused without a check until that minute is over, so a
// password cannot be guessed at the speed of the network.
//
// Thread safety: every operation may be called from any thread.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace vossik {

class FailureLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr int kMostFailures = 5;
  static constexpr std::chrono::seconds kWindow{60};

  /// Whether `address` is refused without a check at `now`.
  [[nodiscard]] bool Blocked(const std::string& address, Clock::time_point now);
  /// Counts a failure; true when it is the one that blocks the address.
  [[nodiscard]] bool RecordFailure(const std::string& address, Clock::time_point now);

 private:
  struct Window {
    Clock::time_point start;
    int failures = 0;
  };
  void DropEnded(Clock::time_point now);

  std::mutex mutex_;
  std::map<std::string, Window> windows_;
};

}  // namespace vossik
