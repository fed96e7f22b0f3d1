// The rules that turn page text into index words and pick each word's index
// file. The search script in the browser repeats them for the visitor's
// words (doc/index-format.md), so any change here breaks every published
// index: both sides must cut, stem and hash identically.
//
// All functions work on bytes in the system code page and are thread-safe
// as long as the tables they are given are not shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/word_table.h"

namespace vossik {

/// The longest word kept; longer tokens are cut.
inline constexpr std::size_t kMaxWordLength = 32;
/// Index tables (and index files) per build.
inline constexpr int kBucketCount = 256;

struct WordRules {
  int min_word_length = 2;                // shorter tokens are dropped
  bool include_mixed_numbers = true;      // keep tokens mixing digits and letters
  const WordTable* stop_words = nullptr;  // not owned; none when null
};

/// True for the 36 bytes that end a token: . ? ! " ' ` 0xA3 0x80 $ ; : ,
/// ( ) { } [ ] < > 0xAC % ^ * + = @ ~ # / | \ blank CR LF TAB.
[[nodiscard]] bool IsSeparator(unsigned char byte);

/// The index file of a word: h := (lower(b) + 131 h) mod 1024*1024 over its
/// bytes, then (h + 1) mod 256. The empty word is in bucket 1.
[[nodiscard]] int bucketOf(std::string_view word);

/// One token (no separators in it) to its index word: high bytes of the
/// first 32 become capitals, the rest is cut; too short, digits only, mixed
/// when not wanted, or a stop word: dropped (false, `word` untouched);
/// then the first matching suffix of buildStems() is cut (exact case) and
/// "-" and "_" are removed. The result keeps its case; tables lower-case it.
[[nodiscard]] bool NormaliseToken(std::string_view token, const WordRules& rules,
                                  std::string* word);

/// Splits `wordText` at the separators and adds each normalised word not
/// yet held to `pageWords` with its bucket. The empty word counts as a word.
void collectWords(std::string_view word_text, const WordRules& rules, WordTable& page_words);

/// Appends `pageNumber` to the page list of every word of `pageWords` in its
/// bucket's table, adding the words not met before at the end of that
/// table, then clears `pageWords`. REQUIRES: indexTables.size() == 256 and
/// page numbers given in ascending order, so every page list ascends.
void mergePage(WordTable& page_words, int32_t page_number, std::vector<WordTable>& index_tables);

struct StopList {
  std::unique_ptr<WordTable> words;  // null when the setting names no word
  std::string text;                  // "\"a\",\"the\"": for the search script
};

/// Reads the stop-word setting: words separated by commas, blanks, tabs or
/// line ends; kept lower-cased and once each, in first-seen order. The text
/// lists them as double-quoted JavaScript strings joined by ",".
StopList buildStopList(std::string_view setting);

/// The suffixes that stemming cuts, in the order they are tried, as
/// double-quoted strings joined by ",".
std::string buildStems();

}  // namespace vossik
