#include "app/terminal_progress.h"

#include <algorithm>
#include <cstdio>

namespace vossik {
namespace {

constexpr int kPercentStep = 10;
constexpr std::chrono::seconds kLineInterval{2};

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& out, bool live, int width, bool verbose,
                                   Clock clock)
    : out_(out),
      live_(live),
      width_(std::max(width, 20)),
      verbose_(verbose),
      clock_(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); })) {}

void TerminalProgress::PostProgress(int percent, std::unique_ptr<std::string> status) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    queue_.push_back({percent, std::move(status), false});
  }
  arrived_.notify_one();
}

void TerminalProgress::PostNotice(std::unique_ptr<std::string> line) {
  if (!line) return;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    queue_.push_back({0, std::move(line), true});
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
  // A live bar only draws the newest state, but every notice is printed.
  const Report* newest = nullptr;
  for (const Report& report : reports) {
    if (report.notice || !live_) {
      Print(report);
    } else {
      newest = &report;
    }
  }
  if (newest != nullptr) Print(*newest);
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

std::string TerminalProgress::PhaseOf(const std::string& status) {
  if (status.starts_with("Scanning [")) return "Scanning...";
  if (status == "Indexing..." || status.starts_with("Analyzing [") ||
      status.starts_with("Skipping [")) {
    return "Indexing...";
  }
  return status;
}

void TerminalProgress::Print(const Report& report) {
  if (report.notice) {
    if (bar_open_) {
      // The notice takes the bar's line; the bar is drawn again below it.
      out_ << "\r\x1b[K" << *report.status << '\n'
           << BarLine(last_percent_, last_status_, width_) << "\x1b[K";
    } else {
      out_ << *report.status << '\n';
      last_line_ = *report.status;
    }
    return;
  }
  const std::string status = report.status ? *report.status : last_status_;
  if (live_) {
    out_ << '\r' << BarLine(report.percent, status, width_) << "\x1b[K";
    bar_open_ = true;
  } else if (verbose_) {
    if (status != last_status_) {
      out_ << status << '\n';
      last_line_ = status;
    }
  } else {
    PrintSummarised(report.percent, status);
  }
  last_status_ = status;
  last_percent_ = report.percent;
}

void TerminalProgress::PrintSummarised(int percent, const std::string& status) {
  const std::string phase = PhaseOf(status);
  const auto now = clock_();
  if (phase != printed_phase_) {
    out_ << phase << '\n';
    last_line_ = phase;
  } else if (percent >= printed_percent_ + kPercentStep && now - printed_at_ >= kLineInterval) {
    char number[8];
    std::snprintf(number, sizeof number, "%3d%% ", std::clamp(percent, 0, 100));
    last_line_ = number + status;
    out_ << last_line_ << '\n';
  } else {
    return;
  }
  printed_phase_ = phase;
  printed_percent_ = percent;
  printed_at_ = now;
}

void TerminalProgress::Close(const std::string& final_line) {
  if (bar_open_) {
    out_ << "\r\x1b[K" << final_line << '\n';
  } else if (final_line != last_line_) {
    out_ << final_line << '\n';
  }
  bar_open_ = false;
  last_status_ = final_line;
  last_line_ = final_line;
  out_.flush();
}

}  // namespace vossik
