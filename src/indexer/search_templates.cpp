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

void replaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
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

bool instantiateTemplate(const fs::path& templatesDir, const std::string& templateName,
                         const std::string& outputFolder, const TemplateValues& values,
                         const std::string& outputName, const std::string& offlinePath) {
  std::string text;
  if (!ReadWholeFile(templatesDir / templateName, &text) || text.empty()) return false;

  std::string indexDir = values.indexDir;
  std::replace(indexDir.begin(), indexDir.end(), '\\', '/');
  const std::string indexPath = offlinePath.empty() ? "./" : jsStringContent(offlinePath) + "/";

  const std::pair<std::string_view, std::string_view> replacements[] = {
      {"$indexdir$", indexDir},
      {"$indexjoinfunction$", "fnIJ"},
      {"$indexfileprefix$", "vkindex"},
      {"$indexstems$", values.stems},
      {"$indexstoplist$", values.stopList},
      {"$indexhashcode$", "131"},
      {"$indexhashoverflow$", "1024*1024"},
      {"$indexhashmod$", "256"},
      {"$indexofflineprefix$", "../"},
      {"$indexpath$", indexPath},
  };
  for (const auto& [placeholder, value] : replacements) replaceAll(text, placeholder, value);

  const std::string& name = outputName.empty() ? templateName : outputName;
  return ReplaceFileAtomically(outputFolder + "/" + name, text);
}

bool copyBulletImage(const fs::path& templatesDir, const std::string& outputFolder) {
  std::error_code error;
  if (!fs::is_directory(outputFolder, error)) createFolderPath(outputFolder);
  const fs::path destination = outputFolder + "/bullet.gif";
  if (fs::exists(destination, error)) {
    fs::permissions(destination, fs::perms::owner_write, fs::perm_options::add, error);
  }
  return fs::copy_file(templatesDir / "bullet.gif", destination,
                       fs::copy_options::overwrite_existing, error);
}

}  // namespace vossik
