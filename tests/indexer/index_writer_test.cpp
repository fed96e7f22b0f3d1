#include "indexer/index_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

WordTable tableOf(std::initializer_list<std::pair<std::string, std::vector<int32_t>>> words) {
  WordTable table(256);
  for (const auto& [text, pages] : words) table.add(text, 0).pages = pages;
  return table;
}

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RenderIndexFile, WritesTheExactBytes) {
  EXPECT_EQ("fnIJ(g_asIndex,[\"th\",1,2,\"dog\",2]);",
            renderIndexFile(tableOf({{"th", {1, 2}}, {"dog", {2}}})));
  EXPECT_EQ("fnIJ(g_asIndex,[]);", renderIndexFile(tableOf({})));
  EXPECT_EQ("fnIJ(g_asIndex,[\"\",4,2147483647]);",
            renderIndexFile(tableOf({{"", {4, 2147483647}}})));
}

TEST(IndexFileName, NamesTheBucketInLowerCaseHex) {
  EXPECT_EQ("out/dir/vkindex0.js", indexFileName("out/dir", 0));
  EXPECT_EQ("out/dir/vkindexa.js", indexFileName("out/dir", 10));
  EXPECT_EQ("out/dir/vkindexff.js", indexFileName("out/dir", 255));
}

TEST(RenderPageList, CutsTheEntriesAtTheirLastComma) {
  EXPECT_EQ(
      "g_asPages=[\"A\",\"a.html\",\"x...\",\"B\",\"b.html\",\"...\",\"C\",\"c.html\",\"z...\"];"
      "\r\n",
      renderPageList(
          "\"A\",\"a.html\",\"x...\",\"B\",\"b.html\",\"...\",\"C\",\"c.html\",\"z...\","));
  EXPECT_EQ("g_asPages=[\"no comma\"];\r\n", renderPageList("\"no comma\""));
}

TEST(WritePageList, ReplacesTheFileOnlyWithNameAndEntries) {
  TempDir dir;
  const std::string file = (dir.path() / "sitemap.js").string();
  EXPECT_FALSE(writePageList(file, ""));
  EXPECT_FALSE(writePageList("", "\"t\",\"u\",\"s\","));
  EXPECT_FALSE(fs::exists(file));

  dir.Write("sitemap.js", "old");
  EXPECT_TRUE(writePageList(file, "\"t\",\"u\",\"s\","));
  EXPECT_EQ("g_asPages=[\"t\",\"u\",\"s\"];\r\n", ReadFile(file));
  EXPECT_EQ(std::vector<std::string>{"sitemap.js"}, filesIn(dir.path()));

  EXPECT_FALSE(writePageList((dir.path() / "missing" / "sitemap.js").string(), "\"t\","));
}

TEST(CreateFolderPath, CreatesEveryMissingLevel) {
  TempDir dir;
  dir.ChangeInto();
  EXPECT_TRUE(createFolderPath("a\\b/c"));
  EXPECT_TRUE(fs::is_directory("a/b/c"));
  EXPECT_TRUE(createFolderPath("a//b/d/"));
  EXPECT_TRUE(fs::is_directory("a/b/d"));
  EXPECT_TRUE(createFolderPath((dir.path() / "abs" / "x").string()));
  EXPECT_TRUE(fs::is_directory(dir.path() / "abs" / "x"));

  dir.Write("file", "x");
  EXPECT_FALSE(createFolderPath("file/below"));
  EXPECT_FALSE(createFolderPath(""));
}

class IndexFileSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int bucket = 0; bucket < 256; ++bucket) {
      dir.Write("out/" + fs::path(indexFileName(folder(), bucket)).filename().string(), "old");
    }
  }
  std::string folder() const { return (dir.path() / "out").string(); }
  std::string read(int bucket) const { return ReadFile(indexFileName(folder(), bucket)); }
  void expectOnlyIndexFiles() const { EXPECT_EQ(256u, filesIn(folder()).size()); }

  TempDir dir;
  const WordTable words = tableOf({{"dog", {1}}});
};

TEST_F(IndexFileSetTest, PublishReplacesEveryWrittenFile) {
  IndexFileSet set(folder());
  for (int bucket = 0; bucket < 256; ++bucket) ASSERT_TRUE(set.writeBucket(bucket, words));
  EXPECT_EQ("old", read(0));  // nothing is visible before publishing
  EXPECT_TRUE(set.publish());
  for (int bucket = 0; bucket < 256; ++bucket) {
    EXPECT_EQ("fnIJ(g_asIndex,[\"dog\",1]);", read(bucket));
  }
  expectOnlyIndexFiles();
}

TEST_F(IndexFileSetTest, CancelledBuildLeavesThePreviousIndexWhole) {
  {
    IndexFileSet set(folder());
    for (int bucket = 0; bucket < 100; ++bucket) ASSERT_TRUE(set.writeBucket(bucket, words));
  }
  for (int bucket = 0; bucket < 256; ++bucket) EXPECT_EQ("old", read(bucket));
  expectOnlyIndexFiles();

  IndexFileSet set(folder());
  ASSERT_TRUE(set.writeBucket(7, words));
  set.discard();
  EXPECT_TRUE(set.publish());
  EXPECT_EQ("old", read(7));
  expectOnlyIndexFiles();
}

TEST_F(IndexFileSetTest, FailedWriteKeepsThePreviousIndexWhole) {
  fs::create_directory(indexFileName(folder(), 9) + ".tmp");  // cannot be opened as a file
  IndexFileSet set(folder());
  for (int bucket = 0; bucket < 256; ++bucket) {
    EXPECT_EQ(bucket != 9, set.writeBucket(bucket, words));
  }
  EXPECT_FALSE(set.publish());
  for (int bucket = 0; bucket < 256; ++bucket) EXPECT_EQ("old", read(bucket));
  EXPECT_EQ(257u, filesIn(folder()).size());  // the old files and the blocking folder
}

TEST(IndexFileSet, CreatesTheMissingOutputFolder) {
  TempDir dir;
  const std::string folder = (dir.path() / "site" / "search" / "index").string();
  IndexFileSet set(folder);
  ASSERT_TRUE(set.writeBucket(1, tableOf({{"", {1}}})));
  ASSERT_TRUE(set.publish());
  EXPECT_EQ("fnIJ(g_asIndex,[\"\",1]);", ReadFile(folder + "/vkindex1.js"));
}

TEST(SiteMapLinks, AppendsOneLinePerPageAfterTruncation) {
  TempDir dir;
  const std::string file = dir.Write("links.html", "from the previous build\r\n").string();
  ASSERT_TRUE(truncateSiteMapLinks(file));
  appendSiteMapLink(file, "docs/a \"b\".html", "Intro");
  appendSiteMapLink(file, "c.html", "");
  EXPECT_EQ(
      "<A HREF=\"docs/a %22b%22.html\"><FONT class=hidden>Intro</FONT></A>\r\n"
      "<A HREF=\"c.html\"><FONT class=hidden></FONT></A>\r\n",
      ReadFile(file));

  ASSERT_TRUE(truncateSiteMapLinks(file));
  EXPECT_EQ("", ReadFile(file));
}

TEST(SiteMapLinks, WritesNothingIntoAMissingFolder) {
  TempDir dir;
  const std::string file = (dir.path() / "missing" / "links.html").string();
  EXPECT_FALSE(truncateSiteMapLinks(file));
  appendSiteMapLink(file, "a.html", "A");
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

}  // namespace
}  // namespace vossik
