#include "indexer/index_census.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

TEST(IndexCensus, CountsPagesWordsAndBytes) {
  TempDir dir;
  const std::string page_list =
      "g_asPages=[\"Home\",\"index.html\",\"Welcome...\",\"Caf\\u00e9 \\\"menu\\\"\",\"food/"
      "menu.htm\",\"...\",\"Notes\",\"notes\",\"...\"];\r\n";
  const std::string buckets[] = {"fnIJ(g_asIndex,[\"\",2]);",
                                 "fnIJ(g_asIndex,[\"walk\",1,2,\"river\",1,9]);", "not an index"};
  dir.Write("site/search/sitemap.js", page_list);
  dir.Write("site/search/vkindex1.js", buckets[0]);
  dir.Write("site/search/vkindex62.js", buckets[1]);
  dir.Write("site/search/vkindex7.js", buckets[2]);
  dir.Write("site/index.html", "0123456789");
  const std::string site = (dir.Path() / "site").string();

  IndexCensus census;
  std::string error;
  ASSERT_TRUE(ReadIndexCensus(site, site + "/search", &census, &error)) << error;
  ASSERT_EQ(3u, census.pages.size());
  EXPECT_EQ("Café \"menu\"", census.pages[1].title);
  EXPECT_EQ("food/menu.htm", census.pages[1].url);
  EXPECT_EQ(2, census.pages[0].words);  // walk, river
  EXPECT_EQ(2, census.pages[1].words);  // the empty word, walk
  EXPECT_EQ(0, census.pages[2].words);  // page 9 does not exist
  EXPECT_EQ(3, census.words);
  EXPECT_EQ(10u, census.pages[0].size);
  EXPECT_GT(census.pages[0].modified, 0);
  EXPECT_EQ(0u, census.pages[1].size);  // the file is gone
  EXPECT_EQ(page_list.size() + buckets[0].size() + buckets[1].size() + buckets[2].size(),
            census.index_bytes);
  EXPECT_GT(census.published, 0);
  const std::map<std::string, long> by_type = {{"(none)", 1}, {"htm", 1}, {"html", 1}};
  EXPECT_EQ(by_type, census.PagesByType());
}

TEST(IndexCensus, NeedsAPageList) {
  TempDir dir;
  IndexCensus census;
  std::string error;
  EXPECT_FALSE(ReadIndexCensus(dir.Path().string(), dir.Path().string(), &census, &error));
  EXPECT_NE(std::string::npos, error.find("sitemap.js")) << error;
  dir.Write("sitemap.js", "g_asPages=[1,2,3];");
  EXPECT_FALSE(ReadIndexCensus(dir.Path().string(), dir.Path().string(), &census, &error));
}

}  // namespace
}  // namespace vossik
