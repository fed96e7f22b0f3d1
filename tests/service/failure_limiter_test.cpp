#include "service/failure_limiter.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

using std::chrono::seconds;

TEST(FailureLimiter, BlocksAnAddressAfterFiveFailuresForTheRestOfTheMinute) {
  FailureLimiter limiter;
  const FailureLimiter::Clock::time_point start{};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(limiter.RecordFailure("10.0.0.1", start + seconds(i * 10)));
    EXPECT_FALSE(limiter.Blocked("10.0.0.1", start + seconds(i * 10)));
  }
  EXPECT_TRUE(limiter.RecordFailure("10.0.0.1", start + seconds(50)));   // the fifth blocks
  EXPECT_FALSE(limiter.RecordFailure("10.0.0.1", start + seconds(51)));  // and says so once
  EXPECT_TRUE(limiter.Blocked("10.0.0.1", start + seconds(59)));
  EXPECT_FALSE(limiter.Blocked("10.0.0.2", start + seconds(59)));
  EXPECT_FALSE(limiter.Blocked("10.0.0.1", start + seconds(60)));  // the minute is over

  // Failures spread wider than a minute never block.
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(limiter.RecordFailure("10.0.0.3", start + seconds(i * 20)));
  }
}

}  // namespace
}  // namespace vossik
