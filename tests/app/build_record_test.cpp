// The batch build's record: the vossik program run with -build in a folder
// of its own, and the statistics file it leaves behind.
#include "app/build_record.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

struct Outcome {
  int status = -1;
  std::string output;  // standard error and standard output
};

Outcome RunVossik(const std::vector<std::string>& args) {
  int pipe_fds[2];
  EXPECT_EQ(0, pipe(pipe_fds));
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_fds[1], STDERR_FILENO);
    dup2(pipe_fds[1], STDOUT_FILENO);
    close(pipe_fds[0]);
    const std::string program = std::string(VOSSIK_BINARY_DIR) + "/vossik";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  Outcome outcome;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    outcome.output.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

class BuildRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.ChangeInto();
    site_ = (dir_.Path() / "site").string();
    dir_.Write("site/index.html", "<title>Home</title>Welcome to the river walks");
    dir_.Write("site/walks/upper.html", "<title>Upper river</title>A long walk by the water");
    dir_.Write("site/walks/notes.txt", "Notes on the river");
  }
  std::vector<std::string> Args() const {
    return {"-build",
            "-set",
            "index:dirsrc=" + site_,
            "-set",
            "index:dirdest=search",
            "-set",
            "index:typeinclude=*.htm,*.txt"};
  }
  std::string Statistic(const std::string& key) const {
    SettingsStore store;
    if (store.Parse(ReadFile(dir_.Path() / "stats/vossik.stats")) != kResultOk) return "(none)";
    std::string value;
    return store.GetValue("Statistics", key, "", &value) == kResultOk ? value : "(missing)";
  }

  TempDir dir_;
  std::string site_;
};

TEST_F(BuildRecordTest, EachBuildAddsToTheStatisticsTheServiceKeepsAsWell) {
  Outcome outcome = RunVossik(Args());
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_EQ("3", Statistic("Pages"));
  EXPECT_EQ("1", Statistic("Builds"));
  EXPECT_EQ("0", Statistic("FailedBuilds"));
  EXPECT_EQ("html,txt", Statistic("FileTypes"));
  EXPECT_EQ("2,1", Statistic("FileTypePages"));
  EXPECT_NE("0", Statistic("Words"));
  EXPECT_NE("0", Statistic("IndexBytes"));
  EXPECT_NE("0", Statistic("LastBuildTime"));

  dir_.Write("site/walks/lower.html", "<title>Lower river</title>Reeds and herons");
  outcome = RunVossik(Args());
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_EQ("2", Statistic("Builds"));
  EXPECT_EQ("3,4", Statistic("BuildPages"));
  const std::string seconds = Statistic("BuildSeconds");
  EXPECT_EQ(1, std::count(seconds.begin(), seconds.end(), ',')) << seconds;
}

TEST_F(BuildRecordTest, ABuildThatNeverStartedIsNotRecorded) {
  const Outcome outcome = RunVossik(
      {"-build", "-set", "index:dirsrc=" + site_ + "/missing", "-set", "index:dirdest=search"});
  EXPECT_EQ(2, outcome.status);
  EXPECT_EQ("", ReadFile(dir_.Path() / "stats/vossik.stats"));
}

// The build itself succeeded: it says so, and says that its record could
// not be kept.
TEST_F(BuildRecordTest, AStatisticsFileThatCannotBeWrittenIsReported) {
  dir_.Write("stats", "a file where the folder should be");
  const Outcome outcome = RunVossik(Args());
  EXPECT_EQ(0, outcome.status) << outcome.output;
  EXPECT_NE(std::string::npos, outcome.output.find("Warning: cannot write './stats/vossik.stats'"))
      << outcome.output;
}

}  // namespace
}  // namespace vossik
