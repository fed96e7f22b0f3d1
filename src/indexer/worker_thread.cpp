#include "indexer/worker_thread.h"

#include <chrono>

namespace vossik {
namespace {

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A paused task still wakes regularly to see Continue or Cancel.
constexpr int kPausedSleepMs = 100;

}  // namespace

WorkerThread::~WorkerThread() { StopAndJoin(); }

void WorkerThread::start(long argument, int initial_delay_ms) {
  StopAndJoin();
  {
    std::lock_guard<std::mutex> guard(lock_);
    finished_ = false;
    stop_requested_ = false;
    argument_ = argument;
  }
  thread_ = std::thread([this, initial_delay_ms] { Run(initial_delay_ms); });
}

void WorkerThread::Run(int initial_delay_ms) {
  if (canRun()) {
    SleepMs(initial_delay_ms);
    while (!stopRequested() && tick()) {
    }
  }
  std::lock_guard<std::mutex> guard(lock_);
  finished_ = true;
}

void WorkerThread::requestStop() {
  std::lock_guard<std::mutex> guard(lock_);
  stop_requested_ = true;
}

bool WorkerThread::stopRequested() {
  std::lock_guard<std::mutex> guard(lock_);
  return stop_requested_;
}

bool WorkerThread::Finished() {
  std::lock_guard<std::mutex> guard(lock_);
  return finished_;
}

void WorkerThread::StopAndJoin() {
  if (!thread_.joinable()) return;
  requestStop();
  thread_.join();
}

int ProgressTask::tick() {
  SleepMs(tick_pause_ms_);
  if (stopRequested()) return 0;
  if (isPaused()) {
    SleepMs(kPausedSleepMs);
    return 1;
  }
  PostIfChanged();
  if (progress_ != 100) {
    std::lock_guard<std::mutex> guard(lock_);
    return StopRequestedLocked() ? 0 : step();
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (StopRequestedLocked()) return 0;
    finish();
  }
  PostIfChanged();
  return 0;
}

void ProgressTask::PostIfChanged() {
  if (progress_ == last_posted_progress_ && !last_posted_status_.empty() &&
      status_ == last_posted_status_) {
    return;
  }
  last_posted_progress_ = progress_;
  last_posted_status_ = status_;
  if (observer_ != nullptr && !stopRequested()) {
    observer_->PostProgress(progress_, std::make_unique<std::string>(status_));
  }
}

void ProgressTask::pause(bool on) {
  std::lock_guard<std::mutex> guard(lock_);
  paused_ = on;
}

bool ProgressTask::isPaused() {
  std::lock_guard<std::mutex> guard(lock_);
  return paused_ && !StopRequestedLocked();
}

void ProgressTask::setProgress(int percent, std::string_view text) {
  progress_ = percent;
  status_.assign(text);
  // A paced build lets the window's thread in; a batch build runs flat out.
  if (tick_pause_ms_ > 0) std::this_thread::yield();
}

}  // namespace vossik
