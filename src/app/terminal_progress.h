// TerminalProgress receives a build's progress reports on the worker thread
// and hands them to the main thread, which prints them: a progress bar that
// redraws one line on a terminal, or one line per new status elsewhere.
//
// Thread safety: postProgress may be called from any thread; the other
// operations belong to the thread that prints.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "indexer/progress_observer.h"

namespace vossik {

class TerminalProgress : public ProgressObserver {
 public:
  /// `live` redraws a bar of `width` columns in place; otherwise lines are printed.
  TerminalProgress(std::ostream& out, bool live, int width = 80);

  void PostProgress(int percent, std::unique_ptr<std::string> status) override;

  /// Prints the reports that arrived, waiting at most `wait_ms` for one.
  void PrintPending(int wait_ms);
  /// Replaces the bar (or follows the printed lines) with `final_line`, so
  /// that it is the last line printed. Nothing is added when the printed
  /// lines already end with it.
  void Close(const std::string& final_line);

  /// The line a live bar shows: "[#####-----]  42% status", cut to `width`.
  static std::string BarLine(int percent, const std::string& status, int width);

 private:
  struct Report {
    int percent;
    std::unique_ptr<std::string> status;
  };
  void Print(const Report& report);

  std::ostream& out_;
  const bool live_;
  const int width_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Report> queue_;
  std::string last_status_;
  bool bar_open_ = false;
};

}  // namespace vossik
