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
    EXPECT_EQ(row.expected, outputFolderFor(row.source, row.target)) << row.source << " + " << row.target;
  }
}

TEST(OutputFolder, TargetWithSlashesIsTheSearchPagesIndexDir) {
  EXPECT_EQ("search", targetWithSlashes("search"));
  EXPECT_EQ("a/b", targetWithSlashes("a\\b"));
  EXPECT_EQ("a/b/c", targetWithSlashes("a\\b/c"));
}

TEST(OutputFolder, NormaliseKeepsDotsInsideNames) {
  EXPECT_EQ("../site", normaliseFolder("../site"));
  EXPECT_EQ("a/..b/c", normaliseFolder("a/..b/c"));
  EXPECT_EQ("../..", normaliseFolder("../.."));
  EXPECT_EQ("b", normaliseFolder("a/../b"));
}

}  // namespace
}  // namespace vossik
