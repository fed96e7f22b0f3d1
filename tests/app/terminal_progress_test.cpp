#include "app/terminal_progress.h"

#include <gtest/gtest.h>

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

TEST(TerminalProgress, PlainOutputPrintsEachNewStatusOnceAndEndsWithTheFinalLine) {
  std::ostringstream out;
  TerminalProgress progress(out, false);
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

}  // namespace
}  // namespace vossik
