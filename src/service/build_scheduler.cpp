#include "service/build_scheduler.h"

#include <algorithm>

namespace vossik {

std::optional<std::time_t> NextScheduledBuild(const std::vector<ScheduledBuild>& schedule,
                                              std::time_t after) {
  std::tm today{};
  if (localtime_r(&after, &today) == nullptr) return std::nullopt;
  std::optional<std::time_t> next;
  // Eight days: today's times may all have passed, and a week later the
  // same weekday comes round again.
  for (int day = 0; day <= 7; ++day) {
    for (const ScheduledBuild& entry : schedule) {
      if (entry.minute < 0 || entry.minute >= 24 * 60) continue;
      std::tm at = today;
      at.tm_mday += day;
      at.tm_hour = entry.minute / 60;
      at.tm_min = entry.minute % 60;
      at.tm_sec = 0;
      at.tm_isdst = -1;
      const std::time_t when = mktime(&at);
      if (when == -1) continue;
      // tm_wday counts from Sunday; the schedule's days from Monday.
      const int weekday = (at.tm_wday + 6) % 7;
      if ((entry.weekdays & (1u << weekday)) == 0 || when <= after) continue;
      if (!next || when < *next) next = when;
    }
    if (next) break;
  }
  return next;
}

void BuildScheduler::SetSchedule(std::vector<ScheduledBuild> schedule, TimePoint now,
                                 std::time_t wall_now) {
  anchor_ = now;
  wall_anchor_ = wall_now;
  if (schedule == schedule_ && scheduled_) return;
  schedule_ = std::move(schedule);
  PlanScheduled(now);
}

void BuildScheduler::PlanScheduled(TimePoint now) {
  const std::time_t wall_now =
      wall_anchor_ + std::chrono::duration_cast<std::chrono::seconds>(now - anchor_).count();
  const std::optional<std::time_t> next = NextScheduledBuild(schedule_, wall_now);
  scheduled_.reset();
  if (next) scheduled_ = now + std::chrono::seconds(*next - wall_now);
}

void BuildScheduler::Configure(std::chrono::seconds delay, std::chrono::minutes interval,
                               TimePoint now) {
  delay_ = delay;
  if (interval != interval_ && !building_) interval_from_ = now;
  interval_ = interval;
}

void BuildScheduler::Changed(TimePoint now) {
  changed_ = true;
  last_change_ = now;
}

void BuildScheduler::RequestNow(TimePoint now) {
  if (!requested_) requested_at_ = now;
  requested_ = true;
}

void BuildScheduler::BuildStarted(TimePoint now) {
  changed_ = false;
  requested_ = false;
  building_ = true;
  interval_from_ = now;
  if (scheduled_ && *scheduled_ <= now) PlanScheduled(now);
}

std::optional<BuildScheduler::TimePoint> BuildScheduler::NextDue() const {
  if (paused_ || building_) return std::nullopt;
  std::optional<TimePoint> due;
  auto earliest = [&due](TimePoint at) { due = due ? std::min(*due, at) : at; };
  if (requested_) earliest(requested_at_);
  if (changed_) earliest(last_change_ + delay_);
  if (interval_.count() > 0) earliest(interval_from_ + interval_);
  if (scheduled_) earliest(*scheduled_);
  return due;
}

bool BuildScheduler::Due(TimePoint now) const {
  const std::optional<TimePoint> due = NextDue();
  return due && *due <= now;
}

}  // namespace vossik
