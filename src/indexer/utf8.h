// Encodes Unicode code points as UTF-8, the form the browser gives text
// it hands on (TextEncoder): a code point no character can have (a lone
// surrogate, or one past U+10FFFF) becomes U+FFFD.
#pragma once

#include <cstdint>
#include <string>

namespace vossik {

/// Appends the UTF-8 bytes of `code` to `out`.
void AppendUtf8(std::string& out, uint32_t code);

}  // namespace vossik
