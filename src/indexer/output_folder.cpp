#include "indexer/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace vossik {

std::string TargetWithSlashes(std::string_view target) {
  std::string out(target);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string NormaliseFolder(std::string_view path) {
  std::vector<std::string_view> kept;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find('/', begin);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(begin, end - begin);
    if (segment == ".") {
      // dropped
    } else if (segment == ".." && !kept.empty() && kept.back() != ".." && !kept.back().empty()) {
      kept.pop_back();
    } else {
      kept.push_back(segment);
    }
    begin = end + 1;
  }
  std::string out;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += '/';
    out += kept[i];
  }
  return out;
}

bool ResolveTargetFolder(const std::string& source, std::string_view target, std::string* resolved,
                         std::string* error) {
  std::string slashed = TargetWithSlashes(target);
  if (slashed.empty() || slashed.front() != '/') {
    *resolved = std::move(slashed);
    return true;
  }
  const auto plain = [](const std::string& path) {
    std::string out = NormaliseFolder(path);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
  };
  std::error_code ignored;
  const std::string site = plain(std::filesystem::absolute(source, ignored).string());
  const std::string wanted = plain(slashed);
  if (wanted == site) {
    *resolved = ".";
    return true;
  }
  if (wanted.starts_with(site + "/")) {
    *resolved = wanted.substr(site.size() + 1);
    return true;
  }
  *error = "Search folder '" + std::string(target) + "' is outside the website folder '" + source +
           "'; give it relative to the website folder (for example search)";
  return false;
}

std::string OutputFolderFor(std::string_view source, std::string_view target) {
  std::string joined(source);
  joined += '/';
  joined += TargetWithSlashes(target);
  return NormaliseFolder(joined);
}

}  // namespace vossik
