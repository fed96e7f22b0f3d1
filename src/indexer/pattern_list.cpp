#include "indexer/pattern_list.h"

#include "base/ascii_case.h"
#include "indexer/wildcard.h"

namespace vossik {

namespace {

// Lets a wildcard item match anywhere in a path: "*.htm" becomes "*.htm*".
void Widen(std::string& item) {
  if (item.back() != '*') item.push_back('*');
  if (item.front() != '*') item.insert(item.begin(), '*');
}

std::vector<std::string> SplitParts(const std::string& item) {
  static constexpr std::string_view kJoin = " + ";
  std::vector<std::string> parts;
  std::size_t begin = 0;
  for (std::size_t at; (at = item.find(kJoin, begin)) != std::string::npos;
       begin = at + kJoin.size()) {
    parts.push_back(item.substr(begin, at - begin));
  }
  parts.push_back(item.substr(begin));
  return parts;
}

}  // namespace

PatternList::PatternList(const std::vector<std::string>& items) {
  items_.reserve(items.size());
  for (const std::string& raw : items) {
    std::string item = raw;
    for (char& c : item) c = AsciiLower(c);
    const int index = static_cast<int>(items_.size());
    if (item.find_first_of("*?") != std::string::npos) {
      Widen(item);
      wildcards_.push_back({index, SplitParts(item)});
    } else if (!item.empty()) {
      plain_.push_back(index);
    }
    items_.push_back(std::move(item));
  }
}

int PatternList::Match(std::string_view text) const {
  if (text.empty()) return -1;
  for (int index : plain_) {
    if (StartsWithIgnoringCase(text, items_[index])) return index;
  }
  for (const Wildcard& wildcard : wildcards_) {
    bool all = true;
    for (const std::string& part : wildcard.parts) {
      if (!Matches(part, text, false)) {
        all = false;
        break;
      }
    }
    if (all) return wildcard.index;
  }
  return -1;
}

}  // namespace vossik
