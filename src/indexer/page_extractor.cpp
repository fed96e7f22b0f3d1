#include "indexer/page_extractor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "indexer/index_writer.h"
#include "indexer/js_string.h"
#include "indexer/marker_search.h"
#include "indexer/source_walker.h"
#include "indexer/wildcard.h"

namespace vossik {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The white space that collapses: the C locale's set.
constexpr std::array<bool, 256> kSpace = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) table[c] = true;
  return table;
}();

// What the summary turns into blanks: white space and brackets.
constexpr std::array<bool, 256> kSummaryBlank = [] {
  std::array<bool, 256> table = kSpace;
  for (unsigned char c : {'(', ')', '{', '}', '[', ']', '<', '>'}) table[c] = true;
  return table;
}();

// The text between the first `open` and the last `close`, from the start
// or to the end where one is missing; empty when the close does not lie
// after the open.
std::string_view between(std::string_view text, std::string_view open, std::string_view close) {
  const std::size_t openAt = text.find(open);
  const std::size_t begin = openAt == npos ? 0 : openAt + open.size();
  const std::size_t closeAt = findLast(text, close);
  const std::size_t end = closeAt == npos ? text.size() : closeAt;
  if (end <= begin) return {};
  return text.substr(begin, end - begin);
}

std::string titleOf(std::string_view content) {
  if (findIgnoringCase(content, 0, "<title") == npos) return {};
  std::string_view title = between(content, "<title>", "</title");
  title = between(title, "<TITLE>", "</TITLE");
  return std::string(title.substr(0, title.find_first_of("\r\n\t")));
}

// Blanks every region from `open` to the following `close`, both found
// ignoring case. A region starts at the last `open` before its `close`.
// REQUIRES: both markers as findIgnoringCase requires.
void fillRegions(std::string& text, std::string_view open, std::string_view close) {
  const std::string_view view = text;
  std::size_t from = 0;
  for (std::size_t start; (start = findIgnoringCase(view, from, open)) != npos;) {
    const std::size_t closeAt = findIgnoringCase(view, start + open.size(), close);
    if (closeAt == npos) return;
    const std::size_t again = findLastIgnoringCase(view, start + 1, closeAt, open);
    if (again != npos) start = again;
    const std::size_t end = closeAt + close.size();
    std::memset(text.data() + start, ' ', end - start);
    from = end;
  }
}

// fillRegions for "<" and ">", the pair met at every tag, in one pass: a
// tag runs from the last "<" before a ">", so in "a < b <i>" only "<i>" is
// blanked, and a "<" never closed stays.
void fillTags(std::string& text) {
  char* base = text.data();
  const std::size_t size = text.size();
  std::size_t open = npos;
  auto visit = [&](std::size_t at) {
    if (base[at] == '<') {
      open = at;
    } else if (open != npos) {
      std::memset(base + open, ' ', at + 1 - open);
      open = npos;
    }
  };
  std::size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    const Bytes16 block = load16(base + at);
    for (uint32_t mask = laneMask((block == '<') | (block == '>')); mask != 0; mask &= mask - 1) {
      visit(at + static_cast<std::size_t>(std::countr_zero(mask)));
    }
  }
  for (; at < size; ++at) {
    if (base[at] == '<' || base[at] == '>') visit(at);
  }
}

// "&nbsp;" and "&NBSP;" (only these spellings) become one blank each, in a
// single pass that moves the text down over the removed bytes.
void replaceNbsp(std::string& text) {
  char* data = text.data();
  const std::size_t size = text.size();
  std::size_t read = 0;   // first byte not yet moved
  std::size_t write = 0;  // where it goes
  std::size_t scan = 0;
  for (;;) {
    const void* found = scan < size ? std::memchr(data + scan, '&', size - scan) : nullptr;
    if (found == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
    scan = at + 1;
    if (size - at < 6) break;
    if (std::memcmp(data + at, "&nbsp;", 6) != 0 && std::memcmp(data + at, "&NBSP;", 6) != 0) continue;
    if (write != read) std::memmove(data + write, data + read, at - read);
    write += at - read;
    data[write++] = ' ';
    read = scan = at + 6;
  }
  if (write == read) return;
  std::memmove(data + write, data + read, size - read);
  text.resize(write + size - read);
}

void blankMarkup(std::string& content) {
  fillRegions(content, "<!--vk_noindex-->", "<!--/vk_noindex-->");
  replaceNbsp(content);
  fillRegions(content, "<form", "/form>");
  fillRegions(content, "<script", "/script>");
  fillRegions(content, "<?", "?>");
  fillRegions(content, "<%", "%>");
  fillRegions(content, "<title", "/title>");
  fillRegions(content, "<style", "/style>");
  fillTags(content);
}

// Each byte as the word text has it: white space as a blank, A to Z in
// lower case.
constexpr std::array<char, 256> kWordByte = [] {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] = kSpace[static_cast<std::size_t>(c)] ? ' ' : asciiLower(static_cast<char>(c));
  }
  return table;
}();

