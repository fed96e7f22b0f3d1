// WorkerThread runs a task's ticks on one thread of its own, with a lock
// that serialises the task's work against stop and pause requests from
// other threads. ProgressTask adds a percentage, a status line and pausing,
// and reports them to a ProgressObserver.
//
// Thread safety: requestStop, stopRequested, pause and isPaused may be
// called from any thread. tick, step and finish run on the worker thread.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "indexer/progress_observer.h"

namespace vossik {

class WorkerThread {
 public:
  WorkerThread() = default;
  /// Derived classes must call stopAndJoin() in their own destructor, before
  /// the state their ticks use is destroyed.
  virtual ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  /// Starts the thread: sleeps `initialDelayMs` (when canRun() allows the
  /// run), then calls tick() until it returns 0 or a stop is requested.
  virtual void start(long argument, int initial_delay_ms);
  /// 1 unless a task overrides it.
  virtual int canRun() { return 1; }
  /// One unit of work; nonzero to be called again.
  virtual int tick() = 0;

  void requestStop();
  bool stopRequested();
  /// True once the thread has ended its loop.
  bool Finished();
  /// Requests a stop and waits for the thread to end. Safe to call twice.
  void StopAndJoin();

  long Argument() const { return argument_; }

 protected:
  /// Held by every step of the task and by every stop and pause request.
  std::mutex lock_;
  /// REQUIRES: lock_ is held.
  bool StopRequestedLocked() const { return stop_requested_; }

 private:
  void Run(int initial_delay_ms);

  bool stop_requested_ = false;  // under lock_
  bool finished_ = false;        // under lock_
  long argument_ = 0;
  std::thread thread_;
};

class ProgressTask : public WorkerThread {
 public:
  /// `tickPauseMs` is the sleep before every tick: 100 for a build behind a
  /// window, 0 for a batch build that runs as fast as the machine allows.
  explicit ProgressTask(int tick_pause_ms = 100) : tick_pause_ms_(tick_pause_ms) {}

  /// The observer must outlive the task's thread. May be null.
  void SetObserver(ProgressObserver* observer) { observer_ = observer; }

  int tick() override;
  /// The task's work, under the lock; nonzero to go on. Progress 100 ends it.
  virtual int step() = 0;
  /// Runs once, under the lock, after a step has set the progress to 100.
  virtual void finish() = 0;

  void pause(bool on);
  /// True while paused and no stop is requested.
  bool isPaused();

  /// Stores the percentage and a copy of the text, then yields (unless the
  /// task runs without pauses).
  void setProgress(int percent, std::string_view text);
  int Progress() const { return progress_; }
  const std::string& StatusText() const { return status_; }
  int TickPauseMs() const { return tick_pause_ms_; }

 private:
  void PostIfChanged();

  int tick_pause_ms_;
  ProgressObserver* observer_ = nullptr;
  bool paused_ = false;  // under lock_
  int progress_ = 0;
  std::string status_;
  int last_posted_progress_ = -1;
  std::string last_posted_status_;
};

}  // namespace vossik
