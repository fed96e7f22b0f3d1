// Reads the index files and the page list the way the browser runs them:
// flat JavaScript array literals of double-quoted strings and whole
// numbers. A string comes back as the UTF-8 bytes that the browser's
// TextEncoder would give for its value, so the terminal search sees the
// same text as the search page. Reads a view it does not own; the text must
// outlive the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vossik {

class JsArrayReader {
 public:
  explicit JsArrayReader(std::string_view text) : text_(text) {}

  /// Moves past the first "[" at or after the current position. False when
  /// there is none.
  [[nodiscard]] bool OpenArray();

  enum class Item { kString, kNumber, kEnd, kError };

  /// The next item of the array: a string in *string (escapes resolved), a
  /// number in *number, kEnd at the closing "]", kError on anything else,
  /// such as an unterminated string or a missing "]".
  Item Next(std::string* string, long* number);

 private:
  void SkipBlanks();
  [[nodiscard]] bool ReadNumber(long* number);
  bool ReadHex(std::size_t count, uint32_t* value);
  [[nodiscard]] bool ReadUnicodeEscape(std::string& out);
  bool ReadString(std::string* out);

  std::string_view text_;
  std::size_t pos_ = 0;
  bool first_ = true;
};

}  // namespace vossik
