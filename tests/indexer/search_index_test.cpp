#include "indexer/search_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "indexer/index_writer.h"
#include "indexer/word_rules.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

// A published index written by hand: the page list as given, and the index
// files of the words given, each in the file of its bucket.
class SmallIndex {
 public:
  SmallIndex(std::string_view page_list, const std::map<std::string, std::string>& words) {
    dir_.Write("out/sitemap.js", page_list);
    std::map<int, std::string> buckets;
    for (const auto& [word, pages] : words) {
      std::string& body = buckets[bucketOf(word)];
      body += (body.empty() ? "\"" : ",\"") + word + "\"," + pages;
    }
    for (const auto& [bucket, body] : buckets) {
      Write(IndexFileName("out", bucket), "fnIJ(g_asIndex,[" + body + "]);");
    }
  }

  void Write(const std::string& relative, std::string_view bytes) const {
    dir_.Write(relative, bytes);
  }
  std::string Folder() const { return (dir_.Path() / "out").string(); }

 private:
  TempDir dir_;
};

struct Ranked {
  std::string url;
  int matched;
  bool operator==(const Ranked&) const = default;
};

std::vector<Ranked> RankingOf(const std::vector<SearchHit>& hits) {
  std::vector<Ranked> out;
  for (const SearchHit& hit : hits) out.push_back({hit.url, hit.matched});
  return out;
}

std::ostream& operator<<(std::ostream& out, const Ranked& r) {
  return out << r.url << "(" << r.matched << ")";
}

constexpr std::string_view kStops = "a,the,and,of";

// Five pages about walking, written as a build writes them.
const char kPages[] =
    "g_asPages=["
    "\"Club news\",\"news/index.html\",\"The river walk and the bridge...\","
    "\"River walk\",\"trails/river-walk.html\",\"An easy walk along the river...\","
    "\"Old bridge\",\"history/bridge.html\",\"Stones of the old mill bridge...\","
    "\"Walking boots\",\"gear/boots.html\",\"Boots for every walk...\","
    "\"Bridges of the valley\",\"bridges.html\",\"Every crossing of the river...\""
    "];\r\n";

SmallIndex WalkingSite() {
  return SmallIndex(
      kPages,
      {{"river", "1,2,3,5"}, {"walk", "1,2,4"}, {"bridg", "1,3,5"}, {"boot", "4"}, {"mill", "3"}});
}

TEST(SearchIndex, RanksPagesWithEveryWordFirstThenByTitleUrlAndRarity) {
  const SmallIndex index = WalkingSite();
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error)) << error;
  EXPECT_EQ(5, search.PageCount());

  const struct {
    std::string_view query;
    std::vector<Ranked> expected;
  } rows[] = {
      // Both words: the page with them in title and URL beats the news page.
      // Of the one-word hits, the rarer word in a title leads.
      {"river walk",
       {{"trails/river-walk.html", 2},
        {"news/index.html", 2},
        {"gear/boots.html", 1},
        {"bridges.html", 1},
        {"history/bridge.html", 1}}},
      // Title and URL outweigh the summary: the river page matches one word.
      {"Bridges RIVER",
       {{"history/bridge.html", 2},
        {"bridges.html", 2},
        {"news/index.html", 2},
        {"trails/river-walk.html", 1}}},
      {"boots", {{"gear/boots.html", 1}}},
      // Stop words, one-letter words, plain numbers: nothing left to find.
      {"the a of 2024 x", {}},
      {"snowshoe", {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, RankingOf(search.Search(row.query, kStops))) << row.query;
  }
}

TEST(SearchIndex, ScoresEachMatchedWordByRarityAndWhereItStands) {
  const SmallIndex index = WalkingSite();
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error));

  const std::vector<SearchHit> hits = search.Search("mill bridge", kStops);
  ASSERT_EQ(3u, hits.size());
  const SearchHit& top = hits[0];
  EXPECT_EQ(3, top.page);
  EXPECT_EQ("Old bridge", top.title);
  EXPECT_EQ("Stones of the old mill bridge...", top.summary);
  EXPECT_EQ(2, top.matched);
  // mill: 1 page of 5, once in the summary; bridge: 3 of 5, in title, URL
  // and summary; the file is named after a query word only (+1 each); and
  // the two words stand together in the summary (both rarities again).
  const double mill = std::log(1 + 5.0 / 1);
  const double bridge = std::log(1 + 5.0 / 3);
  EXPECT_DOUBLE_EQ(mill * (1 + 0.5 + 1) + bridge * (1 + 2 + 1.5 + 0.5 + 1) + (mill + bridge),
                   top.score);
}

TEST(SearchIndex, CountsASummaryWordUpToThreeTimes) {
  const SmallIndex index(
      "g_asPages=[\"A\",\"a.html\",\"dogs...\",\"B\",\"b.html\",\"dogs dogs...\","
      "\"C\",\"c.html\",\"dogs dogs dogs...\",\"D\",\"d.html\",\"dogs dogs dogs dogs dogs...\"];",
      {{"dog", "1,2,3,4"}});
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error));
  EXPECT_EQ((std::vector<Ranked>{{"c.html", 1}, {"d.html", 1}, {"b.html", 1}, {"a.html", 1}}),
            RankingOf(search.Search("dog", "")));
}

