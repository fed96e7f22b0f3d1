// The wildcard matcher used for file patterns and robots.txt agents: "*"
// matches any run of bytes (also none), "?" exactly one byte, every other
// byte itself. The pattern must cover the whole text. Case is ignored for
// the letters A to Z only: pages and paths are single-byte text in no
// particular code page.
#pragma once

#include <string_view>

namespace vossik {

/// Whether `pattern` matches all of `text`. Runs in O(pattern x text) at
/// worst, however many stars the pattern holds.
[[nodiscard]] bool Matches(std::string_view pattern, std::string_view text, bool case_sensitive);

}  // namespace vossik
