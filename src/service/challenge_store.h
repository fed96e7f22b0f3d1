// ChallengeStore hands out the challenges that administration passwords are
// encrypted with: 32 random hexadecimal digits, each good for one request
// within 60 seconds of being issued. So a password parameter seen on the
// wire cannot be used again.
//
// Thread safety: every operation may be called from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

namespace vossik {

class ChallengeStore {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr std::chrono::seconds kLifetime{60};
  /// Challenges kept at most; beyond it the oldest is dropped, so that a
  /// flood of GETENCRYPT requests cannot grow the store without bound.
  static constexpr std::size_t kMostOutstanding = 4096;

  /// A fresh challenge, good until `now` + kLifetime.
  std::string Issue(Clock::time_point now);
  /// True, once, for a challenge issued within kLifetime before `now`.
  [[nodiscard]] bool Redeem(std::string_view challenge, Clock::time_point now);

 private:
  struct Issued {
    std::string text;
    Clock::time_point expires;
  };
  void DropExpired(Clock::time_point now);

  std::mutex mutex_;
  std::deque<Issued> issued_;  // oldest first
};

}  // namespace vossik
