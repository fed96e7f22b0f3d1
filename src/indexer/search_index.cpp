#include "indexer/search_index.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/ascii_case.h"
#include "base/file_io.h"
#include "indexer/index_writer.h"
#include "indexer/js_array_reader.h"
#include "indexer/utf8.h"
#include "indexer/word_rules.h"
#include "indexer/word_table.h"

namespace vossik {
namespace {

using WordSet = std::vector<std::string>;  // sorted, distinct

std::optional<std::string> ReadWhole(const std::string& file) {
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) return std::nullopt;
  return bytes;
}

// The words of a text as the build takes them from page text: lower-cased,
// cut at the separators, normalised; in order, repeats kept.
std::vector<std::string> Sequence(std::string_view text, const WordRules& rules) {
  const std::string lowered = AsciiLowered(text);
  std::vector<std::string> words;
  std::string word;
  std::size_t i = 0;
  while (i < lowered.size()) {
    while (i < lowered.size() && IsSeparator(static_cast<unsigned char>(lowered[i]))) ++i;
    const std::size_t start = i;
    while (i < lowered.size() && !IsSeparator(static_cast<unsigned char>(lowered[i]))) ++i;
    if (i == start) break;
    if (!NormaliseToken(std::string_view(lowered).substr(start, i - start), rules, &word)) continue;
    words.push_back(AsciiLowered(word));
  }
  return words;
}

WordSet SetOf(std::vector<std::string> words) {
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  return words;
}

bool Holds(const WordSet& set, const std::string& word) {
  return std::binary_search(set.begin(), set.end(), word);
}

int Count(const std::vector<std::string>& words, const std::string& word) {
  return static_cast<int>(std::count(words.begin(), words.end(), word));
}

bool Adjacent(const std::vector<std::string>& words, const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == a && words[i + 1] == b) return true;
  }
  return false;
}

// What ranking needs of one page, from the page list. The URL and file name
// lose their extension, which nearly every page shares; the URL's words are
// taken both as written and with "-" and "_" as blanks, since file names
// join words with them.
struct PageWords {
  WordSet title, url;
  std::vector<std::string> title_in_order, file_name;
  std::optional<std::vector<std::string>> summary_in_order;  // read once the page is a hit

  PageWords(const std::string& title_text, std::string_view url_text, const WordRules& rules) {
    std::string_view name = url_text.substr(url_text.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
      url_text.remove_suffix(name.size() - dot);
      name = name.substr(0, dot);
    }
    title_in_order = Sequence(title_text, rules);
    title = SetOf(title_in_order);
    std::vector<std::string> url_words = Sequence(url_text, rules);
    for (std::string& word : Sequence(BlankJoiners(url_text), rules))
      url_words.push_back(std::move(word));
    url = SetOf(std::move(url_words));
    file_name = Sequence(BlankJoiners(name), rules);
  }

  static std::string BlankJoiners(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '-', ' ');
    std::replace(out.begin(), out.end(), '_', ' ');
    return out;
  }
};

// Adds the page lists of `wanted` from the index file of one bucket. A file
// that does not end its array properly adds nothing: the browser cannot
// run it either.
void ReadBucket(const std::string& file, const std::vector<std::string>& wanted,
                std::map<std::string, std::vector<long>>& lists) {
  const std::optional<std::string> text = ReadWhole(file);
  if (!text) return;
  JsArrayReader reader(*text);
  if (!reader.OpenArray()) return;
  std::map<std::string, std::vector<long>> found;
  std::string item;
  long number = 0;
  std::vector<long>* current = nullptr;
  for (;;) {
    switch (reader.Next(&item, &number)) {
      case JsArrayReader::Item::kString: {
        const bool is_wanted = std::find(wanted.begin(), wanted.end(), item) != wanted.end();
        current = is_wanted ? &found[item] : nullptr;
        if (current != nullptr) current->clear();  // a repeated word starts over, as in the browser
        break;
      }
      case JsArrayReader::Item::kNumber:
        if (current != nullptr) current->push_back(number);
        break;
      case JsArrayReader::Item::kEnd:
        for (auto& [word, pages] : found) lists[word] = std::move(pages);
        return;
      case JsArrayReader::Item::kError:
        return;
    }
  }
}

}  // namespace

std::vector<std::string> QueryWords(std::string_view query, const WordTable* stop_words) {
  WordRules rules;
  rules.stop_words = stop_words;
  std::vector<std::string> words;
  for (std::string& word : Sequence(query, rules)) {
    if (std::find(words.begin(), words.end(), word) == words.end())
      words.push_back(std::move(word));
  }
  return words;
}

bool SearchIndex::Open(const std::string& output_folder, std::string* error) {
  const std::string file = output_folder + "/sitemap.js";
  const std::optional<std::string> text = ReadWhole(file);
  if (!text) {
    *error = "Cannot read " + file;
    return false;
  }
  const std::size_t start = text->find_first_not_of(" \t\r\n");
  JsArrayReader reader(*text);
  if (start == std::string::npos || text->compare(start, 9, "g_asPages") != 0 ||
      !reader.OpenArray()) {
    *error = file + " is not a page list";
    return false;
  }

  std::vector<std::string> strings;
  std::string item;
  long number = 0;
  for (;;) {
    const JsArrayReader::Item kind = reader.Next(&item, &number);
    if (kind == JsArrayReader::Item::kEnd) break;
    if (kind != JsArrayReader::Item::kString) {
      *error = file + " is not a page list";
      return false;
    }
    strings.push_back(item);
  }

  folder_ = output_folder;
  pages_.clear();
  for (std::size_t i = 0; i + 2 < strings.size(); i += 3) {
    pages_.push_back({std::move(strings[i]), std::move(strings[i + 1]), std::move(strings[i + 2])});
  }
  return true;
}

