#include "service/site_walk.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

void SetTime(const std::filesystem::path& file, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, file.c_str(), times, 0)) << file;
}

TEST(SiteWalk, FindsTheNewestPageTheBuildWouldIndex) {
  TempDir dir;
  SetTime(dir.Write("site/index.html", "x"), 1000);
  SetTime(dir.Write("site/docs/guide.html", "x"), 2000);
  SetTime(dir.Write("site/docs/guide.html.bak", "x"), 9000);    // an excluded type
  SetTime(dir.Write("site/search/vkexample.html", "x"), 9000);  // the output folder
  SetTime(dir.Write("site/private/secret.html", "x"), 9000);    // disallowed by robots.txt
  SetTime(dir.Write("site/robots.txt", "User-agent: *\nDisallow: /private/\n"), 500);

  IndexOptions options;
  options.source_folder = (dir.Path() / "site").string();
  options.target_folder = "search";
  options.recurse = true;
  options.type_include = std::vector<std::string>{"*.htm"};
  options.type_exclude = std::vector<std::string>{"*.bak"};
  EXPECT_EQ(2000, NewestAcceptedPage(*SiteWalkerFor(options)));

  options.recurse = false;
  EXPECT_EQ(1000, NewestAcceptedPage(*SiteWalkerFor(options)));
  options.source_folder = (dir.Path() / "missing").string();
  EXPECT_EQ(0, NewestAcceptedPage(*SiteWalkerFor(options)));
}

}  // namespace
}  // namespace vossik
