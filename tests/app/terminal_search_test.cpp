#include "app/terminal_search.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

// Titles, summaries and file names reach the terminal without a control
// byte that could move the cursor, retitle the window or clear the screen.
TEST(TerminalText, ReplacesEveryControlCharacter) {
  const struct {
    std::string_view text, shown;
  } rows[] = {
      {"River walks", "River walks"},
      {"\x1b]0;pwned\x07title", "?]0;pwned?title"},
      {"a\tb\r\nc\x7f", "a?b??c?"},
      {"caf\xC3\xA9 \xE2\x80\x94 ok", "caf\xC3\xA9 \xE2\x80\x94 ok"},  // é and a dash stay
      {"\xC2\x9B"
       "2J",
       "?2J"},  // C1 CSI
      {"\xC2\xA0nbsp", "\xC2\xA0nbsp"},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(row.shown, TerminalText(row.text)) << row.text;
}

}  // namespace
}  // namespace vossik
