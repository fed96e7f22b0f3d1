// The batch build as a user runs it: the vossik program in a folder of its
// own, with the site and target given by -set.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

struct Outcome {
  int status = -1;
  std::string output;  // standard error
};

// Runs vossik with `args`; `onLine` sees each line of standard error as it
// comes and may return true to interrupt the program once.
Outcome RunVossik(const std::vector<std::string>& args,
                  const std::function<bool(const std::string&)>& on_line = nullptr) {
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
  FILE* in = fdopen(pipe_fds[0], "r");
  char buffer[4096];
  bool interrupted = false;
  while (fgets(buffer, sizeof buffer, in) != nullptr) {
    outcome.output += buffer;
    if (!interrupted && on_line && on_line(buffer)) {
      kill(child, SIGINT);
      interrupted = true;
    }
  }
  fclose(in);
  int status = 0;
  waitpid(child, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

class BatchBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.ChangeInto();
    site_ = (dir_.Path() / "site").string();
    dir_.Write("site/index.html", "<title>Home</title>Welcome to the river walks");
    dir_.Write("site/walks/upper.html", "<title>Upper river</title>A long walk by the water");
  }
  std::vector<std::string> Args(std::vector<std::string> extra = {}) const {
    std::vector<std::string> args{"-build", "-set", "index:dirsrc=" + site_, "-set",
                                  "index:dirdest=search"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  TempDir dir_;
  std::string site_;
};

TEST_F(BatchBuildTest, BuildsFromAnyFolderAndEndsWithTheCompleteLine) {
  const Outcome outcome = RunVossik(Args());
  EXPECT_EQ(0, outcome.status) << outcome.output;
  EXPECT_EQ("Complete (2 files indexed)", LastLine(outcome.output));
  EXPECT_NE(std::string::npos, ReadFile(site_ + "/search/sitemap.js").find("\"Upper river\""));
  EXPECT_NE(std::string::npos, ReadFile(site_ + "/search/vkfunctions.js").find("fnIJ"));
}

TEST_F(BatchBuildTest, SettingsThatAllowNoBuildEndWithStatusTwoAndCreateNothing) {
  const std::string missing = (dir_.Path() / "nonexistent").string();
  const struct {
    std::vector<std::string> args;
    std::string message;
  } rows[] = {
      {{"-build", "-set", "index:dirdest=search"},
       "You must specify some content to index (Source files) and a target folder"},
      {{"-build", "-set", "index:dirsrc=" + missing},
       "Website folder '" + missing + "' does not exist"},
      {{"-build", "-set", "index:dirsrc=" + site_ + "/index.html"},
       "Website folder '" + site_ + "/index.html' is not a folder"},
  };
  for (const auto& row : rows) {
    const Outcome outcome = RunVossik(row.args);
    EXPECT_EQ(2, outcome.status) << row.message;
    EXPECT_EQ(row.message, LastLine(outcome.output));
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(std::filesystem::exists(site_ + "/search"));
}

TEST_F(BatchBuildTest, FailedBuildNamesTheFileAndEndsWithStatusOne) {
  ASSERT_EQ(0, RunVossik(Args()).status);
  const std::string page_list = ReadFile(site_ + "/search/sitemap.js");
  std::filesystem::create_directory(site_ + "/search/sitemap.js.tmp");
  dir_.Write("site/new.html", "<title>New</title>fresh");
  const Outcome outcome = RunVossik(Args());
  EXPECT_EQ(1, outcome.status);
  EXPECT_EQ("Build failed: cannot write '" + site_ +
                "/search/sitemap.js': Is a directory; the previous index is unchanged",
            LastLine(outcome.output));
  EXPECT_NE(std::string::npos, outcome.output.find("Error: cannot write")) << outcome.output;
  EXPECT_EQ(page_list, ReadFile(site_ + "/search/sitemap.js"));
}

// In a pipe the build prints its phases and the warnings, not a line per
// file; -verbose prints every file.
TEST_F(BatchBuildTest, PipeOutputShowsPhasesAndWarningsAndVerboseShowsEveryFile) {
  for (int i = 0; i < 50; ++i) {
    dir_.Write("site/many/page" + std::to_string(i) + ".html", "<title>Page</title>words");
  }
  dir_.Write("site/archive.html.gz", std::string("\x1F\x8B\x08\x00", 4));
  const Outcome quiet = RunVossik(Args());
  EXPECT_EQ(0, quiet.status);
  EXPECT_EQ(
      "Scanning...\nIndexing...\nGenerating Index...\nComplete (52 files indexed, 1 skipped)\n",
      quiet.output);

  const Outcome verbose = RunVossik(Args({"-verbose"}));
  EXPECT_EQ(0, verbose.status);
  EXPECT_NE(std::string::npos, verbose.output.find("Analyzing [.../many/page7.html]...\n"));
  EXPECT_EQ("Complete (52 files indexed, 1 skipped)", LastLine(verbose.output));
}

TEST_F(BatchBuildTest, UsageStatesTheExitCodes) {
  const Outcome outcome = RunVossik({"-help"});
  EXPECT_EQ(0, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("Exit status: 0 complete, 1 the build"))
      << outcome.output;
}

TEST_F(BatchBuildTest, UnknownSettingIsNamed) {
  const Outcome outcome = RunVossik(Args({"-set", "index:colour=red"}));
  EXPECT_EQ(2, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("index:colour"));
}

TEST_F(BatchBuildTest, CtrlCCancelsAndKeepsThePreviousIndex) {
  ASSERT_EQ(0, RunVossik(Args()).status);
  const std::string page_list = ReadFile(site_ + "/search/sitemap.js");
  const std::string bucket = ReadFile(site_ + "/search/vkindex7f.js");
  // Enough pages that the build is still analysing when the signal lands.
  for (int i = 0; i < 3000; ++i) {
    dir_.Write("site/many/page" + std::to_string(i) + ".html",
               "<title>Page " + std::to_string(i) + "</title>filler words for the index");
  }
  const Outcome outcome =
      RunVossik(Args(), [](const std::string& line) { return line == "Indexing...\n"; });
  EXPECT_EQ(130, outcome.status) << LastLine(outcome.output);
  EXPECT_EQ(page_list, ReadFile(site_ + "/search/sitemap.js"));
  EXPECT_EQ(bucket, ReadFile(site_ + "/search/vkindex7f.js"));
}

}  // namespace
}  // namespace vossik
