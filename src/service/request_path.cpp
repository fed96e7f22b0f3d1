#include "service/request_path.h"

namespace vossik {
namespace {

constexpr std::string_view kActionPrefix = "/ACTION=";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::string_view> RequestPath::Find(std::string_view name) const {
  for (const auto& [key, value] : parameters) {
    if (key == name) return std::string_view(value);
  }
  return std::nullopt;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

RequestPath ParseRequestPath(std::string_view path) {
  RequestPath parsed;
  if (!path.starts_with(kActionPrefix)) return parsed;
  path.remove_prefix(kActionPrefix.size());
  std::size_t end = path.find('&');
  parsed.action = std::string(path.substr(0, end));
  while (end != std::string_view::npos) {
    path.remove_prefix(end + 1);
    end = path.find('&');
    const std::string_view piece = path.substr(0, end);
    if (piece.empty()) continue;
    const std::size_t equals = piece.find('=');
    if (equals == std::string_view::npos) {
      parsed.parameters.emplace_back(std::string(piece), std::string());
    } else {
      parsed.parameters.emplace_back(std::string(piece.substr(0, equals)),
                                     PercentDecoded(piece.substr(equals + 1)));
    }
  }
  return parsed;
}

}  // namespace vossik
