// The index reader behind -search, on whatever an output folder holds. The
// input is the page list, a NUL byte, and the index file that every word of
// the query is looked up in. Property: it never crashes, and every hit
// names a page of the list.
#include "fuzz_support.h"
#include "indexer/index_writer.h"
#include "indexer/search_index.h"
#include "indexer/word_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  const std::string_view input = fuzz::AsText(data, size);
  const std::size_t nul = input.find('\0');
  const std::string_view pages = input.substr(0, nul);
  const std::string_view index = nul == std::string_view::npos ? "" : input.substr(nul + 1);
  const std::string folder = fuzz::ScratchFolder().string();
  fuzz::WriteOrDie(folder + "/sitemap.js", pages);
  for (const char* word : {"river", "walk"}) {
    fuzz::WriteOrDie(IndexFileName(folder, bucketOf(word)), index);
  }
  SearchIndex reader;
  std::string error;
  if (!reader.Open(folder, &error)) return 0;
  for (const SearchHit& hit : reader.Search("river walks", "a,the")) {
    fuzz::Require(hit.page >= 1 && hit.page <= reader.PageCount(), "hits name listed pages");
    static_cast<void>(DisplayText(hit.title));
    static_cast<void>(DisplayText(hit.summary));
  }
  return 0;
}
