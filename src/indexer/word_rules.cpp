#include "indexer/word_rules.h"

#include <array>

#include "base/ascii_case.h"
#include "indexer/js_string.h"

namespace vossik {
namespace {

enum : uint8_t { kSeparator = 1, kDigit = 2, kLetter = 4, kJoiner = 8 };

// What the rules need to know of one raw byte, looked up once per byte.
struct ByteInfo {
  char folded;      // bytes of 128 and above become capitals
  uint8_t lowered;  // the folded byte as the hash reads it
  uint8_t classes;  // of the raw byte for kSeparator, of the folded one otherwise
};

// Bytes of 128 and above stand for letters of the code page; the browser
// cannot know which, so both sides map them to capitals the same way.
constexpr std::array<ByteInfo, 256> MakeByteInfo() {
  std::array<ByteInfo, 256> info{};
  for (int b = 0; b < 256; ++b) {
    const int folded = b < 128 ? b : 'A' + b % 26;
    uint8_t classes = 0;
    if (folded >= '0' && folded <= '9') classes = kDigit;
    if ((folded >= 'A' && folded <= 'Z') || (folded >= 'a' && folded <= 'z')) classes = kLetter;
    if (folded == '-' || folded == '_') classes = kJoiner;
    const int lowered = static_cast<unsigned char>(AsciiLower(static_cast<char>(folded)));
    info[static_cast<std::size_t>(b)] = {static_cast<char>(folded), static_cast<uint8_t>(lowered),
                                         classes};
  }
  for (unsigned char c : std::string_view(".?!\"'`$;:,(){}[]<>%^*+=@~#/|\\ \r\n\t")) {
    info[c].classes = kSeparator;
  }
  for (unsigned char c : {0xA3, 0x80, 0xAC}) info[c].classes = kSeparator;
  return info;
}
constexpr std::array<ByteInfo, 256> kBytes = MakeByteInfo();

inline const ByteInfo& InfoOf(char c) { return kBytes[static_cast<unsigned char>(c)]; }

constexpr std::array<std::string_view, 10> kStems = {"ying", "ment", "ing", "ies", "ed",
                                                     "es",   "ly",   "s",   "y",   "e"};

bool EndsWith(const char* word, int length, std::string_view suffix) {
  const int size = static_cast<int>(suffix.size());
  if (size > length) return false;
  for (int i = 0; i < size; ++i) {
    if (word[length - size + i] != suffix[static_cast<std::size_t>(i)]) return false;
  }
  return true;
}

// The length of the first suffix of kStems that the word ends with, or 0.
// Suffixes are told apart by their last byte first, which keeps their order
// within each group and skips the others.
int StemLength(const char* word, int length) {
  if (length == 0) return 0;
  switch (word[length - 1]) {
    case 'g':
      if (EndsWith(word, length, "ying")) return 4;
      return EndsWith(word, length, "ing") ? 3 : 0;
    case 't':
      return EndsWith(word, length, "ment") ? 4 : 0;
    case 's':
      if (EndsWith(word, length, "ies")) return 3;
      return EndsWith(word, length, "es") ? 2 : 1;
    case 'd':
      return EndsWith(word, length, "ed") ? 2 : 0;
    case 'y':
      return EndsWith(word, length, "ly") ? 2 : 1;
    case 'e':
      return 1;
    default:
      return 0;
  }
}

// One token on its way to a word. Tokens are read byte by byte, once, while
// the tokeniser looks for their end; the hash of every prefix is kept so
// that the word's hash needs no second pass after stemming.
class Token {
 public:
  void Reset() {
    length_ = 0;
    classes_ = 0;
  }

  void Push(const ByteInfo& byte) {
    if (length_ == kMaxWordLength) return;  // the rest is cut
    bytes_[length_] = byte.folded;
    classes_ |= byte.classes;
    prefix_hash_[length_ + 1] = byte.lowered + 131u * prefix_hash_[length_];
    ++length_;
  }

  // The rules after the cut: length, digits, stop words, stem, joiners.
  // Returns false when the token is dropped; otherwise word() and hash()
  // hold the word.
  bool finish(const WordRules& rules) {
    const int length = static_cast<int>(length_);
    if (length < rules.min_word_length) return false;
    if ((classes_ & kDigit) && (!(classes_ & kLetter) || !rules.include_mixed_numbers))
      return false;
    const std::string_view cut(bytes_.data(), length_);
    if (rules.stop_words != nullptr &&
        rules.stop_words->find(cut, prefix_hash_[length_]) != nullptr) {
      return false;
    }
    const auto stemmed = static_cast<std::size_t>(length - StemLength(bytes_.data(), length));
    word_length_ = stemmed;
    hash_ = prefix_hash_[stemmed];
    if (classes_ & kJoiner) DropJoiners(stemmed);
    return true;
  }

