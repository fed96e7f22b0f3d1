#include "service/challenge_store.h"

#include <gtest/gtest.h>

#include <set>

namespace vossik {
namespace {

using Clock = ChallengeStore::Clock;

TEST(ChallengeStore, TakesEachChallengeOnceWithinAMinute) {
  ChallengeStore store;
  const Clock::time_point start{};
  const std::string first = store.Issue(start);
  const std::string second = store.Issue(start);
  EXPECT_EQ(32u, first.size());
  EXPECT_EQ(std::string::npos, first.find_first_not_of("0123456789ABCDEF"));
  EXPECT_NE(first, second);

  EXPECT_TRUE(store.Redeem(first, start + std::chrono::seconds(59)));
  EXPECT_FALSE(store.Redeem(first, start + std::chrono::seconds(59)));   // used
  EXPECT_FALSE(store.Redeem(second, start + std::chrono::seconds(60)));  // expired
  EXPECT_FALSE(store.Redeem("", start));
  EXPECT_FALSE(store.Redeem("0123456789ABCDEF0123456789ABCDEF", start));
}

TEST(ChallengeStore, KeepsABoundedNumber) {
  ChallengeStore store;
  const Clock::time_point start{};
  const std::string oldest = store.Issue(start);
  std::set<std::string> issued;
  for (std::size_t i = 0; i < ChallengeStore::kMostOutstanding; ++i)
    issued.insert(store.Issue(start));
  EXPECT_EQ(ChallengeStore::kMostOutstanding, issued.size());
  EXPECT_FALSE(store.Redeem(oldest, start));  // dropped to make room
  EXPECT_TRUE(store.Redeem(*issued.begin(), start));
}

}  // namespace
}  // namespace vossik
