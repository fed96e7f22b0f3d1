// Reading secrets: an encrypted setting value as it is stored in the
// configuration file, and an encrypted container file (the descriptor, a
// configuration that begins "ENCRYPTED.V001").
#include "base/container_cipher.h"
#include "fuzz_support.h"
#include "settings/secret_cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  const std::string_view text = fuzz::AsText(data, size);
  static_cast<void>(DecryptSecret(text));
  if (IsContainer(text)) {
    const auto file = fuzz::ScratchFolder() / "container";
    fuzz::WriteOrDie(file, text);
    std::string plain;
    static_cast<void>(ReadContainer(file, &plain));
  }
  return 0;
}
