// Page extraction: the bytes of any file the walk accepts, with the links
// file line and page list entry made from what it extracts. Property: the
// summary ends in "..." and the word text is lower case.
#include "fuzz_support.h"
#include "indexer/index_writer.h"
#include "indexer/page_extractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vossik;
  std::string content(fuzz::AsText(data, size));
  if (!NotTextReason(content).empty()) return 0;
  const int summary_length = size > 0 ? data[0] % 64 : 10;
  const ExtractedPage page =
      extractPage("/site/docs/a page.html", content, "/site", summary_length);
  fuzz::Require(page.summary.size() >= 3 && page.summary.ends_with("..."), "summary ends in ...");
  for (char c : page.word_text) fuzz::Require(c < 'A' || c > 'Z', "word text is lower case");
  std::string entries;
  AppendPageEntry(entries, page);
  std::string links;
  AppendSiteMapLink(links, page.url, page.site_map_title);
  AppendSiteMapLink(links, page.site_map_title, page.title);
  fuzz::Require(links.find("<script") == std::string::npos, "links file holds no markup");
  return 0;
}
