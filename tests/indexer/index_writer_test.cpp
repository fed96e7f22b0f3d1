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

TEST(SiteMapLinks, EscapesTitlesAndKeepsEveryUrlALinkToTheFile) {
  const struct {
    std::string_view url, title, expected;
  } rows[] = {
      {"docs/a.html", "Intro", "<A HREF=\"docs/a.html\"><FONT class=hidden>Intro</FONT></A>\r\n"},
      {"c.html", "", "<A HREF=\"c.html\"><FONT class=hidden></FONT></A>\r\n"},
      // Markup in a title is shown, never run; references the page wrote stay.
      {"x.html", "<img src=x onerror=alert(1)>",
       "<A HREF=\"x.html\"><FONT class=hidden>&lt;img src=x onerror=alert(1)&gt;</FONT></A>\r\n"},
      {"x.html", "\"></FONT><script>alert(1)</script>",
       "<A HREF=\"x.html\"><FONT class=hidden>&quot;&gt;&lt;/FONT&gt;&lt;script&gt;alert(1)"
       "&lt;/script&gt;</FONT></A>\r\n"},
      {"x.html", "Fish &amp; chips &#8212; &#x2014; & more",
       "<A HREF=\"x.html\"><FONT class=hidden>Fish &amp; chips &#8212; &#x2014; &amp; more"
       "</FONT></A>\r\n"},
      // A file name that reads as a scheme stays a relative link.
      {"javascript:alert(2).html", "J",
       "<A HREF=\"./javascript:alert(2).html\"><FONT class=hidden>J</FONT></A>\r\n"},
      {"docs/a:b.html", "", "<A HREF=\"docs/a:b.html\"><FONT class=hidden></FONT></A>\r\n"},
      // Quotes, control bytes and bytes that are not UTF-8 are percent-encoded.
      {"docs/a \"b\".html", "",
       "<A HREF=\"docs/a %22b%22.html\"><FONT class=hidden></FONT></A>\r\n"},
      {"caf\xE9\x01.html", "", "<A HREF=\"caf%E9%01.html\"><FONT class=hidden></FONT></A>\r\n"},
      {"caf\xC3\xA9.html", "", "<A HREF=\"caf\xC3\xA9.html\"><FONT class=hidden></FONT></A>\r\n"},
      {"\xED\xA0\x80\xC3.html", "",
       "<A HREF=\"%ED%A0%80%C3.html\"><FONT class=hidden></FONT></A>\r\n"},
  };
  for (const auto& row : rows) {
    std::string links;
    AppendSiteMapLink(links, row.url, row.title);
    EXPECT_EQ(row.expected, links) << row.url << " " << row.title;
  }
}

TEST(RecoverPublish, FinishesAJournalledPublishAndOtherwiseRemovesLeftovers) {
  TempDir dir;
  const std::string folder = (dir.Path() / "out").string();
  const std::string links = (dir.Path() / "links.html").string();
  dir.Write("out/vkindex0.js", "old 0");
  dir.Write("out/vkindex1.js", "new 1");  // renamed before the run was killed
  dir.Write("out/vkindex0.js.tmp", "new 0");
  dir.Write("out/sitemap.js.tmp", "new pages");
  dir.Write("links.html.tmp", "new links");
  const std::string journal = "vossik publish 1\n" + folder + "/vkindex0.js.tmp\t" + folder +
                              "/vkindex0.js\n" + folder + "/vkindex1.js.tmp\t" + folder +
                              "/vkindex1.js\n" + folder + "/sitemap.js.tmp\t" + folder +
                              "/sitemap.js\n" + links + ".tmp\t" + links + "\nend\n";
  dir.Write("out/vkpublish.journal", journal);
  std::string done;
  ASSERT_TRUE(RecoverPublish(folder, links, &done));
  EXPECT_NE(std::string::npos, done.find("Finished publishing")) << done;
  EXPECT_EQ("new 0", ReadFile(folder + "/vkindex0.js"));
  EXPECT_EQ("new 1", ReadFile(folder + "/vkindex1.js"));
  EXPECT_EQ("new pages", ReadFile(folder + "/sitemap.js"));
  EXPECT_EQ("new links", ReadFile(links));
  EXPECT_EQ((std::vector<std::string>{"sitemap.js", "vkindex0.js", "vkindex1.js"}),
            FilesIn(folder));

  // Killed before the journal was written: the new files never count.
  dir.Write("out/vkindex0.js.tmp", "newer 0");
  dir.Write("out/vkfunctions.js.tmp", "newer script");
  dir.Write("links.html.tmp", "newer links");
  done.clear();
  ASSERT_TRUE(RecoverPublish(folder, links, &done));
  EXPECT_NE(std::string::npos, done.find("Removed 3")) << done;
  EXPECT_EQ("new 0", ReadFile(folder + "/vkindex0.js"));
  EXPECT_EQ("new links", ReadFile(links));
  EXPECT_EQ((std::vector<std::string>{"sitemap.js", "vkindex0.js", "vkindex1.js"}),
            FilesIn(folder));
  EXPECT_FALSE(fs::exists(links + ".tmp"));

  // A journal that is not ours (or cut short) moves nothing.
  dir.Write("out/vkindex0.js.tmp", "stray");
  dir.Write("out/vkpublish.journal",
            "vossik publish 1\n" + folder + "/vkindex0.js.tmp\t" + folder + "/vkindex0.js\n");
  ASSERT_TRUE(RecoverPublish(folder, links));
  EXPECT_EQ("new 0", ReadFile(folder + "/vkindex0.js"));
  EXPECT_EQ((std::vector<std::string>{"sitemap.js", "vkindex0.js", "vkindex1.js"}),
            FilesIn(folder));
}

TEST(IndexFileSet, PublishesStagedFilesOutsideTheFolderAndLeavesNoJournal) {
  TempDir dir;
  const std::string folder = (dir.Path() / "site" / "search").string();
  const std::string links = (dir.Path() / "links.html").string();
  dir.Write("links.html", "old links");
  IndexFileSet set(folder);
  ASSERT_TRUE(set.WriteBucket(0, TableOf({})));
  ASSERT_TRUE(set.Stage(links, "new links"));
  EXPECT_EQ("old links", ReadFile(links));
  ASSERT_TRUE(set.Publish());
  EXPECT_EQ("new links", ReadFile(links));
  EXPECT_EQ(std::vector<std::string>{"vkindex0.js"}, FilesIn(folder));

  std::string error;
  IndexFileSet blocked(folder);
  dir.Write("site/file", "x");
  EXPECT_FALSE(blocked.Stage((dir.Path() / "site" / "file" / "links.html").string(), "x", &error));
  EXPECT_NE(std::string::npos, error.find("file")) << error;
  EXPECT_FALSE(blocked.Publish());
}

}  // namespace
}  // namespace vossik
