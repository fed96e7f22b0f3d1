#include "indexer/source_walker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using Strings = std::vector<std::string>;

WalkRules SiteRules() {
  WalkRules rules;
  rules.source_folder = "/srv/site";
  rules.output_folder = "/srv/site/search";
  rules.recurse = true;
  return rules;
}

// Every entry the build would meet, depth first, as "path" for files and
// "path/" for folders, marked "+" when taken (descended or accepted).
Strings Walk(const SourceWalker& walker, const std::string& root) {
  Strings seen;
  std::vector<std::unique_ptr<FolderListing>> folders;
  folders.push_back(std::make_unique<FolderListing>(root));
  std::unique_ptr<SourceEntry> entry = folders.back()->firstEntry();
  while (entry) {
    std::string shown = entry->Path().substr(root.size());
    if (entry->IsFolder()) {
      const bool descend = walker.ShouldDescend(entry->Path());
      seen.push_back((descend ? "+" : "") + shown + "/");
      if (descend) {
        folders.emplace_back(static_cast<FolderListing*>(entry.release()));
        entry = folders.back()->firstEntry();
      } else {
        entry = folders.back()->nextEntry();
      }
    } else {
      seen.push_back((walker.Accepts(entry->Path()) ? "+" : "") + shown);
      entry = folders.back()->nextEntry();
    }
    while (!entry && folders.size() > 1) {
      folders.pop_back();
      entry = folders.back()->nextEntry();
    }
  }
  return seen;
}

TEST(FolderListing, ListsFoldersAndDottedFilesSortedByName) {
  testing::TempDir site;
  for (const char* file : {"b.html", "Z.htm", "README", "a/x.htm", "c.txt", "a.b/y.htm"}) {
    site.Write(file, "x");
  }
  FolderListing listing(site.Path().string());
  Strings names;
  for (auto entry = listing.firstEntry(); entry; entry = listing.nextEntry()) {
    names.push_back(entry->Path().substr(site.Path().string().size()) +
                    (entry->IsFolder() ? "/" : ""));
  }
  EXPECT_EQ((Strings{"/Z.htm", "/a/", "/a.b/", "/b.html", "/c.txt"}), names);
  // A second pass lists the folder again from the start.
  ASSERT_NE(nullptr, listing.firstEntry());
  EXPECT_EQ(nullptr, FolderListing(site.Path().string() + "/missing").firstEntry());
}

TEST(FileEntry, ReadsWholeFileAndItsSize) {
  testing::TempDir site;
  const std::string bytes("line\r\n\0binary", 13);
  FileEntry file(site.Write("page.html", bytes).string());
  EXPECT_EQ(13u, file.Size());
  std::string content = "old";
  ASSERT_TRUE(file.Open());
  EXPECT_TRUE(file.ReadWhole(&content));
  file.Close();
  EXPECT_EQ(bytes, content);
  FileEntry missing(site.Path().string() + "/missing.html");
  EXPECT_EQ(0u, missing.Size());
  EXPECT_FALSE(missing.Open());
  EXPECT_FALSE(missing.ReadWhole(&content));
}

TEST(SourceWalker, WalksDepthFirstAndSkipsItsOwnFiles) {
  testing::TempDir temp;
  // The source folder's own name holds "index" and "vkindex": only the
  // names below it count for the built-in exclusions.
  const std::string root = (temp.Path() / "vkindex-site").string();
  for (const char* file :
       {"index.html", "app.js", "vkindex3.js", "robots.txt", "README", "docs/a.htm",
        "docs/vkindex/b.htm", "vkindex2/c.htm", "search/vkindex0.js", "search/d.htm"}) {
    temp.Write(std::string("vkindex-site/") + file, "x");
  }
  WalkRules rules;
  rules.source_folder = root;
  rules.output_folder = root + "/./search/";
  rules.recurse = true;
  const Strings expected = {"+/app.js",       "+/docs/",      "+/docs/a.htm",
                            "/docs/vkindex/", "+/index.html", "/robots.txt",
                            "/search/",       "/vkindex2/",   "/vkindex3.js"};
  EXPECT_EQ(expected, Walk(SourceWalker(std::move(rules)), root));
}

TEST(SourceWalker, DescendVerdict) {
  WalkRules rules = SiteRules();
  rules.match_exclude.emplace(Strings{"/srv/site/private", "*/tmp/*"});
  const SourceWalker walker(std::move(rules));
  struct Row {
    const char* folder;
    bool expected;
  };
  const Row rows[] = {
      {"/srv/site/docs", true},       {"/srv/site/docs/VKIndex", false},
      {"/srv/site/vkindexes", false}, {"/srv/site/search", false},  // the output folder
      {"/srv/site//search", false},   {"/srv/site/search2", true},
      {"/srv/site/Private", false},  // plain items are prefixes, ignoring case
      {"/srv/site/tmp", false},      // match lists see the folder with "/"
      {"/srv/site/a/tmp2", true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, walker.ShouldDescend(row.folder)) << row.folder;

  WalkRules flat = SiteRules();
  flat.recurse = false;
  EXPECT_FALSE(SourceWalker(std::move(flat)).ShouldDescend("/srv/site/docs"));
}

TEST(SourceWalker, AcceptVerdict) {
  WalkRules rules = SiteRules();
  rules.output_folder = "/srv/site/.";  // the index is written beside the pages
  rules.type_include.emplace(Strings{"*.htm", "*.js", "*.gif"});
  rules.type_exclude.emplace(Strings{"*.bak"});
  rules.match_exclude.emplace(Strings{"/srv/site/Drafts"});
  rules.robots.Collect("User-agent: *\nDisallow: /cgi-bin\n");
  const SourceWalker walker(std::move(rules));
  struct Row {
    const char* file;
    bool expected;
  };
  const Row rows[] = {
      {"/srv/site/page.html", true},  // "*.htm" is widened to "*.htm*"
      {"/srv/site/page.txt", false},
      {"/srv/site/page.htm.bak", false},
      {"/srv/site/drafts/a.htm", false},
      {"/srv/site/app.js", true},
      {"/srv/site/vkindex1f.js", false},
      {"/srv/site/docs/index-en.js", false},
      {"/srv/site/robots.txt", false},
      {"/srv/site/sitemap.js", false},  // generated into the output folder
      {"/srv/site/vkfunctions.js", false},
      {"/srv/site/vkexample.html", false},
      {"/srv/site/offlineexample.html", false},
      {"/srv/site/bullet.gif", false},
      {"/srv/site/docs/bullet.gif", true},
      {"/srv/site/docs/sitemap.js", true},
      {"/srv/site/cgi-bin/run.htm", false},  // robots.txt
      {"/srv/site/docs/cgi-bin.htm", true},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, walker.Accepts(row.file)) << row.file;
}

TEST(SourceWalker, UrlIsThePathBelowTheSourceFolder) {
  struct Row {
    const char* path;
    const char* source;
    const char* expected;
  };
  const Row rows[] = {
      {"/srv/site/docs/intro.html", "/srv/site", "docs/intro.html"},
      {"/srv/site//docs/intro.html", "/srv/site", "docs/intro.html"},
      {"/srv/site/docs\\intro.html", "/srv/site", "docs/intro.html"},
      {"/srv/site/\\a.htm", "/srv/site", "a.htm"},
      {"/other/a.htm", "/srv/site", "/other/a.htm"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, UrlBelow(row.path, row.source)) << row.path;
}

}  // namespace
}  // namespace vossik
