#include "indexer/output_folder.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

TEST(OutputFolder, JoinsTargetToSourceAndResolvesWholeSegments) {
  struct Row {
    const char* source;
    const char* target;
    const char* expected;
  };
  const Row rows[] = {
      {"/srv/site", "search", "/srv/site/search"},
      {"/srv/site", "a\\b", "/srv/site/a/b"},
      {"site/./s/..", "t", "site/t"},
      {"/srv/site", "../site/search", "/srv/site/search"},
      {"..", "site/search", "../site/search"},
      {"v1.", "x/t", "v1./x/t"},
      {"/srv/site", "./search/.", "/srv/site/search"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, OutputFolderFor(row.source, row.target))
        << row.source << " + " << row.target;
  }
}

TEST(OutputFolder, TargetWithSlashesIsTheSearchPagesIndexDir) {
  EXPECT_EQ("search", TargetWithSlashes("search"));
  EXPECT_EQ("a/b", TargetWithSlashes("a\\b"));
  EXPECT_EQ("a/b/c", TargetWithSlashes("a\\b/c"));
}

TEST(OutputFolder, NormaliseKeepsDotsInsideNames) {
  EXPECT_EQ("../site", NormaliseFolder("../site"));
  EXPECT_EQ("a/..b/c", NormaliseFolder("a/..b/c"));
  EXPECT_EQ("../..", NormaliseFolder("../.."));
  EXPECT_EQ("b", NormaliseFolder("a/../b"));
}

}  // namespace
}  // namespace vossik
