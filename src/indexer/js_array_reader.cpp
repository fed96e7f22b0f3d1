#include "indexer/js_array_reader.h"

#include "indexer/utf8.h"

namespace vossik {

bool JsArrayReader::OpenArray() {
  pos_ = text_.find('[', pos_);
  if (pos_ == std::string_view::npos) return false;
  ++pos_;
  return true;
}

JsArrayReader::Item JsArrayReader::Next(std::string* string, long* number) {
  SkipBlanks();
  if (pos_ < text_.size() && text_[pos_] == ',' && !first_) {
    ++pos_;
    SkipBlanks();
  }
  first_ = false;
  if (pos_ >= text_.size()) return Item::kError;
  const char c = text_[pos_];
  if (c == ']') return Item::kEnd;
  if (c == '"') return ReadString(string) ? Item::kString : Item::kError;
  if (c == '-' || (c >= '0' && c <= '9')) return ReadNumber(number) ? Item::kNumber : Item::kError;
  return Item::kError;
}

void JsArrayReader::SkipBlanks() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                 text_[pos_] == '\n')) {
    ++pos_;
  }
}

bool JsArrayReader::ReadNumber(long* number) {
  const bool negative = text_[pos_] == '-';
  if (negative) ++pos_;
  const std::size_t start = pos_;
  long value = 0;
  while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
    // Past any page number the value only has to stay large, not exact.
    if (value < 1'000'000'000) value = value * 10 + (text_[pos_] - '0');
    ++pos_;
  }
  *number = negative ? -value : value;
  return pos_ > start;
}

bool JsArrayReader::ReadHex(std::size_t count, uint32_t* value) {
  if (text_.size() - pos_ < count) return false;
  *value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text_[pos_ + i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return false;
    *value = *value * 16 + static_cast<uint32_t>(digit);
  }
  pos_ += count;
  return true;
}

// \uXXXX, a surrogate pair of them, or \u{X...}; a lone surrogate becomes
// U+FFFD, as the browser encodes it.
bool JsArrayReader::ReadUnicodeEscape(std::string& out) {
  uint32_t code = 0;
  if (pos_ < text_.size() && text_[pos_] == '{') {
    const std::size_t close = text_.find('}', pos_);
    if (close == std::string_view::npos || close == pos_ + 1 || close - pos_ > 7) return false;
    ++pos_;
    if (!ReadHex(close - pos_, &code) || code > 0x10FFFF) return false;
    ++pos_;
  } else if (!ReadHex(4, &code)) {
    return false;
  }
  if (code >= 0xD800 && code <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
    const std::size_t save = pos_;
    pos_ += 2;
    uint32_t low = 0;
    if (ReadHex(4, &low) && low >= 0xDC00 && low <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
      return true;
    }
    pos_ = save;
  }
  AppendUtf8(out, code);
  return true;
}

bool JsArrayReader::ReadString(std::string* out) {
  out->clear();
  ++pos_;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (c == '"') return true;
    if (c == '\r' || c == '\n') return false;
    if (c != '\\') {
      *out += c;
      continue;
    }
    if (pos_ >= text_.size()) return false;
    const char e = text_[pos_++];
    uint32_t code = 0;
    switch (e) {
      case 'n':
        *out += '\n';
        break;
      case 'r':
        *out += '\r';
        break;
      case 't':
        *out += '\t';
        break;
      case 'b':
        *out += '\b';
        break;
      case 'f':
        *out += '\f';
        break;
      case 'v':
        *out += '\v';
        break;
      case '0':
        *out += '\0';
        break;
      case 'x':
        if (!ReadHex(2, &code)) return false;
        AppendUtf8(*out, code);
        break;
      case 'u':
        if (!ReadUnicodeEscape(*out)) return false;
        break;
      case '\r':  // a line continuation adds nothing
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        break;
      case '\n':
        break;
      default:
        *out += e;
    }
  }
  return false;
}

}  // namespace vossik
