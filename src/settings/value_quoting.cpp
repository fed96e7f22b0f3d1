#include "settings/value_quoting.h"

namespace vossik {

std::string QuoteValue(std::string_view text) {
  if (text.find_first_of("\r\n\t\"\\") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  out += '"';
  return out;
}

std::string UnquoteValue(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') continue;
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    const char escaped = text[++i];
    switch (escaped) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      default:
        out += escaped;
    }
  }
  return out;
}

}  // namespace vossik
