#include "service/build_scheduler.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using TimePoint = BuildScheduler::TimePoint;

const TimePoint kStart = TimePoint{} + std::chrono::hours(1);

TEST(BuildScheduler, BuildsOnceTheSiteHasBeenQuietForTheDelay) {
  BuildScheduler scheduler;
  scheduler.Configure(seconds(5), minutes(0), kStart);
  EXPECT_FALSE(scheduler.NextDue());
  scheduler.Changed(kStart);
  scheduler.Changed(kStart + seconds(3));  // a later change moves the build
  EXPECT_EQ(kStart + seconds(8), scheduler.NextDue());
  EXPECT_FALSE(scheduler.Due(kStart + seconds(7)));
  EXPECT_TRUE(scheduler.Due(kStart + seconds(8)));

  scheduler.BuildStarted(kStart + seconds(8));
  EXPECT_FALSE(scheduler.Pending());
  EXPECT_FALSE(scheduler.NextDue());
  scheduler.BuildEnded();
  EXPECT_FALSE(scheduler.NextDue());
}

TEST(BuildScheduler, KeepsWhatComesDuringABuildForOneMore) {
  BuildScheduler scheduler;
  scheduler.Configure(seconds(5), minutes(0), kStart);
  scheduler.RequestNow(kStart);
  EXPECT_TRUE(scheduler.Due(kStart));
  scheduler.BuildStarted(kStart);
  scheduler.Changed(kStart + seconds(1));
  scheduler.Changed(kStart + seconds(2));
  EXPECT_FALSE(scheduler.Due(kStart + seconds(30)));  // one build at a time
  scheduler.BuildEnded();
  EXPECT_TRUE(scheduler.Pending());
  EXPECT_EQ(kStart + seconds(7), scheduler.NextDue());
}

TEST(BuildScheduler, BuildsNothingWhilePausedAndCatchesUpOnContinue) {
  BuildScheduler scheduler;
  scheduler.Configure(seconds(5), minutes(10), kStart);
  scheduler.SetPaused(true);
  scheduler.Changed(kStart);
  scheduler.RequestNow(kStart);
  EXPECT_TRUE(scheduler.Pending());
  EXPECT_FALSE(scheduler.NextDue());
  EXPECT_FALSE(scheduler.Due(kStart + minutes(20)));
  scheduler.SetPaused(false);
  EXPECT_TRUE(scheduler.Due(kStart + minutes(20)));
}

TEST(BuildScheduler, BuildsEveryIntervalFromTheLastBuild) {
  BuildScheduler scheduler;
  scheduler.Configure(seconds(5), minutes(10), kStart);
  EXPECT_EQ(kStart + minutes(10), scheduler.NextDue());
  scheduler.BuildStarted(kStart + minutes(4));  // a build after a change
  scheduler.BuildEnded();
  EXPECT_EQ(kStart + minutes(14), scheduler.NextDue());
  scheduler.Configure(seconds(5), minutes(0), kStart + minutes(5));
  EXPECT_FALSE(scheduler.NextDue());
}

}  // namespace
}  // namespace vossik
