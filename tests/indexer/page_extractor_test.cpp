#include "indexer/page_extractor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "indexer/index_writer.h"

namespace vossik {
namespace {

ExtractedPage Extract(std::string content, const std::string& path = "/site/docs/intro.html") {
  return extractPage(path, content, "/site", 512);
}

TEST(PageExtractor, TitleSummaryAndWords) {
  struct Row {
    const char* content;
    const char* title;
    const char* summary;
    const char* words;
  };
  const Row rows[] = {
      // Words only in the title are not indexed.
      {"<html><head><title>Secret Word</title></head><body>Visible Text</body></html>",
       "Secret Word", "Visible Text...", "visible text "},
      {"<TITLE>Upper</TITLE>x", "Upper", "x...", "x"},
      // The inner "<TITLE" starts the blanked region, so "A" and "C" stay.
      {"<title>A <TITLE>B</TITLE> C</title>", "B", "A C...", "a c "},
      {"<title>Line one\r\nline two</title>", "Line one", "...", ""},
      // A title tag in mixed case or with attributes is no start marker:
      // the title is the first line.
      {"<html>\n<Title>Hello</Title>\n", "<html>", "...", ""},
      {"<title lang=en>Hi</title> x", "<title lang=en>Hi", "x...", "x"},
      // Empty titles, or an end before the start, fall back to the file name.
      {"<title></title>body", " intro", "body...", "body"},
      {"</title>x<title>y", " intro", "x y...", "x y"},
      {"He said \"hi\"", " intro", "He said \\\"hi\\\"...", "he said \"hi\""},
      // The lone "<" stays: the tag starts at the last "<" before ">".
      {"a < b <i>c</i>", " intro", "a b c...", "a < b c "},
      // An unclosed script keeps its text; only its tag goes.
      {"<p>x</p><script>var hidden = 1;", " intro", "x var hidden = 1;...", "x var hidden = 1;"},
      {"<script>a<script>b</script>c", " intro", "a c...", "a c"},
      {"<FORM action=x>secret</Form>after", " intro", "after...", "after"},
      {"<?php x ?>a<% y %>b<STYLE>p{}</style>c", " intro", "a b c...", "a b c"},
      {"keep <!--VK_NOINDEX-->drop<!--/vk_noindex--> also", " intro", "keep also...", "keep also"},
      {"keep <!--VK_NOINDEX-->unclosed", " intro", "keep unclosed...", "keep unclosed"},
      {"a&nbsp;b&NBSP;c&Nbsp;d&nbsp", " intro", "a b c&Nbsp;d&nbsp...", "a b c&nbsp;d&nbsp"},
      {"One (two) [three]\n", " intro", "One two three...", "one (two) [three] "},
  };
  for (const Row& row : rows) {
    const ExtractedPage page = Extract(row.content);
    EXPECT_EQ(row.title, page.title) << row.content;
    EXPECT_EQ(row.summary, page.summary) << row.content;
    EXPECT_EQ(row.words, page.word_text) << row.content;
  }
}

TEST(PageExtractor, MarkersAnywhereInLongPages) {
  // Markers at every offset, so that each straddles the blocks the search
  // works in somewhere.
  const std::string filler = "Words and more words here. ";
  for (std::size_t offset = 0; offset < 40; ++offset) {
    const std::string lead = std::string(offset, ' ') + "lead ";
    const std::string tail = " " + filler + filler + filler;
    const ExtractedPage page =
        Extract(lead + "<TITLE>Long</Title></TITLE>" + tail + "<SCRIPT>x</script>" + filler +
                "<!--vk_noindex-->y<!--/VK_NOINDEX-->" + filler + "<sTyLe>p{}</STYLE>end</tiTLE>");
    EXPECT_EQ("Long</Title>", page.title) << offset;
    EXPECT_EQ(
        "lead words and more words here. words and more words here. words and more words "
        "here. words and more words here. words and more words here. end ",
        page.word_text)
        << offset;
  }
  // The last "</title" wins, however far it lies.
  EXPECT_EQ("A</title>" + std::string(40, 'x'),
            Extract("<title>A</title>" + std::string(40, 'x') + "</title>").title);
}

// The tag rule and white space collapsing, done the slow obvious way.
std::string BlankTagsSlowly(std::string text) {
  for (std::size_t from = 0;;) {
    std::size_t start = text.find('<', from);
    if (start == std::string::npos) break;
    const std::size_t end = text.find('>', start + 1);
    if (end == std::string::npos) break;
    start = text.rfind('<', end);
    text.replace(start, end + 1 - start, end + 1 - start, ' ');
    from = end + 1;
  }
  return text;
}

std::string WordTextSlowly(const std::string& text) {
  std::string words;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) {
      blank = !words.empty();
    } else {
      if (blank) words += ' ';
      blank = false;
      words += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
  }
  if (blank) words += ' ';
  return words;
}

TEST(PageExtractor, TagsAndWhiteSpaceOnRandomText) {
  std::mt19937 random(7);
  const std::string alphabet = "<>< \t\r\n\v\fAaZz@[`{\xC4\x80";
  for (int round = 0; round < 2000; ++round) {
    std::string content(random() % 80, ' ');
    for (char& c : content) c = alphabet[random() % alphabet.size()];
    const std::string blanked = BlankTagsSlowly(content);
    std::string actual = content;
    const ExtractedPage page = extractPage("/site/a.htm", actual, "/site", 512);
    ASSERT_EQ(blanked, actual) << content;
    ASSERT_EQ(WordTextSlowly(blanked), page.word_text) << content;
  }
}

TEST(PageExtractor, BlanksContentInPlace) {
  std::string content = "<b>a&nbsp;b</b>";
  extractPage("/site/a.htm", content, "/site", 512);
  EXPECT_EQ("   a b    ", content);
}

TEST(PageExtractor, UrlAndFallbackTitleFromPath) {
  struct Row {
    const char* path;
    const char* url;
    const char* title;
  };
  const Row rows[] = {
      {"/site/docs/intro.html", "docs/intro.html", " intro"},
      {"/site/a.b.txt", "a.b.txt", " a b txt "},
      {"/site/docs\\page.HTM", "docs/page.HTM", " page HTM "},
      {"/other/x.htm", "/other/x.htm", " x"},
  };
  for (const Row& row : rows) {
    const ExtractedPage page = Extract("text", row.path);
    EXPECT_EQ(row.url, page.url) << row.path;
    EXPECT_EQ(row.title, page.title) << row.path;
    EXPECT_EQ("", page.site_map_title) << row.path;
  }
}

TEST(PageExtractor, SummaryIsEscapedCollapsedAndCut) {
  struct Row {
    const char* blanked;
    int length;
    const char* expected;
  };
  const Row rows[] = {
      {"one two three\n", 512, "one two three..."},
      {"alpha beta gamma", 10, "alpha..."},
      {"alpha beta gamma", 11, "alpha beta..."},
      {"alpha beta gamma", 16, "alpha beta gamma..."},
      {"abcdefghij", 5, "abcde..."},
      // The trailing blank counts for the length, so the cut takes "three".
      {"one two three\n", 13, "one two..."},
      {"  \t(x) [y] {z} <w>\r\n", 512, "x y z w..."},
      {"back\\slash \"q\"", 512, "back\\\\slash \\\"q\\\"..."},
      {"abc\"", 4, "abc\\..."},
      {"", 512, "..."},
      {"   ", 512, "..."},
      {"word", 0, "..."},
      {"word", -5, "..."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, MakeSummary(row.blanked, row.length))
        << row.blanked << " " << row.length;
  }
}

TEST(PageExtractor, PageEntryEscapesTitleAndUrl) {
  ExtractedPage page;
  page.title = "Say \"hi\" \\ now\r\n";
  page.url = "a\\b\".html";
  page.summary = "He said \\\"hi\\\"...";
  std::string entries = "\"T\",\"u\",\"...\",";
  AppendPageEntry(entries, page);
  EXPECT_EQ(
      "\"T\",\"u\",\"...\","
      "\"Say \\\"hi\\\" \\\\ now\\r\\n\",\"a\\\\b\\\".html\",\"He said \\\"hi\\\"...\",",
      entries);
}

TEST(NotTextReason, NamesCompressedAndBinaryFilesAndPassesText) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view content, reason;
  } rows[] = {
      {"<html><title>Changelog</title>", ""},
      {"", ""},
      {"\xEF\xBB\xBF<p>caf\xC3\xA9</p>", ""},
      {"BZh is how it begins", ""},
      {"\x1F\x8B\x08\x00\x00"sv, "gzip data"},
      {"BZh91AY&SY\x01"sv, "bzip2 data"},
      {"\xFD"
       "7zXZ\0\0"sv,
       "xz data"},
      {"PK\x03\x04rest"sv, "zip archive"},
      {"%PDF-1.7\n"sv, "PDF document"},
      {"\x89PNG\r\n\x1A\n"sv, "PNG image"},
      {"\x7F"
       "ELF\x02"sv,
       "program file"},
      {"<title>t</title>text\0more"sv, "binary data"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.reason, NotTextReason(row.content)) << row.content;
}

TEST(PageExtractor, SiteMapLinkUsesTheTitleAsFoundInThePage) {
  std::string titled = "<title>Hello</title>";
  std::string untitled = "text";
  std::string links;
  const ExtractedPage a = extractPage("/site/docs/a.html", titled, "/site", 512);
  AppendSiteMapLink(links, a.url, a.site_map_title);
  const ExtractedPage b = extractPage("/site/b.html", untitled, "/site", 512);
  AppendSiteMapLink(links, b.url, b.site_map_title);
  EXPECT_EQ(
      "<A HREF=\"docs/a.html\"><FONT class=hidden>Hello</FONT></A>\r\n"
      "<A HREF=\"b.html\"><FONT class=hidden></FONT></A>\r\n",
      links);
}

}  // namespace
}  // namespace vossik
