#include "indexer/search_templates.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "indexer/js_string.h"

namespace fs = std::filesystem;

namespace vossik {
namespace {

void ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
  std::string out;
  std::size_t from = 0;
  std::size_t at = text.find(placeholder);
  if (at == std::string::npos) return;
  while (at != std::string::npos) {
    out.append(text, from, at - from);
    out += value;
    from = at + placeholder.size();
    at = text.find(placeholder, from);
  }
  out.append(text, from);
  text = std::move(out);
}

// "</" and "<!--" would end or change an inline script around the string.
std::string WithoutScriptEnds(std::string text) {
  for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    if (at + 1 < text.size() && (text[at + 1] == '/' || text[at + 1] == '!')) {
      text.insert(at + 1, 1, '\\');
    }
  }
  return text;
}

}  // namespace

fs::path FindTemplate(const std::vector<fs::path>& folders, std::string_view name) {
  for (const fs::path& folder : folders) {
    std::error_code error;
    fs::path candidate = folder / name;
    if (fs::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

std::string ScriptStringContent(std::string_view text) {
  return WithoutScriptEnds(JsStringContent(text));
}

std::string FillTemplate(std::string text, const TemplateValues& values,
                         const std::string& offline_path) {
  std::string index_dir = values.index_dir;
  std::replace(index_dir.begin(), index_dir.end(), '\\', '/');
  index_dir = ScriptStringContent(index_dir);
  const std::string stop_list = WithoutScriptEnds(values.stop_list);
  const std::string index_path =
      offline_path.empty() ? "./" : ScriptStringContent(offline_path) + "/";

  const std::pair<std::string_view, std::string_view> replacements[] = {
      {"$indexdir$", index_dir},
      {"$indexjoinfunction$", "fnIJ"},
      {"$indexfileprefix$", "vkindex"},
      {"$indexstems$", values.stems},
      {"$indexstoplist$", stop_list},
      {"$indexhashcode$", "131"},
      {"$indexhashoverflow$", "1024*1024"},
      {"$indexhashmod$", "256"},
      {"$indexofflineprefix$", "../"},
      {"$indexpath$", index_path},
  };
  for (const auto& [placeholder, value] : replacements) ReplaceAll(text, placeholder, value);
  return text;
}

}  // namespace vossik
