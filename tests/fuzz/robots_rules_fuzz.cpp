// robots.txt rules: collecting them from any text and checking page URLs
// against them.
#include "fuzz_support.h"
#include "indexer/robots_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  const std::string_view text = fuzz::AsText(data, size);
  for (const char* robot : {"", "Vossik"}) {
    RobotsRules rules;
    rules.SetRobotName(robot);
    rules.Collect(text);
    static_cast<void>(rules.Disallows("/docs/a.html"));
    static_cast<void>(rules.Disallows("/"));
    for (const std::string& path : rules.DisallowedPaths()) {
      static_cast<void>(rules.Disallows(path));
      static_cast<void>(rules.Disallows("/" + path + "x"));
    }
  }
  return 0;
}