std::vector<SearchHit> SearchIndex::Search(std::string_view query,
                                           std::string_view stop_list_setting) const {
  const StopList stop_list = buildStopList(stop_list_setting);
  WordRules rules;
  rules.stop_words = stop_list.words.get();
  const std::vector<std::string> words = QueryWords(query, rules.stop_words);
  if (words.empty() || pages_.empty()) return {};
  const WordSet query_set = SetOf(words);

  std::map<std::string, std::vector<long>> lists;
  std::vector<int> buckets_read;
  for (const std::string& word : words) {
    const int bucket = bucketOf(word);
    if (std::find(buckets_read.begin(), buckets_read.end(), bucket) != buckets_read.end()) continue;
    buckets_read.push_back(bucket);
    ReadBucket(IndexFileName(folder_, bucket), words, lists);
  }

  const std::size_t n = pages_.size();
  std::vector<PageWords> pages;
  pages.reserve(n + 1);
  pages.emplace_back(std::string(), "", rules);  // pages are numbered from 1
  for (const Page& page : pages_) pages.emplace_back(page.title, page.url, rules);

  // The steps and their order, down to the floating-point sums, are those
  // of rank() in the search script: both must give the same order.
  std::vector<SearchHit> hits;
  std::vector<int> hit_of(n + 1, -1);
  std::vector<std::vector<char>> has(n + 1);
  std::vector<double> rarity(words.size(), 0);
  for (std::size_t q = 0; q < words.size(); ++q) {
    const std::string& word = words[q];
    std::vector<char> on(n + 1, 0);
    for (long p : lists[word]) {
      if (p >= 1 && static_cast<std::size_t>(p) <= n) on[static_cast<std::size_t>(p)] = 1;
    }
    std::size_t matching = 0;
    for (std::size_t p = 1; p <= n; ++p) {
      if (Holds(pages[p].title, word) || Holds(pages[p].url, word)) on[p] = 1;
      matching += static_cast<std::size_t>(on[p]);
    }
    if (matching == 0) continue;
    rarity[q] = std::log(1 + static_cast<double>(n) / static_cast<double>(matching));

    for (std::size_t p = 1; p <= n; ++p) {
      if (!on[p]) continue;
      PageWords& f = pages[p];
      if (hit_of[p] < 0) {
        hit_of[p] = static_cast<int>(hits.size());
        hits.push_back({static_cast<int>(p), pages_[p - 1].title, pages_[p - 1].url,
                        pages_[p - 1].summary, 0.0, 0});
        has[p].assign(words.size(), 0);
      }
      if (!f.summary_in_order) f.summary_in_order = Sequence(pages_[p - 1].summary, rules);
      const bool named = !f.file_name.empty() &&
                         std::all_of(f.file_name.begin(), f.file_name.end(),
                                     [&](const std::string& w) { return Holds(query_set, w); });
      SearchHit& hit = hits[static_cast<std::size_t>(hit_of[p])];
      ++hit.matched;
      has[p][q] = 1;
      hit.score +=
          rarity[q] * (1 + (Holds(f.title, word) ? 2 : 0) + (Holds(f.url, word) ? 1.5 : 0) +
                       0.5 * std::min(3, Count(*f.summary_in_order, word)) + (named ? 1 : 0));
    }
  }

  for (SearchHit& hit : hits) {
    const auto p = static_cast<std::size_t>(hit.page);
    const PageWords& f = pages[p];
    for (std::size_t q = 0; q + 1 < words.size(); ++q) {
      const std::string& a = words[q];
      const std::string& b = words[q + 1];
      if (has[p][q] && has[p][q + 1] &&
          (Adjacent(f.title_in_order, a, b) || Adjacent(*f.summary_in_order, a, b))) {
        hit.score += rarity[q] + rarity[q + 1];
      }
    }
  }

  std::sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) {
    if (a.matched != b.matched) return a.matched > b.matched;
    if (a.score != b.score) return a.score > b.score;
    return a.page < b.page;
  });
  return hits;
}

namespace {

// The character a reference such as "#8212", "#x2014" or "amp" stands
// for; false for a name this list does not know.
bool ReferencedCharacter(std::string_view name, uint32_t* code) {
  static constexpr std::pair<std::string_view, uint32_t> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return false;
    uint32_t value = 0;
    for (char c : digits) {
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : !hex                 ? -1
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return false;
      value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    *code = value;
    return true;
  }
  for (const auto& [known, value] : kNamed) {
    if (name == known) {
      *code = value;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string DisplayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t semicolon = text[i] == '&' ? text.find(';', i + 1) : std::string_view::npos;
    uint32_t code = 0;
    if (semicolon != std::string_view::npos && semicolon - i <= 10 &&
        ReferencedCharacter(text.substr(i + 1, semicolon - i - 1), &code)) {
      // "&#0;" reads as U+FFFD, as browsers read it.
      AppendUtf8(out, code == 0 ? 0xFFFD : code);
      i = semicolon;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vossik
