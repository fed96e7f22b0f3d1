#include "indexer/page_extractor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "base/ascii_case.h"
#include "indexer/index_writer.h"
#include "indexer/js_string.h"
#include "indexer/marker_search.h"
#include "indexer/source_walker.h"

namespace vossik {

namespace {

constexpr std::size_t kNpos = std::string_view::npos;

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
std::string_view Between(std::string_view text, std::string_view open, std::string_view close) {
  const std::size_t open_at = text.find(open);
  const std::size_t begin = open_at == kNpos ? 0 : open_at + open.size();
  const std::size_t close_at = FindLast(text, close);
  const std::size_t end = close_at == kNpos ? text.size() : close_at;
  if (end <= begin) return {};
  return text.substr(begin, end - begin);
}

std::string TitleOf(std::string_view content) {
  if (FindIgnoringCase(content, 0, "<title") == kNpos) return {};
  std::string_view title = Between(content, "<title>", "</title");
  title = Between(title, "<TITLE>", "</TITLE");
  return std::string(title.substr(0, title.find_first_of("\r\n\t")));
}

// Blanks every region from `open` to the following `close`, both found
// ignoring case. A region starts at the last `open` before its `close`.
// REQUIRES: both markers as findIgnoringCase requires.
void FillRegions(std::string& text, std::string_view open, std::string_view close) {
  const std::string_view view = text;
  std::size_t from = 0;
  for (std::size_t start; (start = FindIgnoringCase(view, from, open)) != kNpos;) {
    const std::size_t close_at = FindIgnoringCase(view, start + open.size(), close);
    if (close_at == kNpos) return;
    const std::size_t again = FindLastIgnoringCase(view, start + 1, close_at, open);
    if (again != kNpos) start = again;
    const std::size_t end = close_at + close.size();
    std::memset(text.data() + start, ' ', end - start);
    from = end;
  }
}

// fillRegions for "<" and ">", the pair met at every tag, in one pass: a
// tag runs from the last "<" before a ">", so in "a < b <i>" only "<i>" is
// blanked, and a "<" never closed stays.
void FillTags(std::string& text) {
  char* base = text.data();
  const std::size_t size = text.size();
  std::size_t open = kNpos;
  auto visit = [&](std::size_t at) {
    if (base[at] == '<') {
      open = at;
    } else if (open != kNpos) {
      std::memset(base + open, ' ', at + 1 - open);
      open = kNpos;
    }
  };
  std::size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    const Bytes16 block = Load16(base + at);
    for (uint32_t mask = LaneMask((block == '<') | (block == '>')); mask != 0; mask &= mask - 1) {
      visit(at + static_cast<std::size_t>(std::countr_zero(mask)));
    }
  }
  for (; at < size; ++at) {
    if (base[at] == '<' || base[at] == '>') visit(at);
  }
}

// "&nbsp;" and "&NBSP;" (only these spellings) become one blank each, in a
// single pass that moves the text down over the removed bytes.
void ReplaceNbsp(std::string& text) {
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
    if (std::memcmp(data + at, "&nbsp;", 6) != 0 && std::memcmp(data + at, "&NBSP;", 6) != 0)
      continue;
    if (write != read) std::memmove(data + write, data + read, at - read);
    write += at - read;
    data[write++] = ' ';
    read = scan = at + 6;
  }
  if (write == read) return;
  std::memmove(data + write, data + read, size - read);
  text.resize(write + size - read);
}

void BlankMarkup(std::string& content) {
  FillRegions(content, "<!--vk_noindex-->", "<!--/vk_noindex-->");
  ReplaceNbsp(content);
  FillRegions(content, "<form", "/form>");
  FillRegions(content, "<script", "/script>");
  FillRegions(content, "<?", "?>");
  FillRegions(content, "<%", "%>");
  FillRegions(content, "<title", "/title>");
  FillRegions(content, "<style", "/style>");
  FillTags(content);
}

// Each byte as the word text has it: white space as a blank, A to Z in
// lower case.
constexpr std::array<char, 256> kWordByte = [] {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] =
        kSpace[static_cast<std::size_t>(c)] ? ' ' : AsciiLower(static_cast<char>(c));
  }
  return table;
}();

