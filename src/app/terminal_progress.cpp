#include "app/terminal_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vossik {

TerminalProgress::TerminalProgress(std::ostream& out, bool live, int width)
    : out_(out), live_(live), width_(std::max(width, 20)) {}

void TerminalProgress::PostProgress(int percent, std::unique_ptr<std::string> status) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    queue_.push_back({percent, std::move(status)});
  }
  arrived_.notify_one();
}

void TerminalProgress::PrintPending(int wait_ms) {
  std::deque<Report> reports;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return !queue_.empty(); });
    reports.swap(queue_);
  }
  if (reports.empty()) return;
  if (live_) {
    // Only the newest state is worth drawing.
    Print(reports.back());
  } else {
    for (const Report& report : reports) Print(report);
  }
  out_.flush();
}

std::string TerminalProgress::BarLine(int percent, const std::string& status, int width) {
  constexpr int kBarCells = 20;
  const int clamped = std::clamp(percent, 0, 100);
  const int filled = clamped * kBarCells / 100;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '-') + "] ";
  char number[8];
  std::snprintf(number, sizeof number, "%3d%% ", clamped);
  line += number;
  line += status;
  if (static_cast<int>(line.size()) > width - 1) line.resize(width - 1);
  return line;
}

void TerminalProgress::Print(const Report& report) {
  const std::string status = report.status ? *report.status : last_status_;
  if (live_) {
    out_ << '\r' << BarLine(report.percent, status, width_) << "\x1b[K";
    bar_open_ = true;
  } else if (status != last_status_) {
    out_ << status << '\n';
  }
  last_status_ = status;
}

void TerminalProgress::Close(const std::string& final_line) {
  if (bar_open_) {
    out_ << "\r\x1b[K" << final_line << '\n';
  } else if (final_line != last_status_) {
    out_ << final_line << '\n';
  }
  bar_open_ = false;
  last_status_ = final_line;
  out_.flush();
}

}  // namespace vossik