// Sixteen bytes at a time: each block is mapped (white space to a blank,
// A to Z to lower case) as a whole, then stored as a whole unless it holds
// white space following white space (or the start), whose bytes are left
// out one by one.
std::string wordTextOf(std::string_view blanked) {
  std::string words(blanked.size(), ' ');
  char* out = words.data();
  std::size_t length = 0;
  bool afterSpace = true;
  const char* in = blanked.data();
  std::size_t at = 0;
  for (; at + 16 <= blanked.size(); at += 16) {
    const Bytes16 block = load16(in + at);
    const auto space = reinterpret_cast<Bytes16>((block == ' ') | ((block >= '\t') & (block <= '\r')));
    const auto upper = reinterpret_cast<Bytes16>((block >= 'A') & (block <= 'Z'));
    const Bytes16 mapped = ((block | (upper & 0x20)) & ~space) | (space & ' ');
    const uint32_t spaces = laneMask(space);
    const uint32_t keep = ~(spaces & ((spaces << 1) | (afterSpace ? 1u : 0u))) & 0xFFFF;
    afterSpace = (spaces >> 15) != 0;
    if (keep == 0xFFFF) {
      std::memcpy(out + length, &mapped, 16);  // length <= at, so this stays inside
      length += 16;
      continue;
    }
    unsigned char lanes[16];
    std::memcpy(lanes, &mapped, 16);
    for (uint32_t mask = keep; mask != 0; mask &= mask - 1) {
      out[length++] = static_cast<char>(lanes[std::countr_zero(mask)]);
    }
  }
  for (; at < blanked.size(); ++at) {
    const auto byte = static_cast<unsigned char>(in[at]);
    const bool space = kSpace[byte];
    out[length] = kWordByte[byte];
    length += !(space && afterSpace);
    afterSpace = space;
  }
  words.resize(length);
  return words;
}

// The file name of the path as words: "docs/intro.html" gives " intro".
std::string fallbackTitle(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string title(slash == npos ? path : path.substr(slash));
  title += ' ';
  std::replace(title.begin(), title.end(), '/', ' ');
  std::replace(title.begin(), title.end(), '\\', ' ');
  const std::size_t htm = title.find(".htm");
  if (htm != npos) title.resize(htm);
  std::replace(title.begin(), title.end(), '.', ' ');
  return title;
}

}  // namespace

std::string makeSummary(std::string_view blanked, int summaryLength) {
  const std::size_t keep = static_cast<std::size_t>(std::max(summaryLength, 0));
  // Collapsing comes before the cut, so only as much text is needed as
  // makes one byte more than the summary may hold.
  std::string summary;
  summary.reserve(std::min(blanked.size() * 2, keep + 2) + 3);
  bool blankPending = false;
  for (char c : blanked) {
    if (summary.size() > keep) break;
    if (kSummaryBlank[static_cast<unsigned char>(c)]) {
      blankPending = !summary.empty();
      continue;
    }
    if (blankPending) {
      summary += ' ';
      blankPending = false;
    }
    if (c == '\\' || c == '"') summary += '\\';
    summary += c;
  }
  if (blankPending) summary += ' ';
  if (summary.size() > keep) {
    summary.resize(keep);
    const std::size_t lastBlank = summary.rfind(' ');
    if (lastBlank != npos) summary.resize(lastBlank);
  } else if (!summary.empty() && summary.back() == ' ') {
    summary.pop_back();
  }
  summary += "...";
  return summary;
}

ExtractedPage extractPage(const std::string& path, std::string& content,
                          const std::string& sourceFolder, int summaryLength,
                          const std::string& siteMapFile) {
  ExtractedPage page;
  page.url = urlBelow(path, sourceFolder);
  page.siteMapTitle = titleOf(content);
  if (!siteMapFile.empty()) appendSiteMapLink(siteMapFile, page.url, page.siteMapTitle);
  blankMarkup(content);
  page.summary = makeSummary(content, summaryLength);
  page.wordText = wordTextOf(content);
  page.title = page.siteMapTitle.empty() ? fallbackTitle(path) : page.siteMapTitle;
  return page;
}

void appendPageEntry(std::string& entries, const ExtractedPage& page) {
  entries += '"';
  appendJsStringContent(entries, page.title);
  entries += "\",\"";
  appendJsStringContent(entries, page.url);
  entries += "\",\"";
  entries += page.summary;
  entries += "\",";
}

}  // namespace vossik
