#include "indexer/word_table.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace vossik {
namespace {

bool EqualsLowered(std::string_view key, const std::string& stored) {
  if (key.size() != stored.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (AsciiLower(key[i]) != stored[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

WordTable::WordTable(std::size_t chains) {
  std::size_t count = 2;
  int bits = 1;
  while (count < chains && bits < 30) {
    count <<= 1;
    ++bits;
  }
  newest_.assign(count, -1);
  shift_ = 32 - bits;
}

uint32_t WordTable::HashOf(std::string_view text) {
  uint32_t k = 0;
  for (char c : text) k = static_cast<unsigned char>(AsciiLower(c)) + 131u * k;
  return k;
}

// The words of one index table all share (hash + 1) mod 256, so the low bits
// of the hash cannot pick a chain; the multiplication spreads every bit of it
// into the top bits that are used.
std::size_t WordTable::ChainOf(uint32_t hash) const {
  return static_cast<std::size_t>((hash * 0x9E3779B1u) >> shift_);
}

int32_t WordTable::IndexOf(std::string_view text, uint32_t hash) const {
  int32_t i = newest_[ChainOf(hash)];
  while (i >= 0) {
    const auto index = static_cast<std::size_t>(i);
    if (links_[index].hash == hash && EqualsLowered(text, entries_[index].text)) break;
    i = links_[index].older;
  }
  return i;
}

WordEntry* WordTable::find(std::string_view text, uint32_t hash) {
  const int32_t i = IndexOf(text, hash);
  return i < 0 ? nullptr : &entries_[static_cast<std::size_t>(i)];
}

WordEntry* WordTable::find(std::string_view text) { return find(text, HashOf(text)); }

const WordEntry* WordTable::find(std::string_view text) const { return find(text, HashOf(text)); }

const WordEntry* WordTable::find(std::string_view text, uint32_t hash) const {
  const int32_t i = IndexOf(text, hash);
  return i < 0 ? nullptr : &entries_[static_cast<std::size_t>(i)];
}

WordEntry& WordTable::add(std::string_view text, int bucket) {
  return add(text, bucket, HashOf(text));
}

WordEntry& WordTable::add(std::string_view text, int bucket, uint32_t hash) {
  if (size_ >= newest_.size()) Grow();
  if (size_ == entries_.size()) {
    entries_.emplace_back();
    links_.push_back({});
  }
  WordEntry& entry = entries_[size_];
  entry.text.resize(text.size());  // reuses the memory of a cleared entry
  char* lowered = entry.text.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    lowered[i] = AsciiLower(text[i]);
  }
  entry.bucket = bucket;
  entry.pages.clear();

  int32_t& newest = newest_[ChainOf(hash)];
  links_[size_] = {hash, newest};
  newest = static_cast<int32_t>(size_);
  ++size_;
  return entry;
}

void WordTable::clear() {
  std::fill(newest_.begin(), newest_.end(), -1);
  size_ = 0;
}

// Relinking in insertion order keeps every chain newest-first.
void WordTable::Grow() {
  newest_.assign(newest_.size() * 2, -1);
  --shift_;
  for (std::size_t i = 0; i < size_; ++i) {
    int32_t& newest = newest_[ChainOf(links_[i].hash)];
    links_[i].older = newest;
    newest = static_cast<int32_t>(i);
  }
}

}  // namespace vossik
