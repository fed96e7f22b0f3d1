#include "service/build_scheduler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

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

// The schedule's times are local; these cases are written in UTC.
class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    if (zone != nullptr) saved_zone_ = zone;
    had_zone_ = zone != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (had_zone_) {
      setenv("TZ", saved_zone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

  std::string saved_zone_;
  bool had_zone_ = false;
};

// Thursday 10 December 2026, 12:00:00 UTC.
constexpr std::time_t kThursdayNoon = 1796904000;
constexpr unsigned kMonday = 1u << 0;
constexpr unsigned kThursday = 1u << 3;
constexpr unsigned kSunday = 1u << 6;
constexpr unsigned kEveryDay = 0x7F;

TEST_F(ScheduleTest, FindsTheNextTimeOnATickedDay) {
  const struct {
    const char* what;
    std::vector<ScheduledBuild> schedule;
    std::time_t after;
    std::time_t next;  // 0: none
  } cases[] = {
      {"later today", {{13 * 60, kEveryDay}}, kThursdayNoon, kThursdayNoon + 3600},
      {"passed today, so tomorrow",
       {{3 * 60, kEveryDay}},
       kThursdayNoon,
       kThursdayNoon + 15 * 3600},
      {"exactly now is next week's",
       {{12 * 60, kThursday}},
       kThursdayNoon,
       kThursdayNoon + 7 * 86400},
      {"on the next ticked day",
       {{9 * 60, kMonday}},
       kThursdayNoon,
       kThursdayNoon + 3 * 86400 + 21 * 3600},
      {"the earliest of several",
       {{23 * 60, kEveryDay}, {12 * 60 + 30, kThursday}, {60, kSunday}},
       kThursdayNoon,
       kThursdayNoon + 1800},
      {"no day ticked", {{60, 0}}, kThursdayNoon, 0},
      {"an unreadable time", {{-1, kEveryDay}}, kThursdayNoon, 0},
      {"nothing scheduled", {}, kThursdayNoon, 0},
  };
  for (const auto& c : cases) {
    const std::optional<std::time_t> next = NextScheduledBuild(c.schedule, c.after);
    EXPECT_EQ(c.next, next.value_or(0)) << c.what;
  }
}

TEST_F(ScheduleTest, BuildsAtTheScheduledTimesOnTheSchedulersClock) {
  BuildScheduler scheduler;
  scheduler.Configure(seconds(5), minutes(0), kStart);
  // 11:59:00 on the system clock at kStart; builds at 12:00 on Thursdays
  // and 12:30 every day.
  scheduler.SetSchedule({{12 * 60, kThursday}, {12 * 60 + 30, kEveryDay}}, kStart,
                        kThursdayNoon - 60);
  EXPECT_EQ(kStart + seconds(60), scheduler.NextDue());
  EXPECT_FALSE(scheduler.Due(kStart + seconds(59)));
  EXPECT_TRUE(scheduler.Due(kStart + seconds(60)));

  // The build takes the scheduled time, and the next one is 12:30.
  scheduler.BuildStarted(kStart + seconds(61));
  EXPECT_FALSE(scheduler.NextDue());  // building
  scheduler.BuildEnded();
  EXPECT_EQ(kStart + seconds(60 + 1800), scheduler.NextDue());

  // A build for a change does not use up the scheduled one.
  scheduler.Changed(kStart + minutes(5));
  scheduler.BuildStarted(kStart + minutes(5) + seconds(5));
  scheduler.BuildEnded();
  EXPECT_EQ(kStart + seconds(60 + 1800), scheduler.NextDue());

  // Paused past 12:30, the build waits for the continue.
  scheduler.SetPaused(true);
  EXPECT_FALSE(scheduler.Due(kStart + minutes(40)));
  scheduler.SetPaused(false);
  EXPECT_TRUE(scheduler.Due(kStart + minutes(40)));
  scheduler.BuildStarted(kStart + minutes(40));
  scheduler.BuildEnded();
  // Then Friday 12:30, 24 hours after Thursday's.
  EXPECT_EQ(kStart + seconds(60 + 1800) + std::chrono::hours(24), scheduler.NextDue());

  // Reading the same schedule again keeps the plan; an empty one drops it.
  scheduler.SetSchedule({{12 * 60, kThursday}, {12 * 60 + 30, kEveryDay}}, kStart + minutes(41),
                        kThursdayNoon + 41 * 60 - 60);
  EXPECT_EQ(kStart + seconds(60 + 1800) + std::chrono::hours(24), scheduler.NextDue());
  scheduler.SetSchedule({}, kStart + minutes(42), kThursdayNoon + 42 * 60 - 60);
  EXPECT_FALSE(scheduler.NextDue());
}

}  // namespace
}  // namespace vossik
