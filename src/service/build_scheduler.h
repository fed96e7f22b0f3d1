// BuildScheduler decides when the service starts an index build: `delay`
// after the last change seen, at once when asked, every `interval` after
// the last build started, and at the times of day of its schedule. One build runs at a time: a
// change or a request during a build is kept and leads to one more build after it. While paused
// nothing starts, and what came in meanwhile starts on continue.
//
// It only keeps times; the owner tells it what happened and asks it when
// to look again. Thread safety: one thread at a time.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <vector>

namespace vossik {

/// A build at a time of day on some days of the week.
struct ScheduledBuild {
  int minute = 0;            // minute of the day, local time; -1 for none
  unsigned weekdays = 0x7F;  // bit 0 Monday ... bit 6 Sunday

  bool operator==(const ScheduledBuild&) const = default;
};

/// The first moment after `after` (seconds since 1970) at which one of
/// `schedule` falls, in local time; none when no entry has a day and a time.
std::optional<std::time_t> NextScheduledBuild(const std::vector<ScheduledBuild>& schedule,
                                              std::time_t after);

class BuildScheduler {
 public:
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  /// Takes the quiet time after a change and the time between scheduled
  /// builds (zero for none), counting the interval from `now` when no build
  /// has started yet.
  void Configure(std::chrono::seconds delay, std::chrono::minutes interval, TimePoint now);

  /// Takes the schedule; `wall_now` is the system time at `now`, which
  /// ties the schedule's times of day to the scheduler's clock.
  void SetSchedule(std::vector<ScheduledBuild> schedule, TimePoint now, std::time_t wall_now);

  void Changed(TimePoint now);
  /// A build is wanted from `now` on, without waiting for quiet.
  void RequestNow(TimePoint now);
  void SetPaused(bool paused) { paused_ = paused; }

  /// A build starts: what was waiting is taken by it, a scheduled build
  /// that was due among it.
  void BuildStarted(TimePoint now);
  void BuildEnded() { building_ = false; }

  /// Whether a build should start at `now`.
  [[nodiscard]] bool Due(TimePoint now) const;
  /// When a build will be due, if nothing else happens; none while paused,
  /// building or with nothing waiting and no interval.
  std::optional<TimePoint> NextDue() const;

  /// Whether a change or a request waits for a build.
  bool Pending() const { return changed_ || requested_; }
  bool Building() const { return building_; }
  bool Paused() const { return paused_; }

 private:
  std::chrono::seconds delay_{5};
  std::chrono::minutes interval_{0};
  bool changed_ = false;
  TimePoint last_change_{};
  bool requested_ = false;
  TimePoint requested_at_{};
  bool building_ = false;
  bool paused_ = false;
  TimePoint interval_from_{};
  std::vector<ScheduledBuild> schedule_;
  std::optional<TimePoint> scheduled_;  // the next scheduled build
  TimePoint anchor_{};                  // a moment of the clock ...
  std::time_t wall_anchor_ = 0;         // ... and the system time then

  void PlanScheduled(TimePoint now);
};

}  // namespace vossik
