#include "base/file_io.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;

// A process id that ran and has ended.
long EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

// Copies of vossik.cfg that killed runs left behind go; those of a run that
// is still going, and files that only look alike, stay.
TEST(RemoveStaleTemporaries, RemovesOnlyTheCopiesOfEndedRuns) {
  testing::TempDir dir;
  const std::string dead = std::to_string(EndedProcess());
  const std::string alive = std::to_string(getppid());
  const std::vector<std::string> names{"vossik.cfg",
                                       "vossik.cfg." + dead + ".0.tmp",
                                       "vossik.cfg." + dead + ".17.tmp",
                                       "vossik.cfg." + alive + ".0.tmp",
                                       "vossik.cfg.tmp",
                                       "vossik.cfg.x.1.tmp",
                                       "other.cfg." + dead + ".0.tmp",
                                       "vossik.cfg." + dead + ".0.tmp.keep"};
  for (const std::string& name : names) {
    dir.Write(name, "x");
  }
  EXPECT_EQ(2, RemoveStaleTemporaries(dir.Path() / "vossik.cfg"));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  std::vector<std::string> expected{
      "other.cfg." + dead + ".0.tmp",       "vossik.cfg",     "vossik.cfg." + alive + ".0.tmp",
      "vossik.cfg." + dead + ".0.tmp.keep", "vossik.cfg.tmp", "vossik.cfg.x.1.tmp"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, left);
}

}  // namespace
}  // namespace vossik
