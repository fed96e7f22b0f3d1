#include "indexer/output_folder.h"

#include <algorithm>
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

std::string OutputFolderFor(std::string_view source, std::string_view target) {
  std::string joined(source);
  joined += '/';
  joined += TargetWithSlashes(target);
  return NormaliseFolder(joined);
}

}  // namespace vossik
