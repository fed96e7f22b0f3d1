// WordTable holds words once each, looked up ignoring case, and remembers
// the order in which they were added. A build uses one per page to drop
// repeated words, 256 as the index (one per output file) and one for the
// stop words.
//
// Words are stored lower-cased (only A to Z change) and compared ignoring
// case the same way. When the same text is somehow added twice, find returns
// the newer entry. Entries live in the table: pointers and references stay
// valid until clear() or the table's destruction. Not thread-safe; a table
// is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

struct WordEntry {
  std::string text;            // lower case
  int bucket = 0;              // 0..255: the index file the word goes to
  std::vector<int32_t> pages;  // used by the index tables only; ascending
};

class WordTable {
 public:
  using ConstIterator = std::deque<WordEntry>::const_iterator;

  /// `chains` is the expected number of words; the table grows past it.
  explicit WordTable(std::size_t chains);

  /// The entry whose text equals `text` ignoring case, or nullptr.
  WordEntry* find(std::string_view text);
  const WordEntry* find(std::string_view text) const;

  /// Appends a new entry (text lower-cased, no pages) to the insertion
  /// order. Does not look for an existing one: callers find() first.
  WordEntry& add(std::string_view text, int bucket);

  /// find() and add() for a text whose hashOf() the caller already holds.
  WordEntry* find(std::string_view text, uint32_t hash);
  const WordEntry* find(std::string_view text, uint32_t hash) const;
  WordEntry& add(std::string_view text, int bucket, uint32_t hash);

  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

  /// The entries in the order they were added.
  ConstIterator begin() const { return entries_.begin(); }
  ConstIterator end() const { return entries_.begin() + static_cast<std::ptrdiff_t>(size_); }

  /// Removes every entry. The memory is kept for the next words: the page
  /// word set is filled and cleared once per page.
  void clear();

  /// k := lower(b) + 131 * k over the bytes, wrapping at 2^32. The bucket of
  /// a word is (hashOf(word) + 1) mod 256.
  static uint32_t HashOf(std::string_view text);

 private:
  struct Link {
    uint32_t hash;
    int32_t older;  // the previous entry of the same chain, or -1
  };

  std::size_t ChainOf(uint32_t hash) const;
  int32_t IndexOf(std::string_view text, uint32_t hash) const;  // -1 when absent
  void Grow();

  std::deque<WordEntry> entries_;  // [0, size_) in use; the rest kept for reuse
  std::vector<Link> links_;        // parallel to entries_
  std::vector<int32_t> newest_;    // per chain: newest entry, or -1
  int shift_ = 0;                  // 32 - log2(newest_.size())
  std::size_t size_ = 0;
};

}  // namespace vossik
