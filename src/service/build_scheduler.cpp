#include "service/build_scheduler.h"

#include <algorithm>

namespace vossik {

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
}

std::optional<BuildScheduler::TimePoint> BuildScheduler::NextDue() const {
  if (paused_ || building_) return std::nullopt;
  std::optional<TimePoint> due;
  auto earliest = [&due](TimePoint at) { due = due ? std::min(*due, at) : at; };
  if (requested_) earliest(requested_at_);
  if (changed_) earliest(last_change_ + delay_);
  if (interval_.count() > 0) earliest(interval_from_ + interval_);
  return due;
}

bool BuildScheduler::Due(TimePoint now) const {
  const std::optional<TimePoint> due = NextDue();
  return due && *due <= now;
}

}  // namespace vossik
