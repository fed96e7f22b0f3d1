#include "app/terminal_search.h"

#include <algorithm>
#include <string>

#include "indexer/index_options.h"
#include "indexer/output_folder.h"
#include "indexer/search_index.h"

namespace vossik {

int RunTerminalSearch(const SettingsStore& settings, const XmlNode* descriptor,
                      std::string_view words, std::ostream& out, std::ostream& err) {
  const IndexOptions options = ReadIndexOptions(settings, descriptor);
  const std::string& source = options.source_folder;
  const std::string& target = options.target_folder;
  const std::string& stop_list = options.stop_list;
  if (source.empty() || target.empty()) {
    err << "You must specify some content to index (Source files) and a target folder\n";
    return 2;
  }

  SearchIndex index;
  std::string error;
  if (!index.Open(OutputFolderFor(source, target), &error)) {
    err << error << "\n";
    return 1;
  }
  const std::vector<SearchHit> hits = index.Search(words, stop_list);
  if (hits.empty()) {
    out << "No pages found for \"" << words << "\"\n";
    return 0;
  }
  out << hits.size() << (hits.size() == 1 ? " page" : " pages") << " found for \"" << words
      << "\"\n";
  const std::size_t shown = std::min<std::size_t>(hits.size(), kTerminalSearchResults);
  for (std::size_t i = 0; i < shown; ++i) {
    out << "\n"
        << (i + 1) << ". " << DisplayText(hits[i].title) << "\n   " << hits[i].url << "\n   "
        << DisplayText(hits[i].summary) << "\n";
  }
  return 0;
}

}  // namespace vossik
