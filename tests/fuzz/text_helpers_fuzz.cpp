// The text conversions shared by the program: value quoting (property: a
// quoted value unquotes to itself), XML escaping and decoding (property:
// escaped ASCII text decodes to itself; control bytes are blanked and high
// bytes become references on purpose), trimming, splitting, numbers and
// dates.
#include "base/date_text.h"
#include "base/size_text.h"
#include "base/string_util.h"
#include "fuzz_support.h"
#include "settings/value_quoting.h"
#include "xml/xml_escaping.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  const std::string_view text = fuzz::AsText(data, size);

  fuzz::Require(UnquoteValue(QuoteValue(text)) == text, "a quoted value unquotes to itself");
  static_cast<void>(UnquoteValue(text));

  std::string escaped;
  AppendEscaped(escaped, text);
  std::string decoded;
  AppendDecoded(decoded, escaped);
  bool plain_ascii = true;
  for (unsigned char c : text) {
    plain_ascii &= (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r';
  }
  fuzz::Require(!plain_ascii || decoded == text, "escaped ASCII text decodes to itself");
  std::string escaped_utf8;
  AppendEscapedUtf8(escaped_utf8, text);
  std::string any;
  AppendDecoded(any, text);

  static_cast<void>(TrimBlanks(text));
  static_cast<void>(SplitTrimmed(text, ",; \t"));
  static_cast<void>(ParseLeadingNumber(text));
  static_cast<void>(ParseDate(text, 1700000000));
  std::string out;
  if (size >= 4) {
    int32_t bytes = 0;
    for (int i = 0; i < 4; ++i)
      bytes = static_cast<int32_t>((static_cast<uint32_t>(bytes) << 8) | data[i]);
    AppendKilobytes(out, bytes);
  }
  return 0;
}
