// KeywordIndex gathers the words of page titles and setting names while the
// help pages are written, for the index file of the help project. Keywords
// are kept lower-cased, in the order of their first appearance; each keeps
// every (title, file) pair it was added with, repeats included, because the
// index lists a page once per mention. Words of the built-in stop list never
// become keywords.
//
// Collection is off until SetCollecting(true): only the help project run
// writes an index. Not thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vossik {

class KeywordIndex {
 public:
  struct Mention {
    std::string title;
    std::string file;
  };
  struct Keyword {
    std::string word;  // lower case
    std::vector<Mention> mentions;
  };

  void SetCollecting(bool on) { collecting_ = on; }
  bool Collecting() const { return collecting_; }

  /// Adds every word of `text` that is not a stop word, with (title, file).
  /// "%ld" and "%d" count as blanks; words are split at blanks, control
  /// characters, digits and punctuation (the pound and not signs included).
  /// Does nothing while collection is off or any argument is empty.
  void Add(std::string_view title, std::string_view file, std::string_view text);

  /// The keywords in the order of their first addition.
  const std::vector<Keyword>& Keywords() const { return keywords_; }

  void Clear();

  /// True when `word` is on the stop list (ignoring case).
  [[nodiscard]] static bool IsStopWord(std::string_view word);

 private:
  void AddWord(std::string_view word, std::string_view title, std::string_view file);

  bool collecting_ = false;
  std::vector<Keyword> keywords_;
  std::unordered_map<std::string, std::size_t>
      positions_;  // lower-cased word -> index in keywords_
};

}  // namespace vossik
