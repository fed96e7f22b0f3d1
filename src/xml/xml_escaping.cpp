#include "xml/xml_escaping.h"

namespace vossik {

void AppendEscaped(std::string& out, std::string_view bytes) {
  for (char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        if (c < 32) {
          out += ' ';
        } else if (c >= 127) {
          out += "&#" + std::to_string(c) + ";";
        } else {
          out += ch;
        }
    }
  }
}

void AppendDecoded(std::string& out, std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] != '&' || bytes.size() - i < 4) {
      out += bytes[i++];
      continue;
    }
    const std::string_view rest = bytes.substr(i + 1);
    if (rest.starts_with("lt;")) {
      out += '<';
      i += 4;
    } else if (rest.starts_with("gt;")) {
      out += '>';
      i += 4;
    } else if (rest.starts_with("amp;")) {
      out += '&';
      i += 5;
    } else if (rest.starts_with("quot;")) {
      out += '"';
      i += 6;
    } else if (rest[0] == '#' && rest[1] >= '0' && rest[1] <= '9') {
      std::size_t j = 1;
      unsigned value = 0;
      for (; j < rest.size() && rest[j] >= '0' && rest[j] <= '9'; ++j) {
        value = (value * 10 + static_cast<unsigned>(rest[j] - '0')) % 256;
      }
      if (j < rest.size() && rest[j] == ';') ++j;
      out += static_cast<char>(value);
      i += 1 + j;
    } else {
      out += bytes[i++];
    }
  }
}

}  // namespace vossik
