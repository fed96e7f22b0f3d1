#include "app/terminal_progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace vossik {
namespace {

TEST(TerminalProgress, BarLineShowsPercentAndStatusWithinTheWidth) {
  EXPECT_EQ("[--------------------]   0% Indexing...",
            TerminalProgress::BarLine(0, "Indexing...", 80));
  EXPECT_EQ("[#########-----------]  45% Analyzing [.../a.html]...",
            TerminalProgress::BarLine(45, "Analyzing [.../a.html]...", 80));
  EXPECT_EQ("[####################] 100% Complete", TerminalProgress::BarLine(100, "Complete", 80));
  EXPECT_EQ("[--------------------]   0% ", TerminalProgress::BarLine(-1, "", 80));
  EXPECT_EQ(29u, TerminalProgress::BarLine(50, "a very long status line indeed", 30).size());
}

TEST(TerminalProgress, VerboseOutputPrintsEachNewStatusOnceAndEndsWithTheFinalLine) {
  std::ostringstream out;
  TerminalProgress progress(out, false, 80, true);
  progress.PostProgress(0, std::make_unique<std::string>("Scanning [.../a.html]..."));
  progress.PostProgress(5, std::make_unique<std::string>("Generating Index..."));
  progress.PostProgress(6, std::make_unique<std::string>("Generating Index..."));
  progress.PostProgress(100, std::make_unique<std::string>("Complete (1 files indexed)"));
  progress.PrintPending(0);
  progress.Close("Complete (1 files indexed)");
  EXPECT_EQ("Scanning [.../a.html]...\nGenerating Index...\nComplete (1 files indexed)\n",
            out.str());
}

TEST(TerminalProgress, LiveOutputRedrawsOneLineAndReplacesItAtTheEnd) {
  std::ostringstream out;
  TerminalProgress progress(out, true, 60);
  progress.PostProgress(10, std::make_unique<std::string>("Indexing..."));
  progress.PostProgress(20, std::make_unique<std::string>("Analyzing [.../a.html]..."));
  progress.PrintPending(0);
  progress.Close("Complete (1 files indexed)");
  EXPECT_EQ(
      "\r[####----------------]  20% Analyzing [.../a.html]...\x1b[K"
      "\r\x1b[KComplete (1 files indexed)\n",
      out.str());
}

// In a pipe: a line when a phase begins, then one per 10 % and 2 seconds
// (both must have passed), and every notice as it comes.
TEST(TerminalProgress, PipeOutputPrintsPhasesAndTheRarerOfTenPercentAndTwoSeconds) {
  std::ostringstream out;
  auto now = std::chrono::steady_clock::time_point();
  TerminalProgress progress(out, false, 80, false, [&] { return now; });
  const auto report = [&](int percent, const char* status, int seconds_later) {
    now += std::chrono::seconds(seconds_later);
    progress.PostProgress(percent, std::make_unique<std::string>(status));
    progress.PrintPending(0);
  };
  report(0, "Scanning [.../a.html]...", 0);
  report(0, "Scanning [.../b.html]...", 5);
  report(0, "Indexing...", 0);
  report(5, "Analyzing [.../a.html]...", 1);   // 5 %: too little
  report(12, "Analyzing [.../b.html]...", 0);  // 12 %, but only 1 s after the phase line
  report(13, "Analyzing [.../c.html]...", 1);  // 13 % and 2 s
  progress.PostNotice(std::make_unique<std::string>("Warning: cannot read d.html"));
  report(20, "Skipping [.../e.css]...", 9);  // 7 % more: too little
  report(24, "Analyzing [.../f.html]...", 1);
  report(97, "Generating Index...", 0);
  report(100, "Complete (5 files indexed)", 0);
  progress.Close("Complete (5 files indexed)");
  EXPECT_EQ(
      "Scanning...\n"
      "Indexing...\n"
      " 13% Analyzing [.../c.html]...\n"
      "Warning: cannot read d.html\n"
      " 24% Analyzing [.../f.html]...\n"
      "Generating Index...\n"
      "Complete (5 files indexed)\n",
      out.str());
}

TEST(TerminalProgress, NoticesInterruptTheLiveBarAndRedrawIt) {
  std::ostringstream out;
  TerminalProgress progress(out, true, 60);
  progress.PostProgress(20, std::make_unique<std::string>("Indexing..."));
  progress.PrintPending(0);
  progress.PostNotice(std::make_unique<std::string>("Warning: cannot read a.html"));
  progress.PrintPending(0);
  EXPECT_EQ(
      "\r[####----------------]  20% Indexing...\x1b[K"
      "\r\x1b[KWarning: cannot read a.html\n[####----------------]  20% Indexing...\x1b[K",
      out.str());
}

}  // namespace
}  // namespace vossik
