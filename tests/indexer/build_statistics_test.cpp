#include "indexer/build_statistics.h"

#include <gtest/gtest.h>

#include "indexer/index_census.h"

namespace vossik {
namespace {

IndexCensus CensusOf(int pages) {
  IndexCensus census;
  for (int i = 0; i < pages; ++i) {
    census.pages.push_back({.url = i % 2 == 0 ? "a.html" : "b/c.HTM"});
  }
  census.words = 40 * pages;
  census.index_bytes = 1000u * static_cast<unsigned>(pages);
  return census;
}

std::string Value(const std::string& text, const std::string& key) {
  const std::size_t at = text.find("\n" + key + "=");
  if (at == std::string::npos) return "(missing)";
  const std::size_t start = at + key.size() + 2;
  return text.substr(start, text.find('\n', start) - start);
}

TEST(BuildStatistics, RecordsBuildsAndKeepsTheLastThirtyAsSeries) {
  BuildStatistics statistics;
  for (int i = 1; i <= 32; ++i) statistics.RecordBuild(CensusOf(i), 1800000000 + i, i / 4.0);
  statistics.RecordFailure(1800000100, 0.5);
  const std::string text = statistics.Text();
  EXPECT_TRUE(text.starts_with("[Statistics]\n"));
  EXPECT_EQ("32", Value(text, "Pages"));
  EXPECT_EQ("1280", Value(text, "Words"));
  EXPECT_EQ("32000", Value(text, "IndexBytes"));
  EXPECT_EQ("33", Value(text, "Builds"));
  EXPECT_EQ("1", Value(text, "FailedBuilds"));
  EXPECT_EQ("1800000100", Value(text, "LastBuildTime"));
  EXPECT_EQ("0.50", Value(text, "LastBuildSeconds"));
  const std::string pages = Value(text, "BuildPages");
  EXPECT_TRUE(pages.starts_with("3,4,5,")) << pages;
  EXPECT_TRUE(pages.ends_with(",31,32")) << pages;
  EXPECT_TRUE(Value(text, "BuildSeconds").starts_with("0.75,1.00,")) << text;
  EXPECT_EQ("htm,html", Value(text, "FileTypes"));
  EXPECT_EQ("16,16", Value(text, "FileTypePages"));

  // What one run kept, the next takes back.
  BuildStatistics next;
  next.Parse(text);
  EXPECT_EQ(text, next.Text());
  next.RecordBuild(CensusOf(2), 1800000200, 1.0);
  EXPECT_EQ("34", Value(next.Text(), "Builds"));
  EXPECT_TRUE(Value(next.Text(), "BuildPages").starts_with("4,5,")) << next.Text();
}

}  // namespace
}  // namespace vossik
