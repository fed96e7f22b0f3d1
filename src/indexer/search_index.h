// SearchIndex answers queries over an index that a build published in its
// output folder, exactly as the search page does in the browser: the same
// words, the same files read, the same ranking (doc/search-ranking.md). The
// terminal search uses it, and it is the reference the browser tests hold
// the search page to.
//
// open() reads the page list once; each search() reads only the index files
// of the query's words. A SearchIndex is immutable after open(), so search()
// may run on several threads at once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class WordTable;

struct SearchHit {
  int page = 0;       // page number in the page list, from 1
  std::string title;  // as the page list holds them, unescaped
  std::string url;    // relative to the site root
  std::string summary;
  double score = 0;  // relevance within the hits that match as many words
  int matched = 0;   // how many of the query's words the page matches
};

/// The distinct index words of a query, in the order typed: the text is
/// lower-cased, cut at the separators and each token normalised with the
/// build's default rules (minimum length 2, mixed numbers kept) and
/// `stopWords` (may be null). The builder uses the same rules, so a word it
/// left out finds nothing.
std::vector<std::string> QueryWords(std::string_view query, const WordTable* stop_words);

/// A title or summary as a reader should see it: the HTML character
/// references that pages carry into their text ("&amp;", "&#8212;",
/// "&#x2014;", "&nbsp;" and the like) turned into the characters, in UTF-8.
/// Only for showing: ranking reads the text as the page list holds it.
std::string DisplayText(std::string_view text);

class SearchIndex {
 public:
  /// Reads outputFolder + "/sitemap.js". False, with a message in *error,
  /// when it is missing or is not a page list.
  [[nodiscard]] bool Open(const std::string& output_folder, std::string* error);

  int PageCount() const { return static_cast<int>(pages_.size()); }

  /// Every page that matches at least one query word, best first. The stop
  /// words come from `stopListSetting` (the text of index:stoplist). Index
  /// files that are missing or unreadable count as holding no words.
  std::vector<SearchHit> Search(std::string_view query, std::string_view stop_list_setting) const;

 private:
  struct Page {
    std::string title, url, summary;
  };

  std::string folder_;
  std::vector<Page> pages_;  // page n at pages_[n - 1]
};

}  // namespace vossik
