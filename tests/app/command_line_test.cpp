#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

using Mode = CommandLine::Mode;

TEST(CommandLine, ModeComesFromTheFirstArgumentInAnyCase) {
  struct Row {
    std::vector<std::string> args;
    Mode mode;
    bool error;
  };
  const Row rows[] = {
      {{}, Mode::kSettingsWindow, false},
      {{"-generatehtml"}, Mode::kGenerateHtml, false},
      {{"-GENERATEHTML"}, Mode::kGenerateHtml, false},
      {{"-GenerateHtmlHelp"}, Mode::kGenerateHtmlHelp, false},
      {{"-build"}, Mode::kBuild, false},
      {{"-Build"}, Mode::kBuild, false},
      {{"-help"}, Mode::kHelp, false},
      {{"--help"}, Mode::kHelp, false},
      {{"-h"}, Mode::kHelp, false},
      {{"-version"}, Mode::kVersion, false},
      {{"--version"}, Mode::kVersion, false},
      {{"-search", "trail", "map"}, Mode::kSearch, false},
      // Only the first argument names the mode.
      {{"x", "-generatehtml"}, Mode::kSettingsWindow, true},
      {{"-frobnicate"}, Mode::kSettingsWindow, true},
      {{"-search"}, Mode::kSearch, true},
      {{"-admin", "status"}, Mode::kAdmin, false},
      {{"-ADMIN", "log", "Vossik", "50"}, Mode::kAdmin, false},
      {{"-admin"}, Mode::kAdmin, true},
  };
  for (const Row& row : rows) {
    const CommandLine line = ParseCommandLine(row.args);
    EXPECT_EQ(row.mode, line.mode) << ::testing::PrintToString(row.args);
    EXPECT_EQ(row.error, !line.error.empty()) << ::testing::PrintToString(row.args) << line.error;
  }
}

TEST(CommandLine, AdminTakesTheActionAndItsArgumentsButNotSet) {
  const CommandLine line =
      ParseCommandLine({"-admin", "log", "-set", "service:port=8123", "Indexing", "20"});
  EXPECT_EQ((std::vector<std::string>{"log", "Indexing", "20"}), line.admin_args);
  ASSERT_EQ(1u, line.settings.size());
  EXPECT_EQ("service:port", line.settings[0].first);
}

TEST(CommandLine, WizardTakesTheSecondArgumentAsItsUid) {
  EXPECT_EQ("setup", ParseCommandLine({"-wizard", "setup"}).wizard_uid);
  EXPECT_EQ("setup", ParseCommandLine({"-WIZARD", "setup"}).wizard_uid);
  const CommandLine bare = ParseCommandLine({"-wizard"});
  EXPECT_TRUE(bare.wizard_requested);
  EXPECT_EQ("", bare.wizard_uid);
  EXPECT_TRUE(bare.error.empty());
}

TEST(CommandLine, RunAfterIsExactAndMayStandAnywhere) {
  EXPECT_EQ("/usr/bin/true", ParseCommandLine({"-runafter", "/usr/bin/true"}).run_after);
  EXPECT_EQ("next", ParseCommandLine({"-wizard", "setup", "-runafter", "next"}).run_after);
  EXPECT_EQ("next", ParseCommandLine({"-build", "-runafter", "next"}).run_after);
  EXPECT_EQ("", ParseCommandLine({"-wizard", "setup", "-runafter"}).run_after);
  EXPECT_EQ("", ParseCommandLine({"-RunAfter", "next"}).run_after);
}

TEST(CommandLine, SetPairsAreCollectedWhereverTheyStand) {
  const CommandLine line = ParseCommandLine(
      {"-set", "index:dirsrc=/srv/site", "-build", "-set", "index:dirdest=a=b", "-SET", "x:y="});
  EXPECT_EQ(Mode::kBuild, line.mode);
  EXPECT_TRUE(line.error.empty()) << line.error;
  ASSERT_EQ(3u, line.settings.size());
  EXPECT_EQ("index:dirsrc", line.settings[0].first);
  EXPECT_EQ("/srv/site", line.settings[0].second);
  EXPECT_EQ("a=b", line.settings[1].second);
  EXPECT_EQ("", line.settings[2].second);
}

TEST(CommandLine, MalformedSetIsAnError) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-build", "-set"},
                                               {"-build", "-set", "novalue"},
                                               {"-set", "=value"}}) {
    EXPECT_FALSE(ParseCommandLine(args).error.empty()) << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace vossik
