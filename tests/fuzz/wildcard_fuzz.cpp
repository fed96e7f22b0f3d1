// The wildcard matcher and the pattern lists built on it. The input is a
// pattern, a NUL byte and a text. Properties: a pattern matches its own
// text, "*" matches any text, and case-insensitive matching accepts
// whatever case-sensitive matching accepts.
#include "fuzz_support.h"
#include "indexer/pattern_list.h"
#include "indexer/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  const std::string_view input = fuzz::AsText(data, size);
  const std::size_t nul = input.find('\0');
  const std::string_view pattern = input.substr(0, nul);
  const std::string_view text = nul == std::string_view::npos ? input : input.substr(nul + 1);

  const bool exact = Matches(pattern, text, true);
  fuzz::Require(!exact || Matches(pattern, text, false), "case-insensitive accepts more");
  fuzz::Require(Matches("*", text, true), "* matches any text");
  fuzz::Require(Matches(pattern, pattern, true), "a pattern matches its own text");

  PatternList list(std::vector<std::string>{std::string(pattern), "*.htm", "plain/prefix"});
  static_cast<void>(list.Match(text));
  return 0;
}
