// Text placed between the double quotes of a JavaScript string literal in
// the files the browser loads (page list, stop list, offline index path).
// Only the four bytes that could end or break such a literal are escaped;
// every other byte, including those of 128 and above, is kept as it is.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

/// Appends `text` with every backslash doubled, every double quote written
/// as backslash + quote, CR as "\r" and LF as "\n".
void AppendJsStringContent(std::string& out, std::string_view text);

/// The same escaping as a new string.
std::string JsStringContent(std::string_view text);

}  // namespace vossik
