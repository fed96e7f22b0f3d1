#include "indexer/pages_report.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vossik {
namespace {

TEST(PagesReport, SharesAreWholePercentagesOfTheLargest) {
  const struct {
    uint64_t size;
    uint64_t largest;
    long share;
  } cases[] = {
      {50, 100, 50},
      {99, 100, 99},
      {1, 3, 33},
      {3, 3, 100},
      {0, 10, 0},
      {7, 0, 0},
      {UINT64_MAX / 2, UINT64_MAX, 50},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.share, SharePercent(c.size, c.largest)) << c.size << " of " << c.largest;
  }
}

TEST(PagesReport, ListsEveryPageEscapedWithItsShare) {
  const std::vector<PageRecord> pages = {
      {"a.html", "A & B", 200, 1796632830, 12},
      {"d\xC3\xA9j\xC3\xA0/b.html", "<B>", 50, 0, 0},
  };
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"2\" start=\"0\">\n"
      "<page><url>a.html</url><title>A &amp; B</title><size>200</size>"
      "<modified>1796632830</modified><words>12</words><share>100</share></page>\n"
      "<page><url>d\xC3\xA9j\xC3\xA0/b.html</url><title>&lt;B&gt;</title><size>50</size>"
      "<modified>0</modified><words>0</words><share>25</share></page>\n"
      "</pages>\n",
      PagesReportXml(pages));
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"0\" start=\"0\">\n</pages>\n",
      PagesReportXml({}));
  EXPECT_EQ("logs/Indexing.pages.xml", PagesReportPath("Indexing"));
}

TEST(PagesReport, TitlesAreWrittenWithTheirCharacters) {
  const struct {
    const char* title;
    const char* readable;
  } cases[] = {
      {"os &#8212; Miscellaneous", "os \xE2\x80\x94 Miscellaneous"},
      {"A&#x2014;B &amp; C",
       "A\xE2\x80\x94"
       "B & C"},
      {"x&nbsp;y &lt;z&gt;", "x\xC2\xA0y <z>"},
      {"R&D; &unknown; &#; &#x; &#0; &#9999999999;", "R&D; &unknown; &#; &#x; &#0; &#9999999999;"},
      {"lone & and &#38", "lone & and &#38"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.readable, ReadableTitle(c.title)) << c.title;
  std::string out;
  AppendPageXml(out, {"a.html", "a &#8212; &amp;", 1, 0, 0}, 1);
  EXPECT_NE(std::string::npos, out.find("<title>a \xE2\x80\x94 &amp;</title>")) << out;
}

TEST(PagesReport, AFolderThatCannotBeWrittenIsReported) {
  std::string reason;
  EXPECT_FALSE(WritePagesReport("/nonexistent-folder/x.pages.xml", {}, &reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace vossik
