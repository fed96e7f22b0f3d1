// WorkerThread runs a task's ticks on a thread of its own, with a lock that
// serialises the task's work against stop and pause requests from other
// threads. ProgressTask adds a percentage, a status line and pausing, and
// reports them to a ProgressObserver.
//
// Ownership: a started task must not be destroyed while its thread runs a
// step against it. Owners therefore hold tasks through TaskPtr (made with
// MakeTask), whose deleter stops and joins the thread before the task is
// destroyed; the thread itself is a std::jthread, so a task that was never
// handed out is joined all the same.
//
// Thread safety: requestStop, stopRequested, Finished, the waits, pause,
// isPaused, IsHeld, Progress and StatusText may be called from any thread and
// never wait for a step to end. tick, step, finish and setProgress run on the
// worker thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "indexer/progress_observer.h"

namespace vossik {

class WorkerThread {
 public:
  WorkerThread() = default;
  virtual ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  /// Starts the thread: waits `initial_delay_ms` (when canRun() allows the
  /// run), then calls tick() until it returns 0 or a stop is requested. A
  /// running thread is stopped and joined first.
  virtual void start(long argument, int initial_delay_ms);
  /// 1 unless a task overrides it.
  [[nodiscard]] virtual int canRun() { return 1; }
  /// One unit of work; nonzero to be called again.
  [[nodiscard]] virtual int tick() = 0;

  /// Asks the thread to end after the step under way; wakes it from any wait.
  void requestStop();
  bool stopRequested() const { return stop_requested_.load(); }
  /// True once the thread has ended its loop.
  bool Finished() const { return finished_.load(); }
  /// Blocks until the thread has ended its loop (at once when never started).
  void WaitUntilFinished();
  /// As WaitUntilFinished, for at most `timeout_ms`; true when finished.
  [[nodiscard]] bool WaitUntilFinishedFor(int timeout_ms);
  /// Requests a stop and joins the thread. Safe to call twice.
  void StopAndJoin();

  long Argument() const { return argument_; }

 protected:
  /// Held by every step of the task.
  std::mutex lock_;

  /// Waits up to `ms` milliseconds, or until a stop is requested. False when
  /// a stop is requested.
  [[nodiscard]] bool SleepUnlessStopped(int ms);
  /// Waits until `done()` holds; `done` is called with the state lock held.
  template <typename Predicate>
  void WaitFor(Predicate done) {
    std::unique_lock<std::mutex> hold(state_mutex_);
    state_changed_.wait(hold, done);
  }
  /// Waits until `resume()` holds or a stop is requested. False when a stop
  /// is requested.
  template <typename Predicate>
  [[nodiscard]] bool WaitUnlessStopped(Predicate resume) {
    WaitFor([&] { return stop_requested_.load() || resume(); });
    return !stop_requested_.load();
  }
  /// Wakes every wait of the thread and of its observers, after a change of
  /// the state they wait for; `change` runs under the state lock.
  template <typename Change>
  void ChangeState(Change change) {
    {
      std::lock_guard<std::mutex> hold(state_mutex_);
      change();
    }
    state_changed_.notify_all();
  }

 private:
  void Run(int initial_delay_ms);

  std::atomic<bool> stop_requested_{false};
  std::atomic<bool> finished_{true};
  long argument_ = 0;
  std::mutex state_mutex_;
  std::condition_variable state_changed_;
  std::jthread thread_;
};

/// Stops and joins a task's thread, then deletes the task.
struct StopAndDelete {
  void operator()(WorkerThread* task) const;
};

/// A task owned so that its thread never outlives it.
template <typename Task>
using TaskPtr = std::unique_ptr<Task, StopAndDelete>;

template <typename Task, typename... Args>
TaskPtr<Task> MakeTask(Args&&... args) {
  return TaskPtr<Task>(new Task(std::forward<Args>(args)...));
}

/// The work a window's build does between two progress reports: long
/// enough that reporting costs nothing, short enough that Pause and Cancel
/// take effect at once.
inline constexpr int kWindowTimeSliceMs = 50;

class ProgressTask : public WorkerThread {
 public:
  /// Each tick runs steps for `time_slice_ms` (each under the lock, so a
  /// stop or pause waits for one step at most), then reports the progress
  /// once. With 0 every step is reported, as a batch build that prints
  /// each file wants.
  explicit ProgressTask(int time_slice_ms = kWindowTimeSliceMs) : time_slice_ms_(time_slice_ms) {}

  /// The observer must outlive the task's thread. May be null.
  void SetObserver(ProgressObserver* observer) { observer_ = observer; }

  int tick() override;
  /// The task's work, under the lock; nonzero to go on. Progress 100 ends it.
  [[nodiscard]] virtual int step() = 0;
  /// Runs once, under the lock, right after a step has set the progress to
  /// 100; the report of 100 follows it.
  virtual void finish() = 0;

  /// Holds the task before its next step (on) or lets it go on (off).
  /// Returns at once; a step under way runs to its end.
  void pause(bool on);
  /// True while paused and no stop is requested.
  bool isPaused() const { return paused_.load() && !stopRequested(); }
  /// True while the thread waits for Continue.
  bool IsHeld() const { return held_.load(); }
  /// Blocks until the thread waits for Continue or has ended.
  void WaitUntilHeld();

  /// Stores the percentage and a copy of the text.
  void setProgress(int percent, std::string_view text);
  int Progress() const { return progress_.load(); }
  std::string StatusText() const;
  int TimeSliceMs() const { return time_slice_ms_; }

  /// Why the task failed; empty while it has not. A failed task ends with
  /// progress 100 and this text as its status.
  std::string Failure() const;

 protected:
  /// Records the failure and ends the work: progress 100 with `text`.
  void SetFailure(std::string_view text);
  /// Passes a warning or error line to the observer at once.
  void Notify(std::string_view line);

 private:
  void PostIfChanged();

  const int time_slice_ms_;
  ProgressObserver* observer_ = nullptr;
  std::atomic<bool> paused_{false};
  std::atomic<bool> held_{false};
  std::atomic<int> progress_{0};
  mutable std::mutex status_mutex_;
  std::string status_;   // under status_mutex_
  std::string failure_;  // under status_mutex_
  // Worker thread only.
  int last_posted_progress_ = -1;
  std::string last_posted_status_;
};

}  // namespace vossik
