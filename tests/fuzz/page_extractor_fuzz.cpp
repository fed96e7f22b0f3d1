// Page extraction: the bytes of any file the walk accepts, with the links
// file line and page list entry made from what it extracts. Property: the
// summary ends in "..." and the word text is lower case.
#include <utility>

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
  // A link line for the page, and one that takes its title for a file name:
  // the URL never leaves its attribute and the title holds no markup.
  for (const auto& [url, title] :
       {std::pair{page.url, page.site_map_title}, std::pair{page.site_map_title, page.title}}) {
    std::string links;
    AppendSiteMapLink(links, url, title);
    const std::string_view line = links;
    const std::string_view head = "<A HREF=\"", middle = "\"><FONT class=hidden>",
                           tail = "</FONT></A>\r\n";
    fuzz::Require(line.starts_with(head) && line.ends_with(tail), "link line frame");
    const std::size_t url_end = line.find('"', head.size());
    fuzz::Require(line.substr(url_end, middle.size()) == middle, "the URL ends at its quote");
    const std::string_view shown =
        line.substr(url_end + middle.size(), line.size() - url_end - middle.size() - tail.size());
    fuzz::Require(shown.find_first_of("<>\"") == std::string_view::npos, "title holds no markup");
  }
  return 0;
}