// Sixteen bytes at a time: each block is mapped (white space to a blank,
// A to Z to lower case) as a whole, then stored as a whole unless it holds
// white space following white space (or the start), whose bytes are left
// out one by one.
std::string WordTextOf(std::string_view blanked) {
  std::string words(blanked.size(), ' ');
  char* out = words.data();
  std::size_t length = 0;
  bool after_space = true;
  const char* in = blanked.data();
  std::size_t at = 0;
  for (; at + 16 <= blanked.size(); at += 16) {
    const Bytes16 block = Load16(in + at);
    const auto space =
        reinterpret_cast<Bytes16>((block == ' ') | ((block >= '\t') & (block <= '\r')));
    const auto upper = reinterpret_cast<Bytes16>((block >= 'A') & (block <= 'Z'));
    const Bytes16 mapped = ((block | (upper & 0x20)) & ~space) | (space & ' ');
    const uint32_t spaces = LaneMask(space);
    const uint32_t keep = ~(spaces & ((spaces << 1) | (after_space ? 1u : 0u))) & 0xFFFF;
    after_space = (spaces >> 15) != 0;
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
    length += !(space && after_space);
    after_space = space;
  }
  words.resize(length);
  return words;
}

// The file name of the path as words: "docs/intro.html" gives " intro".
std::string FallbackTitle(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string title(slash == kNpos ? path : path.substr(slash));
  title += ' ';
  std::replace(title.begin(), title.end(), '/', ' ');
  std::replace(title.begin(), title.end(), '\\', ' ');
  const std::size_t htm = title.find(".htm");
  if (htm != kNpos) title.resize(htm);
  std::replace(title.begin(), title.end(), '.', ' ');
  return title;
}

}  // namespace

std::string MakeSummary(std::string_view blanked, int summary_length) {
  const std::size_t keep = static_cast<std::size_t>(std::max(summary_length, 0));
  // Collapsing comes before the cut, so only as much text is needed as
  // makes one byte more than the summary may hold.
  std::string summary;
  summary.reserve(std::min(blanked.size() * 2, keep + 2) + 3);
  bool blank_pending = false;
  for (char c : blanked) {
    if (summary.size() > keep) break;
    if (kSummaryBlank[static_cast<unsigned char>(c)]) {
      blank_pending = !summary.empty();
      continue;
    }
    if (blank_pending) {
      summary += ' ';
      blank_pending = false;
    }
    if (c == '\\' || c == '"') summary += '\\';
    summary += c;
  }
  if (blank_pending) summary += ' ';
  if (summary.size() > keep) {
    summary.resize(keep);
    const std::size_t last_blank = summary.rfind(' ');
    if (last_blank != kNpos) summary.resize(last_blank);
  } else if (!summary.empty() && summary.back() == ' ') {
    summary.pop_back();
  }
  summary += "...";
  return summary;
}

ExtractedPage extractPage(const std::string& path, std::string& content,
                          const std::string& source_folder, int summary_length) {
  ExtractedPage page;
  page.url = UrlBelow(path, source_folder);
  page.site_map_title = TitleOf(content);
  BlankMarkup(content);
  page.summary = MakeSummary(content, summary_length);
  page.word_text = WordTextOf(content);
  page.title = page.site_map_title.empty() ? FallbackTitle(path) : page.site_map_title;
  return page;
}

std::string_view NotTextReason(std::string_view content) {
  static constexpr struct {
    std::string_view start;
    std::string_view kind;
  } kFormats[] = {
      {"\x1F\x8B", "gzip data"},
      {"\x1F\x9D", "compressed data"},
      {"\xFD"
       "7zXZ",
       "xz data"},
      {"\x28\xB5\x2F\xFD", "zstd data"},
      {"\x04\x22\x4D\x18", "lz4 data"},
      {"PK\x03\x04", "zip archive"},
      {"7z\xBC\xAF\x27\x1C", "7-zip archive"},
      {"Rar!\x1A\x07", "rar archive"},
      {"%PDF-", "PDF document"},
      {"\x89PNG\r\n\x1A\n", "PNG image"},
      {"\xFF\xD8\xFF", "JPEG image"},
      {"GIF87a", "GIF image"},
      {"GIF89a", "GIF image"},
      {"\x7F"
       "ELF",
       "program file"},
  };
  for (const auto& format : kFormats) {
    if (content.starts_with(format.start)) return format.kind;
  }
  // bzip2: "BZh", the block size digit, then the first block's magic number.
  if (content.size() >= 10 && content.starts_with("BZh") && content[3] >= '1' &&
      content[3] <= '9' && content.substr(4, 6) == "1AY&SY") {
    return "bzip2 data";
  }
  if (content.find('\0') != std::string_view::npos) return "binary data";
  return {};
}

void AppendPageEntry(std::string& entries, const ExtractedPage& page) {
  entries += '"';
  AppendJsStringContent(entries, page.title);
  entries += "\",\"";
  AppendJsStringContent(entries, page.url);
  entries += "\",\"";
  entries += page.summary;
  entries += "\",";
}

}  // namespace vossik
