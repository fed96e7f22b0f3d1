#include "helpgen/keyword_index.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "base/ascii_case.h"

namespace vossik {
namespace {

// Words that say nothing about a page: the common English words plus the
// ones the help texts use everywhere ("set", "use" and the like).
constexpr std::array<std::string_view, 188> kStopWords = {
    "a", "about", "after", "all", "also", "am", "an", "and", "any", "are", "as", "at", "be",
    "became", "because", "been", "but", "by", "can", "cannot", "cant", "could", "couldn", "couldnt",
    "did", "didn", "didnt", "do", "dont", "does", "doesnt", "doesn", "each", "every", "for", "from",
    "get", "gets", "give", "go", "going", "good", "got", "had", "hadn", "hadnt", "has", "have",
    "havn", "havnt", "he", "her", "hers", "herself", "here", "him", "himself", "his", "how", "i",
    "if", "in", "into", "is", "isnt", "isn", "it", "itself", "its", "include", "including", "many",
    "may", "me", "more", "most", "my", "no", "not", "now", "of", "on", "only", "or", "other", "our",
    "out", "say", "says", "she", "said", "should", "shouldn", "shouldnt", "so", "some", "such",
    "than", "that", "the", "their", "theirs", "them", "then", "there", "these", "they", "theyre",
    "this", "to", "too", "up", "very", "was", "we", "went", "were", "what", "when", "where",
    "which", "who", "why", "will", "with", "would", "yes", "you", "your", "youre", "10th", "11th",
    "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "1st", "20th", "21st", "22nd",
    "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "2nd", "30th", "31st", "3rd", "4th",
    "5th", "6th", "7th", "8th", "9th",
    // further words
    "any", "all", "being", "consider", "completely", "entire", "entirely", "get", "how", "large",
    "grow", "lots", "set", "provide", "trouble", "use", "wish", "wishing", "sets", "just", "using",
    "usually", "will", "etc", "making", "more", "than"};

const std::unordered_set<std::string_view>& StopWords() {
  static const std::unordered_set<std::string_view> kWords(kStopWords.begin(), kStopWords.end());
  return kWords;
}

constexpr std::string_view kSingleByteSeparators =
    " \r\t\n0123456789!\"$%^*()_+={}[]:@~;'#?><,./`|\\";
// The pound and not signs, as the UTF-8 byte pairs the descriptor text holds.
constexpr std::string_view kPound = "\xC2\xA3";
constexpr std::string_view kNot = "\xC2\xAC";

// The length of the separator that starts `text`, or 0.
std::size_t SeparatorLength(std::string_view text) {
  if (kSingleByteSeparators.find(text.front()) != std::string_view::npos) return 1;
  if (text.starts_with(kPound) || text.starts_with(kNot)) return 2;
  return 0;
}

}  // namespace

bool KeywordIndex::IsStopWord(std::string_view word) {
  return StopWords().contains(AsciiLowered(word));
}

void KeywordIndex::Add(std::string_view title, std::string_view file, std::string_view text) {
  if (!collecting_ || title.empty() || file.empty() || text.empty()) return;
  std::size_t word_start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::string_view rest = text.substr(i);
    std::size_t length = SeparatorLength(rest);
    // The number placeholders of setting names are blanks, not words.
    if (rest.starts_with("%ld")) length = 3;
    if (rest.starts_with("%d")) length = 2;
    if (length == 0) {
      ++i;
      continue;
    }
    AddWord(text.substr(word_start, i - word_start), title, file);
    i += length;
    word_start = i;
  }
  AddWord(text.substr(word_start), title, file);
}

void KeywordIndex::AddWord(std::string_view word, std::string_view title, std::string_view file) {
  if (word.empty() || IsStopWord(word)) return;
  std::string lowered = AsciiLowered(word);
  auto [position, added] = positions_.try_emplace(lowered, keywords_.size());
  if (added) keywords_.push_back(Keyword{std::move(lowered), {}});
  keywords_[position->second].mentions.push_back(Mention{std::string(title), std::string(file)});
}

void KeywordIndex::Clear() {
  keywords_.clear();
  positions_.clear();
}

}  // namespace vossik
