// The configuration file parser. Property: a text that parses serialises
// to a text that parses back to the same store.
#include "base/result_codes.h"
#include "fuzz_support.h"
#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  SettingsStore first;
  if (first.Parse(fuzz::AsText(data, size)) != kResultOk) return 0;
  const std::string saved = first.Serialize();
  SettingsStore second;
  const int reparsed = second.Parse(saved);
  // A store without any line saves as a bare line end, which is no file.
  if (saved.find('[') == std::string::npos) return 0;
  fuzz::Require(reparsed == kResultOk, "saved text parses");
  fuzz::Require(second.Serialize() == saved, "saved text parses back to the same store");
  return 0;
}
