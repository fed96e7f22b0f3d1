// PatternList is one list-valued file filter of the build (types to include
// or exclude, paths to include or exclude). Items are kept lower-cased. An
// item with "*" or "?" is a wildcard item, widened so that it may match
// anywhere in a path: "*.htm" becomes "*.htm*" and also takes page.html.
// Any other item is a plain path prefix. A wildcard item written as parts
// joined by " + " matches only where every part matches.
//
// Immutable after construction; safe to share between threads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class PatternList {
 public:
  explicit PatternList(const std::vector<std::string>& items);

  /// The index of the matching item, or -1. Plain items are tried first,
  /// in list order, as prefixes ignoring case (empty ones never match);
  /// then wildcard items, in list order, against the whole text ignoring
  /// case. An empty text matches nothing.
  [[nodiscard]] int Match(std::string_view text) const;

  bool Empty() const { return items_.empty(); }

  /// The items as matched: lower-cased, wildcard items widened.
  const std::vector<std::string>& Items() const { return items_; }

 private:
  struct Wildcard {
    int index;
    std::vector<std::string> parts;  // all must match; one part without " + "
  };

  std::vector<std::string> items_;
  std::vector<int> plain_;  // indices of non-empty plain items, in list order
  std::vector<Wildcard> wildcards_;
};

}  // namespace vossik
