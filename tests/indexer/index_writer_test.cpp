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

WordTable TableOf(std::initializer_list<std::pair<std::string, std::vector<int32_t>>> words) {
  WordTable table(256);
  for (const auto& [text, pages] : words) table.add(text, 0).pages = pages;
  return table;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RenderIndexFile, WritesTheExactBytes) {
  EXPECT_EQ("fnIJ(g_asIndex,[\"th\",1,2,\"dog\",2]);",
            RenderIndexFile(TableOf({{"th", {1, 2}}, {"dog", {2}}})));
  EXPECT_EQ("fnIJ(g_asIndex,[]);", RenderIndexFile(TableOf({})));
  EXPECT_EQ("fnIJ(g_asIndex,[\"\",4,2147483647]);",
            RenderIndexFile(TableOf({{"", {4, 2147483647}}})));
}

TEST(IndexFileName, NamesTheBucketInLowerCaseHex) {
  EXPECT_EQ("out/dir/vkindex0.js", IndexFileName("out/dir", 0));
  EXPECT_EQ("out/dir/vkindexa.js", IndexFileName("out/dir", 10));
  EXPECT_EQ("out/dir/vkindexff.js", IndexFileName("out/dir", 255));
}

TEST(RenderPageList, CutsTheEntriesAtTheirLastComma) {
  EXPECT_EQ(
      "g_asPages=[\"A\",\"a.html\",\"x...\",\"B\",\"b.html\",\"...\",\"C\",\"c.html\",\"z...\"];"
      "\r\n",
      RenderPageList(
          "\"A\",\"a.html\",\"x...\",\"B\",\"b.html\",\"...\",\"C\",\"c.html\",\"z...\","));
  EXPECT_EQ("g_asPages=[\"no comma\"];\r\n", RenderPageList("\"no comma\""));
}

TEST(WritePageList, ReplacesTheFileOnlyWithNameAndEntries) {
  TempDir dir;
  const std::string file = (dir.Path() / "sitemap.js").string();
  EXPECT_FALSE(writePageList(file, ""));
  EXPECT_FALSE(writePageList("", "\"t\",\"u\",\"s\","));
  EXPECT_FALSE(fs::exists(file));

  dir.Write("sitemap.js", "old");
  EXPECT_TRUE(writePageList(file, "\"t\",\"u\",\"s\","));
  EXPECT_EQ("g_asPages=[\"t\",\"u\",\"s\"];\r\n", ReadFile(file));
  EXPECT_EQ(std::vector<std::string>{"sitemap.js"}, FilesIn(dir.Path()));

  EXPECT_FALSE(writePageList((dir.Path() / "missing" / "sitemap.js").string(), "\"t\","));
}

TEST(CreateFolderPath, CreatesEveryMissingLevel) {
  TempDir dir;
  dir.ChangeInto();
  EXPECT_TRUE(CreateFolderPath("a\\b/c"));
  EXPECT_TRUE(fs::is_directory("a/b/c"));
  EXPECT_TRUE(CreateFolderPath("a//b/d/"));
  EXPECT_TRUE(fs::is_directory("a/b/d"));
  EXPECT_TRUE(CreateFolderPath((dir.Path() / "abs" / "x").string()));
  EXPECT_TRUE(fs::is_directory(dir.Path() / "abs" / "x"));

  dir.Write("file", "x");
  EXPECT_FALSE(CreateFolderPath("file/below"));
  EXPECT_FALSE(CreateFolderPath(""));
}

class IndexFileSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int bucket = 0; bucket < 256; ++bucket) {
      dir_.Write("out/" + fs::path(IndexFileName(Folder(), bucket)).filename().string(), "old");
    }
  }
  std::string Folder() const { return (dir_.Path() / "out").string(); }
  std::string Read(int bucket) const { return ReadFile(IndexFileName(Folder(), bucket)); }
  void ExpectOnlyIndexFiles() const { EXPECT_EQ(256u, FilesIn(Folder()).size()); }

  TempDir dir_;
  const WordTable words_ = TableOf({{"dog", {1}}});
};

TEST_F(IndexFileSetTest, PublishReplacesEveryWrittenFile) {
  IndexFileSet set(Folder());
  for (int bucket = 0; bucket < 256; ++bucket) ASSERT_TRUE(set.WriteBucket(bucket, words_));
  EXPECT_EQ("old", Read(0));  // nothing is visible before publishing
  EXPECT_TRUE(set.Publish());
  for (int bucket = 0; bucket < 256; ++bucket) {
    EXPECT_EQ("fnIJ(g_asIndex,[\"dog\",1]);", Read(bucket));
  }
  ExpectOnlyIndexFiles();
}

TEST_F(IndexFileSetTest, CancelledBuildLeavesThePreviousIndexWhole) {
  {
    IndexFileSet set(Folder());
    for (int bucket = 0; bucket < 100; ++bucket) ASSERT_TRUE(set.WriteBucket(bucket, words_));
  }
  for (int bucket = 0; bucket < 256; ++bucket) EXPECT_EQ("old", Read(bucket));
  ExpectOnlyIndexFiles();

  IndexFileSet set(Folder());
  ASSERT_TRUE(set.WriteBucket(7, words_));
  set.Discard();
  EXPECT_TRUE(set.Publish());
  EXPECT_EQ("old", Read(7));
  ExpectOnlyIndexFiles();
}

TEST_F(IndexFileSetTest, FailedWriteKeepsThePreviousIndexWhole) {
  fs::create_directory(IndexFileName(Folder(), 9) + ".tmp");  // cannot be opened as a file
  IndexFileSet set(Folder());
  for (int bucket = 0; bucket < 256; ++bucket) {
    EXPECT_EQ(bucket != 9, set.WriteBucket(bucket, words_));
  }
  EXPECT_FALSE(set.Publish());
  for (int bucket = 0; bucket < 256; ++bucket) EXPECT_EQ("old", Read(bucket));
  EXPECT_EQ(257u, FilesIn(Folder()).size());  // the old files and the blocking folder
}

TEST(IndexFileSet, CreatesTheMissingOutputFolder) {
  TempDir dir;
  const std::string folder = (dir.Path() / "site" / "search" / "index").string();
  IndexFileSet set(folder);
  ASSERT_TRUE(set.WriteBucket(1, TableOf({{"", {1}}})));
  ASSERT_TRUE(set.Publish());
  EXPECT_EQ("fnIJ(g_asIndex,[\"\",1]);", ReadFile(folder + "/vkindex1.js"));
}

TEST(SiteMapLinks, AppendsOneLinePerPageAfterTruncation) {
  TempDir dir;
  const std::string file = dir.Write("links.html", "from the previous build\r\n").string();
  ASSERT_TRUE(TruncateSiteMapLinks(file));
  appendSiteMapLink(file, "docs/a \"b\".html", "Intro");
  appendSiteMapLink(file, "c.html", "");
  EXPECT_EQ(
      "<A HREF=\"docs/a %22b%22.html\"><FONT class=hidden>Intro</FONT></A>\r\n"
      "<A HREF=\"c.html\"><FONT class=hidden></FONT></A>\r\n",
      ReadFile(file));

  ASSERT_TRUE(TruncateSiteMapLinks(file));
  EXPECT_EQ("", ReadFile(file));
}

TEST(SiteMapLinks, WritesNothingIntoAMissingFolder) {
  TempDir dir;
  const std::string file = (dir.Path() / "missing" / "links.html").string();
  EXPECT_FALSE(TruncateSiteMapLinks(file));
  appendSiteMapLink(file, "a.html", "A");
  EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
}

}  // namespace
}  // namespace vossik
