#include "service/site_watcher.h"

#include <gtest/gtest.h>
#include <poll.h>

#include "service/site_walk.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

class SiteWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("site/index.html", "<title>Home</title>");
    dir_.Write("site/docs/intro.html", "<title>Intro</title>");
    options_.source_folder = (dir_.Path() / "site").string();
    options_.target_folder = "search";
    options_.recurse = true;
    options_.type_include = std::vector<std::string>{"*.htm"};
    options_.type_exclude = std::vector<std::string>{"*.bak", "*.tmp"};
    options_.site_map_file = options_.source_folder + "/links.html";
    std::string problem;
    ASSERT_TRUE(watcher_.Watch(SiteWalkerFor(options_), options_.site_map_file, &problem))
        << problem;
    EXPECT_EQ("", problem);
  }

  // Whether the events that `action` causes concern the index. Every file
  // the action writes is closed when it returns, so its events are queued.
  bool Concerns(const std::function<void()>& action) {
    action();
    pollfd ready{watcher_.Descriptor(), POLLIN, 0};
    EXPECT_EQ(1, poll(&ready, 1, 10000)) << "no event came";
    return watcher_.ReadChanges();
  }

  TempDir dir_;
  IndexOptions options_;
  SiteWatcher watcher_;
};

TEST_F(SiteWatcherTest, ReportsChangesToWhatTheBuildIndexes) {
  EXPECT_EQ(2u, watcher_.WatchedFolders());
  EXPECT_TRUE(Concerns([&] { dir_.Write("site/index.html", "<title>Home, new</title>"); }));
  EXPECT_TRUE(Concerns([&] { dir_.Write("site/docs/more.htm", "x"); }));
  EXPECT_TRUE(Concerns([&] { dir_.Write("site/robots.txt", "User-agent: *\n"); }));
  EXPECT_TRUE(Concerns([&] { std::filesystem::remove(dir_.Path() / "site/docs/more.htm"); }));
  EXPECT_TRUE(Concerns([&] {
    std::filesystem::rename(dir_.Path() / "site/index.html", dir_.Path() / "site/home.html");
  }));

  EXPECT_FALSE(Concerns([&] { dir_.Write("site/draft.html.tmp", "x"); }));
  EXPECT_FALSE(Concerns([&] { dir_.Write("site/notes.txt", "x"); }));
  EXPECT_FALSE(Concerns([&] { dir_.Write("site/links.html", "<A HREF=...>"); }));
}

TEST_F(SiteWatcherTest, WatchesNewFoldersAndNeverTheOutputFolder) {
  EXPECT_TRUE(
      Concerns([&] { std::filesystem::create_directories(dir_.Path() / "site/news/2026"); }));
  EXPECT_TRUE(Concerns([&] { dir_.Write("site/news/2026/june.html", "x"); }));
  EXPECT_EQ(4u, watcher_.WatchedFolders());

  // The build makes its output folder and writes there: nothing that
  // concerns the index, and nothing at all from inside the folder.
  EXPECT_FALSE(Concerns([&] {
    std::filesystem::create_directories(dir_.Path() / "site/search");
    dir_.Write("site/search/vkindex0.js", "fnIJ(g_asIndex,[]);");
    dir_.Write("site/search/vkexample.html", "<title>Search</title>");
  }));
  EXPECT_EQ(4u, watcher_.WatchedFolders());

  EXPECT_TRUE(Concerns([&] { std::filesystem::remove_all(dir_.Path() / "site/news"); }));
  pollfd ready{watcher_.Descriptor(), POLLIN, 0};
  while (poll(&ready, 1, 0) == 1) static_cast<void>(watcher_.ReadChanges());
  EXPECT_EQ(2u, watcher_.WatchedFolders());
}

TEST(SiteWatcher, SaysWhyASiteCannotBeWatched) {
  SiteWatcher watcher;
  IndexOptions options;
  options.source_folder = "/no/such/site";
  std::string problem;
  EXPECT_FALSE(watcher.Watch(SiteWalkerFor(options), "", &problem));
  EXPECT_NE(std::string::npos, problem.find("/no/such/site")) << problem;
  EXPECT_EQ(-1, watcher.Descriptor());
}

}  // namespace
}  // namespace vossik
