#include "indexer/robots_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/log.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using Paths = std::vector<std::string>;

Paths Collected(const std::string& robot_name, const std::string& text) {
  RobotsRules rules;
  rules.SetRobotName(robot_name);
  rules.Collect(text);
  return rules.DisallowedPaths();
}

TEST(RobotsRules, CollectsTheFieldsThatApplyToTheRobot) {
  struct Row {
    const char* robot;
    const char* text;
    Paths expected;
  };
  const Row rows[] = {
      {"", "User-agent: *\r\nDisallow: /cgi-bin # scripts\r\n", {"/cgi-bin"}},
      // A line without a colon folds into the agent, which is then not "*".
      {"", "User-agent: *\n# scripts\nDisallow: /cgi-bin\n", {}},
      // So does an indented line, colon or not.
      {"", "User-agent: *\n Disallow: /a\nDisallow: /b\n", {}},
      {"", "Disallow: /early\nUser-agent: other\nDisallow: /late\n", {"/early"}},
      {"", "User-agent: mybot\nDisallow: /x\n", {}},
      {"MyBot", "User-agent: my*\nDisallow: /x\nUser-agent: *\nDisallow: /y\n", {"/x", "/y"}},
      {"mybot", "User-agent: other\nDisallow: /x\n", {}},
      {"", "user-agent:*\ndisallow:\t/a\t\nDISALLOW:\n", {"/a", ""}},
      // The last line counts without a line break, the lines before the
      // first field do not.
      {"", "intro\nUser-agent: *\nDisallow: /last", {"/last"}},
      {"", "User-agent:\nDisallow: /x\n", {}},
      {"", "Disallow : /x\nAllow: /y\n", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, Collected(row.robot, row.text)) << row.text;
}

TEST(RobotsRules, CollectReplacesEarlierPaths) {
  RobotsRules rules;
  rules.Collect("Disallow: /a\n");
  rules.Collect("Disallow: /b\n");
  EXPECT_EQ(Paths{"/b"}, rules.DisallowedPaths());
}

TEST(RobotsRules, DisallowsUrlPathsByPrefixStarAndEndAnchor) {
  RobotsRules rules;
  rules.Collect("Disallow:\nDisallow: /cgi-bin\nDisallow: /*.pdf$\nDisallow: /private*/draft\n");
  struct Row {
    const char* url_path;
    bool expected;
  };
  const Row rows[] = {
      {"/cgi-bin/run.html", true}, {"/cgi-binary.html", true},  {"/CGI-BIN/run.html", false},
      {"/docs/a.pdf", true},       {"/docs/a.pdf.html", false}, {"/private-2/old/draft.html", true},
      {"/private/x.html", false},  {"/index.html", false},  // the empty path disallows nothing
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, rules.Disallows(row.url_path)) << row.url_path;
}

class RecordingLog : public Log {
 public:
  RecordingLog() : Log("robots-test", true, false) {}
  void Write(int type, int level, std::string_view message) override {
    EXPECT_EQ(kLogMessage, type);
    EXPECT_EQ(kLogGeneral, level);
    lines.emplace_back(message);
  }
  std::vector<std::string> lines;
};

TEST(RobotsRules, ReadsRobotsTxtOfTheSourceFolder) {
  testing::TempDir site;
  site.Write("robots.txt", "User-agent: indexer\nDisallow: /tmp\n");
  RobotsRules rules;
  RecordingLog log;
  rules.Read(site.Path().string(), "Indexer", &log);
  EXPECT_EQ(Paths{"/tmp"}, rules.DisallowedPaths());
  EXPECT_EQ((std::vector<std::string>{"Checking for robots.txt file ", "Found robots.txt file ",
                                      "robots.txt file is valid. Processing rules"}),
            log.lines);
}

TEST(RobotsRules, MissingOrEmptyRobotsTxtGivesNoRules) {
  testing::TempDir site;
  RobotsRules rules;
  RecordingLog log;
  rules.Read(site.Path().string(), "", &log);
  site.Write("empty/robots.txt", "");
  rules.Read((site.Path() / "empty").string(), "", nullptr);
  EXPECT_TRUE(rules.DisallowedPaths().empty());
  EXPECT_EQ(
      (std::vector<std::string>{"Checking for robots.txt file ", "robots.txt file NOT found."}),
      log.lines);
}

}  // namespace
}  // namespace vossik
