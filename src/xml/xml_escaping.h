// Escaping text for XML and HTML output, and decoding the entity sequences
// that such text holds. Both work byte by byte; no character set is
// converted.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

/// Appends `bytes` escaped for XML and HTML: tab, LF and CR as "&#9;",
/// "&#10;", "&#13;", other control bytes as a blank, the four markup
/// characters as entities, and bytes 127..255 as "&#N;".
void AppendEscaped(std::string& out, std::string_view bytes);

/// As AppendEscaped, but a valid UTF-8 sequence is kept as it is, so that
/// an XML parser reads UTF-8 text back unchanged. Other bytes of 127 and
/// up are written "&#N;" as AppendEscaped writes them.
void AppendEscapedUtf8(std::string& out, std::string_view bytes);

/// Appends `bytes` with "&lt;", "&gt;", "&amp;", "&quot;" and "&#N;" decoded.
void AppendDecoded(std::string& out, std::string_view bytes);

}  // namespace vossik
