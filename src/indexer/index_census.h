// IndexCensus counts what a published index holds, from its files
// (doc/index-format.md): every page of the page list with the number of
// index words that lead to it, the distinct words, and the bytes of the
// index. The service takes one after every build for its statistics and
// its page list, the batch build for its statistics.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace vossik {

struct IndexedPage {
  std::string title;  // as the page list holds them, in UTF-8
  std::string url;    // relative to the site folder
  long words = 0;     // distinct index words found on the page
  uint64_t size = 0;  // of the page's file now; 0 when it is gone
  std::time_t modified = 0;
};

struct IndexCensus {
  std::vector<IndexedPage> pages;  // page n at pages[n - 1]
  long words = 0;                  // distinct index words
  uint64_t index_bytes = 0;        // the index files and the page list
  std::time_t published = 0;       // when the page list was written

  /// Pages by file type: the lower-cased extension of the URL ("html"),
  /// "(none)" for a URL without one.
  std::map<std::string, long> PagesByType() const;
};

/// Reads the index in `output_folder` of the site in `source_folder`, whose
/// pages give their sizes and times. False, with the reason in `*error`,
/// when it has no readable page list; missing or unreadable index files
/// count as holding no words.
[[nodiscard]] bool ReadIndexCensus(const std::string& source_folder,
                                   const std::string& output_folder, IndexCensus* census,
                                   std::string* error);

}  // namespace vossik
