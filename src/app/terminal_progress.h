// TerminalProgress receives a build's progress reports on the worker thread
// and hands them to the main thread, which prints them. On a terminal it
// redraws one bar line. In a pipe or file it prints a line when a phase
// begins ("Scanning...", "Indexing...", "Generating Index...") and then one
// line per 10 % or per 2 seconds, whichever is rarer; verbose output prints
// every new status instead. Warnings and errors are printed as they come
// in every mode.
//
// Thread safety: PostProgress and PostNotice may be called from any thread;
// the other operations belong to the thread that prints.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "indexer/progress_observer.h"

namespace vossik {

class TerminalProgress : public ProgressObserver {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  /// `live` redraws a bar of `width` columns in place; otherwise lines are
  /// printed, each status when `verbose`. `clock` tells the time for the
  /// 2-second rule; the steady clock when empty.
  TerminalProgress(std::ostream& out, bool live, int width = 80, bool verbose = false,
                   Clock clock = {});

  void PostProgress(int percent, std::unique_ptr<std::string> status) override;
  void PostNotice(std::unique_ptr<std::string> line) override;

  /// Prints the reports that arrived, waiting at most `wait_ms` for one.
  void PrintPending(int wait_ms);
  /// Replaces the bar (or follows the printed lines) with `final_line`, so
  /// that it is the last line printed. Nothing is added when the printed
  /// lines already end with it.
  void Close(const std::string& final_line);

  /// The line a live bar shows: "[#####-----]  42% status", cut to `width`.
  static std::string BarLine(int percent, const std::string& status, int width);

  /// The phase a status line belongs to, as printed when it begins:
  /// "Scanning...", "Indexing..." (also for "Analyzing [" and "Skipping ["
  /// lines) or "Generating Index..."; any other status is its own phase.
  static std::string PhaseOf(const std::string& status);

 private:
  struct Report {
    int percent;
    std::unique_ptr<std::string> status;
    bool notice;
  };
  void Print(const Report& report);
  void PrintSummarised(int percent, const std::string& status);

  std::ostream& out_;
  const bool live_;
  const int width_;
  const bool verbose_;
  Clock clock_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Report> queue_;
  std::string last_status_;
  int last_percent_ = 0;
  bool bar_open_ = false;
  // The summarised output's last line: its phase, percentage and time.
  std::string printed_phase_;
  int printed_percent_ = 0;
  std::chrono::steady_clock::time_point printed_at_{};
  std::string last_line_;
};

}  // namespace vossik
