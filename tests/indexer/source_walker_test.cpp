#include "indexer/source_walker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using Strings = std::vector<std::string>;

WalkRules siteRules() {
  WalkRules rules;
  rules.sourceFolder = "/srv/site";
  rules.outputFolder = "/srv/site/search";
  rules.recurse = true;
  return rules;
}

// Every entry the build would meet, depth first, as "path" for files and
// "path/" for folders, marked "+" when taken (descended or accepted).
Strings walk(const SourceWalker& walker, const std::string& root) {
  Strings seen;
  std::vector<std::unique_ptr<FolderListing>> folders;
  folders.push_back(std::make_unique<FolderListing>(root));
  std::unique_ptr<SourceEntry> entry = folders.back()->firstEntry();
  while (entry) {
    std::string shown = entry->path().substr(root.size());
    if (entry->isFolder()) {
      const bool descend = walker.shouldDescend(entry->path());
      seen.push_back((descend ? "+" : "") + shown + "/");
      if (descend) {
        folders.emplace_back(static_cast<FolderListing*>(entry.release()));
        entry = folders.back()->firstEntry();
      } else {
        entry = folders.back()->nextEntry();
      }
    } else {
      seen.push_back((walker.accepts(entry->path()) ? "+" : "") + shown);
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
  FolderListing listing(site.path().string());
  Strings names;
  for (auto entry = listing.firstEntry(); entry; entry = listing.nextEntry()) {
    names.push_back(entry->path().substr(site.path().string().size()) + (entry->isFolder() ? "/" : ""));
  }
  EXPECT_EQ((Strings{"/Z.htm", "/a/", "/a.b/", "/b.html", "/c.txt"}), names);
  // A second pass lists the folder again from the start.
  ASSERT_NE(nullptr, listing.firstEntry());
  EXPECT_EQ(nullptr, FolderListing(site.path().string() + "/missing").firstEntry());
}

TEST(FileEntry, ReadsWholeFileAndItsSize) {
  testing::TempDir site;
  const std::string bytes("line\r\n\0binary", 13);
  FileEntry file(site.Write("page.html", bytes).string());
  EXPECT_EQ(13u, file.size());
  std::string content = "old";
  ASSERT_TRUE(file.open());
  EXPECT_TRUE(file.readWhole(&content));
  file.close();
  EXPECT_EQ(bytes, content);
  FileEntry missing(site.path().string() + "/missing.html");
  EXPECT_EQ(0u, missing.size());
  EXPECT_FALSE(missing.open());
  EXPECT_FALSE(missing.readWhole(&content));
}

TEST(SourceWalker, WalksDepthFirstAndSkipsItsOwnFiles) {
  testing::TempDir temp;
  // The source folder's own name holds "index" and "vkindex": only the
  // names below it count for the built-in exclusions.
  const std::string root = (temp.path() / "vkindex-site").string();
  for (const char* file : {"index.html", "app.js", "vkindex3.js", "robots.txt", "README",
                           "docs/a.htm", "docs/vkindex/b.htm", "vkindex2/c.htm",
                           "search/vkindex0.js", "search/d.htm"}) {
    temp.Write(std::string("vkindex-site/") + file, "x");
  }
  WalkRules rules;
  rules.sourceFolder = root;
  rules.outputFolder = root + "/./search/";
  rules.recurse = true;
  const Strings expected = {"+/app.js",  "+/docs/",      "+/docs/a.htm",  "/docs/vkindex/",
                            "+/index.html", "/robots.txt", "/search/", "/vkindex2/",
                            "/vkindex3.js"};
  EXPECT_EQ(expected, walk(SourceWalker(std::move(rules)), root));
}

TEST(SourceWalker, DescendVerdict) {
  WalkRules rules = siteRules();
  rules.matchExclude.emplace(Strings{"/srv/site/private", "*/tmp/*"});
  const SourceWalker walker(std::move(rules));
  struct Row {
    const char* folder;
    bool expected;
  };
  const Row rows[] = {
      {"/srv/site/docs", true},
      {"/srv/site/docs/VKIndex", false},
      {"/srv/site/vkindexes", false},
      {"/srv/site/search", false},   // the output folder
      {"/srv/site//search", false},
      {"/srv/site/search2", true},
      {"/srv/site/Private", false},  // plain items are prefixes, ignoring case
      {"/srv/site/tmp", false},      // match lists see the folder with "/"
      {"/srv/site/a/tmp2", true},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, walker.shouldDescend(row.folder)) << row.folder;

  WalkRules flat = siteRules();
  flat.recurse = false;
  EXPECT_FALSE(SourceWalker(std::move(flat)).shouldDescend("/srv/site/docs"));
}

TEST(SourceWalker, AcceptVerdict) {
  WalkRules rules = siteRules();
  rules.outputFolder = "/srv/site/.";  // the index is written beside the pages
  rules.typeInclude.emplace(Strings{"*.htm", "*.js", "*.gif"});
  rules.typeExclude.emplace(Strings{"*.bak"});
  rules.matchExclude.emplace(Strings{"/srv/site/Drafts"});
  rules.robots.collect("User-agent: *\nDisallow: /cgi-bin\n");
  const SourceWalker walker(std::move(rules));
  struct Row {
    const char* file;
    bool expected;
  };
  const Row rows[] = {
      {"/srv/site/page.html", true},      // "*.htm" is widened to "*.htm*"
      {"/srv/site/page.txt", false},
      {"/srv/site/page.htm.bak", false},
      {"/srv/site/drafts/a.htm", false},
      {"/srv/site/app.js", true},
      {"/srv/site/vkindex1f.js", false},
      {"/srv/site/docs/index-en.js", false},
      {"/srv/site/robots.txt", false},
      {"/srv/site/sitemap.js", false},    // generated into the output folder
      {"/srv/site/vkfunctions.js", false},
      {"/srv/site/vkexample.html", false},
      {"/srv/site/offlineexample.html", false},
      {"/srv/site/bullet.gif", false},
      {"/srv/site/docs/bullet.gif", true},
      {"/srv/site/docs/sitemap.js", true},
      {"/srv/site/cgi-bin/run.htm", false},  // robots.txt
      {"/srv/site/docs/cgi-bin.htm", true},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, walker.accepts(row.file)) << row.file;
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
  for (const Row& row : rows) EXPECT_EQ(row.expected, urlBelow(row.path, row.source)) << row.path;
}

}  // namespace
}  // namespace vossik
