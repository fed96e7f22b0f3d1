#include "indexer/search_templates.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/file_io.h"
#include "indexer/index_writer.h"
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

}  // namespace

bool instantiateTemplate(const fs::path& templates_dir, const std::string& template_name,
                         const std::string& output_folder, const TemplateValues& values,
                         const std::string& output_name, const std::string& offline_path) {
  std::string text;
  if (!ReadWholeFile(templates_dir / template_name, &text) || text.empty()) return false;

  std::string index_dir = values.index_dir;
  std::replace(index_dir.begin(), index_dir.end(), '\\', '/');
  const std::string index_path = offline_path.empty() ? "./" : JsStringContent(offline_path) + "/";

  const std::pair<std::string_view, std::string_view> replacements[] = {
      {"$indexdir$", index_dir},
      {"$indexjoinfunction$", "fnIJ"},
      {"$indexfileprefix$", "vkindex"},
      {"$indexstems$", values.stems},
      {"$indexstoplist$", values.stop_list},
      {"$indexhashcode$", "131"},
      {"$indexhashoverflow$", "1024*1024"},
      {"$indexhashmod$", "256"},
      {"$indexofflineprefix$", "../"},
      {"$indexpath$", index_path},
  };
  for (const auto& [placeholder, value] : replacements) ReplaceAll(text, placeholder, value);

  const std::string& name = output_name.empty() ? template_name : output_name;
  return ReplaceFileAtomically(output_folder + "/" + name, text);
}

bool copyBulletImage(const fs::path& templates_dir, const std::string& output_folder) {
  std::error_code error;
  if (!fs::is_directory(output_folder, error) && !CreateFolderPath(output_folder)) return false;
  const fs::path destination = output_folder + "/bullet.gif";
  if (fs::exists(destination, error)) {
    fs::permissions(destination, fs::perms::owner_write, fs::perm_options::add, error);
  }
  return fs::copy_file(templates_dir / "bullet.gif", destination,
                       fs::copy_options::overwrite_existing, error);
}

}  // namespace vossik