  std::string_view Word() const { return {bytes_.data(), word_length_}; }
  uint32_t Hash() const { return hash_; }

 private:
  void DropJoiners(std::size_t length) {
    std::size_t kept = 0;
    uint32_t hash = 0;
    for (std::size_t i = 0; i < length; ++i) {
      const ByteInfo& byte = InfoOf(bytes_[i]);
      if (byte.classes == kJoiner) continue;
      bytes_[kept++] = bytes_[i];
      hash = byte.lowered + 131u * hash;
    }
    word_length_ = kept;
    hash_ = hash;
  }

  std::array<char, kMaxWordLength> bytes_;
  std::array<uint32_t, kMaxWordLength + 1> prefix_hash_{};  // [0] stays 0
  std::size_t length_ = 0;
  std::size_t word_length_ = 0;
  uint32_t hash_ = 0;
  uint8_t classes_ = 0;
};

}  // namespace

bool IsSeparator(unsigned char byte) { return kBytes[byte].classes == kSeparator; }

int bucketOf(std::string_view word) {
  uint32_t h = 0;
  for (unsigned char b : word) {
    const uint32_t lowered = static_cast<unsigned char>(AsciiLower(static_cast<char>(b)));
    h = (lowered + 131u * h) % (1024u * 1024u);
  }
  return static_cast<int>((h + 1) % kBucketCount);
}

bool NormaliseToken(std::string_view token, const WordRules& rules, std::string* word) {
  Token normalised;
  for (char c : token) normalised.Push(InfoOf(c));
  if (!normalised.finish(rules)) return false;
  word->assign(normalised.Word());
  return true;
}

void collectWords(std::string_view word_text, const WordRules& rules, WordTable& page_words) {
  Token token;
  const char* p = word_text.data();
  const char* const end = p + word_text.size();
  while (true) {
    while (p != end && InfoOf(*p).classes == kSeparator) ++p;
    if (p == end) break;
    token.Reset();
    for (; p != end; ++p) {
      const ByteInfo& byte = InfoOf(*p);
      if (byte.classes == kSeparator) break;
      token.Push(byte);
    }
    if (!token.finish(rules)) continue;
    // 2^32 is a multiple of 256, so the table's wrapping hash gives the
    // same bucket as bucketOf's 1024*1024 arithmetic.
    if (page_words.find(token.Word(), token.Hash()) == nullptr) {
      page_words.add(token.Word(), static_cast<int>((token.Hash() + 1) % kBucketCount),
                     token.Hash());
    }
  }
}

void mergePage(WordTable& page_words, int32_t page_number, std::vector<WordTable>& index_tables) {
  for (const WordEntry& word : page_words) {
    WordTable& table = index_tables[static_cast<std::size_t>(word.bucket)];
    const uint32_t hash = WordTable::HashOf(word.text);
    WordEntry* entry = table.find(word.text, hash);
    if (entry == nullptr) entry = &table.add(word.text, word.bucket, hash);
    entry->pages.push_back(page_number);
  }
  page_words.clear();
}

StopList buildStopList(std::string_view setting) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= setting.size(); ++i) {
    const bool end = i == setting.size() || setting[i] == ',' || setting[i] == ' ' ||
                     setting[i] == '\r' || setting[i] == '\n' || setting[i] == '\t';
    if (!end) continue;
    if (i > start) pieces.push_back(setting.substr(start, i - start));
    start = i + 1;
  }

  StopList list;
  // A setting of separators only names no word; a table with no chains
  // would have nowhere to hash to.
  if (pieces.empty()) return list;
  list.words = std::make_unique<WordTable>(pieces.size());
  for (std::string_view piece : pieces) {
    if (list.words->find(piece) == nullptr) list.words->add(piece, bucketOf(piece));
  }
  for (const WordEntry& word : *list.words) {
    if (!list.text.empty()) list.text += ',';
    list.text += '"';
    AppendJsStringContent(list.text, word.text);
    list.text += '"';
  }
  return list;
}

std::string buildStems() {
  std::string text;
  for (std::string_view stem : kStems) {
    if (!text.empty()) text += ',';
    text += '"';
    text += stem;
    text += '"';
  }
  return text;
}

}  // namespace vossik
