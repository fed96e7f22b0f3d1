#include "service/log_tail.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

TEST(LogTail, ReadsTheLastLines) {
  TempDir dir;
  struct Row {
    std::string content;
    long lines;
    std::string expected;
  };
  std::string long_log;
  for (int i = 0; i < 20000; ++i) long_log += "line " + std::to_string(i) + "\r\n";
  const Row rows[] = {
      {"a\r\nb\r\nc\r\n", 2, "b\r\nc\r\n"},
      {"a\r\nb\r\nc", 2, "b\r\nc"},  // a last line without its end
      {"a\nb\n", 5, "a\nb\n"},
      {"a\nb\n", 0, ""},
      {"", 3, ""},
      {long_log, 2, "line 19998\r\nline 19999\r\n"},  // across chunk borders
  };
  for (const Row& row : rows) {
    const auto file = dir.Write("log.log", row.content);
    std::string text = "stale";
    EXPECT_TRUE(ReadLastLines(file, row.lines, &text));
    EXPECT_EQ(row.expected, text) << row.content.substr(0, 20) << " " << row.lines;
  }
  std::string text = "stale";
  EXPECT_TRUE(ReadLastLines(dir.Path() / "missing.log", 5, &text));
  EXPECT_EQ("", text);
  std::string long_tail;
  EXPECT_TRUE(ReadLastLines(dir.Write("long.log", long_log), 5000, &long_tail));
  EXPECT_TRUE(long_tail.starts_with("line 15000\r\n"));
  EXPECT_FALSE(ReadLastLines(dir.Path(), 5, &text));  // a folder cannot be read
}

}  // namespace
}  // namespace vossik
