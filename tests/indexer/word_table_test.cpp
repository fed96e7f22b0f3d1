#include "indexer/word_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vossik {
namespace {

std::vector<std::string> Texts(const WordTable& table) {
  std::vector<std::string> out;
  for (const WordEntry& entry : table) out.push_back(entry.text);
  return out;
}

TEST(WordTable, StoresLowerCaseAndFindsIgnoringCase) {
  WordTable table(16);
  table.add("DoG", 7);
  table.add("caf\xC9", 3);  // only A to Z change case

  ASSERT_NE(nullptr, table.find("dOg"));
  EXPECT_EQ("dog", table.find("DOG")->text);
  EXPECT_EQ(7, table.find("dog")->bucket);
  EXPECT_NE(nullptr, table.find("CAF\xC9"));
  EXPECT_EQ(nullptr, table.find("caf\xE9"));
  EXPECT_EQ(nullptr, table.find("do"));
  EXPECT_EQ(nullptr, table.find("dogs"));
  EXPECT_EQ(2u, table.Size());
}

TEST(WordTable, FindReturnsTheNewestOfEqualTexts) {
  WordTable table(4);
  table.add("word", 1);
  table.add("WORD", 2);
  EXPECT_EQ(2, table.find("Word")->bucket);
}

// The words of one index table share (hash + 1) mod 256; they must still be
// found, and their order kept, however many the table holds.
TEST(WordTable, GrowsKeepingOrderAndLookups) {
  WordTable table(2);
  std::vector<std::string> added;
  for (int i = 0; added.size() < 3000; ++i) {
    std::string word = "w" + std::to_string(i);
    if ((WordTable::HashOf(word) + 1) % 256 != 42) continue;
    table.add(word, 42).pages.push_back(i);
    added.push_back(word);
  }
  EXPECT_EQ(added, Texts(table));
  for (const std::string& word : added) {
    const WordEntry* entry = table.find(word);
    ASSERT_NE(nullptr, entry) << word;
    EXPECT_EQ(word, entry->text);
  }
  EXPECT_EQ(nullptr, table.find("w-none"));
}

TEST(WordTable, ClearEmptiesAndTheTableIsReusable) {
  WordTable table(1024);
  table.add("alpha", 1).pages = {1, 2};
  table.add("beta", 2);
  table.clear();

  EXPECT_EQ(0u, table.Size());
  EXPECT_EQ(table.begin(), table.end());
  EXPECT_EQ(nullptr, table.find("alpha"));

  WordEntry& reused = table.add("Gamma", 5);
  EXPECT_EQ("gamma", reused.text);
  EXPECT_TRUE(reused.pages.empty());
  EXPECT_EQ(std::vector<std::string>{"gamma"}, Texts(table));
  EXPECT_EQ(nullptr, table.find("alpha"));
  EXPECT_NE(nullptr, table.find("gamma"));
}

}  // namespace
}  // namespace vossik
