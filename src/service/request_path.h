// The path of an administration request, "/ACTION=NAME&key=value&...",
// taken apart: the action and the parameters in the order given. Values
// are percent-decoded ("%0A" is a line feed); nothing else is changed, so a
// "+" stays a "+".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vossik {

struct RequestPath {
  std::string action;  // as written; empty when the path does not name one
  std::vector<std::pair<std::string, std::string>> parameters;

  /// The value of the first parameter named `name` (exact case), if any.
  std::optional<std::string_view> Find(std::string_view name) const;
};

/// Splits `path` at "&". The first piece must be "/ACTION=NAME"; any other
/// path gives an empty action. A piece without "=" is a parameter with an
/// empty value.
RequestPath ParseRequestPath(std::string_view path);

/// `text` with every "%XY" of two hexadecimal digits replaced by its byte.
std::string PercentDecoded(std::string_view text);

}  // namespace vossik
