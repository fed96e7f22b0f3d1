#include "app/terminal_search.h"

#include <algorithm>
#include <string>

#include "indexer/index_options.h"
#include "indexer/index_writer.h"
#include "indexer/output_folder.h"
#include "indexer/search_index.h"

namespace vossik {

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) {
      out += '?';
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F, the C1 controls; some terminals act on them.
      out += '?';
      ++i;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

int RunTerminalSearch(const SettingsStore& settings, const XmlNode* descriptor,
                      std::string_view words, std::ostream& out, std::ostream& err) {
  const IndexOptions options = ReadIndexOptions(settings, descriptor);
  const std::string& source = options.source_folder;
  const std::string& stop_list = options.stop_list;
  if (source.empty() || options.target_folder.empty()) {
    err << "You must specify some content to index (Source files) and a target folder\n";
    return 2;
  }
  std::string target;
  std::string error;
  if (!ResolveTargetFolder(source, options.target_folder, &target, &error)) {
    err << error << "\n";
    return 2;
  }
  const std::string output_folder = OutputFolderFor(source, target);
  // A publish that a killed build left half done is finished first, so the
  // search reads one build's files.
  if (!RecoverPublish(output_folder, options.site_map_file, nullptr, &error)) {
    err << error << "\n";
    return 1;
  }

  SearchIndex index;
  if (!index.Open(output_folder, &error)) {
    err << TerminalText(error) << "\n";
    return 1;
  }
  const std::vector<SearchHit> hits = index.Search(words, stop_list);
  const std::string quoted = "\"" + TerminalText(words) + "\"";
  if (hits.empty()) {
    out << "No pages found for " << quoted << "\n";
    return 0;
  }
  out << hits.size() << (hits.size() == 1 ? " page" : " pages") << " found for " << quoted << "\n";
  const std::size_t shown = std::min<std::size_t>(hits.size(), kTerminalSearchResults);
  for (std::size_t i = 0; i < shown; ++i) {
    out << "\n"
        << (i + 1) << ". " << TerminalText(DisplayText(hits[i].title)) << "\n   "
        << TerminalText(hits[i].url) << "\n   " << TerminalText(DisplayText(hits[i].summary))
        << "\n";
  }
  return 0;
}

}  // namespace vossik
