#include "indexer/worker_thread.h"

#include <chrono>

namespace vossik {

WorkerThread::~WorkerThread() { StopAndJoin(); }

void WorkerThread::start(long argument, int initial_delay_ms) {
  StopAndJoin();
  stop_requested_.store(false);
  finished_.store(false);
  argument_ = argument;
  thread_ = std::jthread([this, initial_delay_ms] { Run(initial_delay_ms); });
}

void WorkerThread::Run(int initial_delay_ms) {
  if (canRun() && SleepUnlessStopped(initial_delay_ms)) {
    while (!stopRequested() && tick()) {
    }
  }
  ChangeState([this] { finished_.store(true); });
}

void WorkerThread::requestStop() {
  ChangeState([this] { stop_requested_.store(true); });
}

void WorkerThread::WaitUntilFinished() {
  WaitFor([this] { return finished_.load(); });
}

bool WorkerThread::WaitUntilFinishedFor(int timeout_ms) {
  std::unique_lock<std::mutex> hold(state_mutex_);
  return state_changed_.wait_for(hold, std::chrono::milliseconds(timeout_ms),
                                 [this] { return finished_.load(); });
}

bool WorkerThread::SleepUnlessStopped(int ms) {
  if (ms <= 0) return !stopRequested();
  std::unique_lock<std::mutex> hold(state_mutex_);
  return !state_changed_.wait_for(hold, std::chrono::milliseconds(ms),
                                  [this] { return stop_requested_.load(); });
}

void WorkerThread::StopAndJoin() {
  if (!thread_.joinable()) return;
  requestStop();
  thread_.join();
}

void StopAndDelete::operator()(WorkerThread* task) const {
  if (task == nullptr) return;
  task->StopAndJoin();
  delete task;
}

int ProgressTask::tick() {
  if (stopRequested()) return 0;
  if (paused_.load()) {
    ChangeState([this] { held_.store(true); });
    const bool go_on = WaitUnlessStopped([this] { return !paused_.load(); });
    ChangeState([this] { held_.store(false); });
    if (!go_on) return 0;
  }
  PostIfChanged();
  const auto slice_end =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(time_slice_ms_);
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (stopRequested() || !step()) return 0;
      if (progress_.load() == 100) {
        finish();
        break;
      }
    }
    if (time_slice_ms_ <= 0 || paused_.load() || stopRequested() ||
        std::chrono::steady_clock::now() >= slice_end) {
      return 1;
    }
  }
  PostIfChanged();
  return 0;
}

void ProgressTask::PostIfChanged() {
  const int progress = progress_.load();
  std::string status = StatusText();
  if (progress == last_posted_progress_ && !last_posted_status_.empty() &&
      status == last_posted_status_) {
    return;
  }
  last_posted_progress_ = progress;
  last_posted_status_ = status;
  if (observer_ != nullptr && !stopRequested()) {
    observer_->PostProgress(progress, std::make_unique<std::string>(std::move(status)));
  }
}

void ProgressTask::pause(bool on) {
  ChangeState([this, on] { paused_.store(on); });
}

void ProgressTask::WaitUntilHeld() {
  WaitFor([this] { return held_.load() || Finished(); });
}

void ProgressTask::setProgress(int percent, std::string_view text) {
  progress_.store(percent);
  std::lock_guard<std::mutex> hold(status_mutex_);
  status_.assign(text);
}

void ProgressTask::SetFailure(std::string_view text) {
  {
    std::lock_guard<std::mutex> hold(status_mutex_);
    failure_.assign(text);
  }
  setProgress(100, text);
}

std::string ProgressTask::Failure() const {
  std::lock_guard<std::mutex> hold(status_mutex_);
  return failure_;
}

void ProgressTask::Notify(std::string_view line) {
  if (observer_ != nullptr && !stopRequested()) {
    observer_->PostNotice(std::make_unique<std::string>(line));
  }
}

std::string ProgressTask::StatusText() const {
  std::lock_guard<std::mutex> hold(status_mutex_);
  return status_;
}

}  // namespace vossik
