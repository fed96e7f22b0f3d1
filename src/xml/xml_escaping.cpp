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

namespace {

// The length of the valid UTF-8 sequence of two or more bytes at the start
// of `bytes`, or 0: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

void AppendEscapedUtf8(std::string& out, std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length =
        static_cast<unsigned char>(bytes[i]) >= 0xC2 ? Utf8SequenceLength(bytes.substr(i)) : 0;
    if (length > 0) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      AppendEscaped(out, bytes.substr(i, 1));
      ++i;
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
