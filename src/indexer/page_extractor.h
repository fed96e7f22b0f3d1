// Page text extraction: turns the raw bytes of one accepted page into its
// URL, title, summary and the text whose words are indexed. Markup is
// blanked in place on the page's own buffer, so the work is linear in the
// page size and needs no copy beyond the word text. Pages are single-byte
// text; no character set is decoded.
//
// Stateless and thread-safe; only the site-map links file is shared state.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

struct ExtractedPage {
  std::string url;             // relative to the source folder, with "/"
  std::string title;           // never empty: falls back to the file name
  std::string site_map_title;  // as found in the page, possibly empty
  std::string summary;         // JavaScript string content, ends in "..."
  std::string word_text;       // lower-cased text, white space collapsed
};

/// Extracts the page at `path` from its `content`, which is left with its
/// markup, "<!--VK_NOINDEX-->" regions, and "&nbsp;" entities turned into
/// blanks (the entities shorten it). The summary holds at most
/// `summaryLength` bytes before its "...". The page's line of the site-map
/// links file is made from `url` and `site_map_title` (AppendSiteMapLink).
ExtractedPage extractPage(const std::string& path, std::string& content,
                          const std::string& source_folder, int summary_length);

/// Why `content` is not a page to index, or empty when it may be one: it
/// starts like a compressed or binary format ("gzip data", "PNG image",
/// ...), or it holds a NUL byte ("binary data"). A page of text never does.
std::string_view NotTextReason(std::string_view content);

/// Appends the page's entry for the page list: title, URL and summary, each
/// in double quotes and followed by a comma. Title and URL are escaped as
/// JavaScript string content; the summary is escaped already.
void AppendPageEntry(std::string& entries, const ExtractedPage& page);

/// The summary of blanked page text: quotes and backslashes escaped,
/// brackets and white space collapsed into single blanks, and when longer
/// than `summaryLength` cut there and then back to the last whole word;
/// always ends in "...".
std::string MakeSummary(std::string_view blanked, int summary_length);

}  // namespace vossik