TEST(SearchIndex, FindsWordsThatOnlyTheTitleOrUrlHolds) {
  // A build does not index the title element's text, but the page list
  // holds it: a query naming the title still finds the page.
  const SmallIndex index(
      "g_asPages=[\"Kingfisher sightings\",\"birds/log.html\",\"Seen today...\","
      "\"Tides\",\"coast/tide-tables.html\",\"High water...\"];\r\n",
      {{"seen", "1"}});
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error));
  EXPECT_EQ((std::vector<Ranked>{{"birds/log.html", 1}}),
            RankingOf(search.Search("kingfishers", "")));
  EXPECT_EQ((std::vector<Ranked>{{"coast/tide-tables.html", 1}}),
            RankingOf(search.Search("table", "")));
  // The extension is not a word of the URL.
  EXPECT_TRUE(search.Search("html", "").empty());
}

TEST(SearchIndex, ReadsThePageListAsTheBrowserDoes) {
  // Escaped quotes and backslashes as the build writes them, UTF-8 as is,
  // and an incomplete last entry, which is left out.
  const SmallIndex index(
      "g_asPages=[\"Say \\\"hi\\\"\",\"a\\\\b.html\",\"line\\nbreak...\","
      " \"\xC3\xA9t\xC3\xA9\" , \"e.html\",\"\\u00e9...\",\"odd\",\"cut\"];",
      {});
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error)) << error;
  ASSERT_EQ(2, search.PageCount());
  // Equal scores: page order decides.
  const std::vector<SearchHit> hits = search.Search("say \xC3\xA9t\xC3\xA9", "");
  ASSERT_EQ(2u, hits.size());
  EXPECT_EQ("Say \"hi\"", hits[0].title);
  EXPECT_EQ("a\\b.html", hits[0].url);
  EXPECT_EQ("line\nbreak...", hits[0].summary);
  EXPECT_EQ("\xC3\xA9t\xC3\xA9", hits[1].title);
  EXPECT_EQ("\xC3\xA9...", hits[1].summary);
  EXPECT_EQ(hits[0].score, hits[1].score);
}

TEST(SearchIndex, OpenFailsWithoutAPageList) {
  TempDir dir;
  SearchIndex search;
  std::string error;
  EXPECT_FALSE(search.Open((dir.Path() / "missing").string(), &error));
  EXPECT_NE(std::string::npos, error.find("sitemap.js")) << error;

  const struct {
    std::string_view text;
  } rows[] = {{"var x = 1;"}, {"g_asPages=[\"open string"}, {"g_asPages=[\"a\",7];"}, {""}};
  for (const auto& row : rows) {
    dir.Write("bad/sitemap.js", row.text);
    error.clear();
    EXPECT_FALSE(search.Open((dir.Path() / "bad").string(), &error)) << row.text;
    EXPECT_NE(std::string::npos, error.find("not a page list")) << row.text;
  }
}

TEST(SearchIndex, ReadsOnlyTheQueryBucketsAndSkipsBadEntries) {
  const SmallIndex index(kPages, {{"river", "3,99,0,-3,3"}});
  // Another bucket's file is damaged; the query never opens it.
  const int river_bucket = bucketOf("river");
  index.Write(IndexFileName("out", (river_bucket + 1) % kBucketCount), "fnIJ(g_asIndex,[\"x\",1,");
  SearchIndex search;
  std::string error;
  ASSERT_TRUE(search.Open(index.Folder(), &error));
  // Page numbers outside the page list and repeats are ignored; page 2
  // holds the word in its title and URL.
  const std::vector<Ranked> indexed{{"trails/river-walk.html", 1}, {"history/bridge.html", 1}};
  const std::vector<Ranked> title_only{{"trails/river-walk.html", 1}};
  EXPECT_EQ(indexed, RankingOf(search.Search("river", "")));

  // A damaged or missing index file holds no words: only title and URL match.
  index.Write(IndexFileName("out", river_bucket), "fnIJ(g_asIndex,[\"river\",3,");
  EXPECT_EQ(title_only, RankingOf(search.Search("rivers", "")));
  std::filesystem::remove(index.Folder() + IndexFileName("", river_bucket));
  EXPECT_EQ(title_only, RankingOf(search.Search("rivers", "")));
  EXPECT_EQ((std::vector<Ranked>{{"gear/boots.html", 2}, {"trails/river-walk.html", 1}}),
            RankingOf(search.Search("boots walking", "")));
}

TEST(QueryWords, NormaliseLikePageTextAndKeepTheFirstOfEachWord) {
  const StopList stops = buildStopList("the,and");
  const struct {
    std::string_view query;
    std::vector<std::string> words;
  } rows[] = {
      {"The running DOGS, and dogs!", {"runn", "dog"}},
      {"caf\xC3\xA9 mp3 2003 x", {"cafnn", "mp3"}},
      {"well-known snake_case", {"wellknown", "snakecas"}},
      {"--", {""}},  // the empty word is a word, as in the index
      {"", {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.words, QueryWords(row.query, stops.words.get())) << row.query;
  }
}

}  // namespace
}  // namespace vossik

namespace vossik {
namespace {

TEST(DisplayText, CharacterReferencesBecomeCharacters) {
  struct Row {
    const char* text;
    const char* shown;
  };
  const Row rows[] = {
      {"json &#8212; JSON", "json \xE2\x80\x94 JSON"},
      {"&#x2014;&#X2014;", "\xE2\x80\x94\xE2\x80\x94"},
      {"Fish &amp; chips &lt;b&gt;", "Fish & chips <b>"},
      {"no&nbsp;break",
       "no\xC2\xA0"
       "break"},
      {"&#0; &#55296; &#x110000;", "\xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD"},
      {"&AMP; &amp &bogus; &#; &#12345678;", "&AMP; &amp &bogus; &#; &#12345678;"},
      {"plain text", "plain text"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.shown, DisplayText(row.text)) << row.text;
}

}  // namespace
}  // namespace vossik
