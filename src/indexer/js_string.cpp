#include "indexer/js_string.h"

namespace vossik {

void AppendJsStringContent(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the run not yet copied
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* escape = nullptr;
    switch (text[i]) {
      case '\\':
        escape = "\\\\";
        break;
      case '"':
        escape = "\\\"";
        break;
      case '\r':
        escape = "\\r";
        break;
      case '\n':
        escape = "\\n";
        break;
      default:
        continue;
    }
    out.append(text, plain, i - plain);
    out += escape;
    plain = i + 1;
  }
  out.append(text, plain);
}

std::string JsStringContent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendJsStringContent(out, text);
  return out;
}

}  // namespace vossik
