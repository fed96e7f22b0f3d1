#include "indexer/word_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vossik {
namespace {

using Words = std::vector<std::pair<std::string, int>>;  // text, bucket

Words Collect(std::string_view text, const WordRules& rules = {}) {
  WordTable page(1024);
  collectWords(text, rules, page);
  Words out;
  for (const WordEntry& entry : page) out.emplace_back(entry.text, entry.bucket);
  return out;
}

TEST(BucketOf, RepeatsTheBrowsersHash) {
  const struct {
    std::string_view word;
    int bucket;
  } rows[] = {
      {"", 1},
      {"a", 98},
      {"A", 98},
      {"th", 197},
      {"the", 178},
      {"dog", 185},
      {"abcdefghijklmnopqrstuvwxyzabcdef", 217},  // overflows 1024*1024 many times
  };
  for (const auto& row : rows) EXPECT_EQ(row.bucket, bucketOf(row.word)) << row.word;
}

TEST(IsSeparator, HoldsExactlyThe36Bytes) {
  const std::string_view separators(".?!\"'`\xA3\x80$;:,(){}[]<>\xAC%^*+=@~#/|\\ \r\n\t");
  int count = 0;
  for (int b = 0; b < 256; ++b) {
    const bool expected = separators.find(static_cast<char>(b)) != std::string_view::npos;
    EXPECT_EQ(expected, IsSeparator(static_cast<unsigned char>(b))) << b;
    count += IsSeparator(static_cast<unsigned char>(b)) ? 1 : 0;
  }
  EXPECT_EQ(36, count);
}

TEST(NormaliseToken, AppliesTheRulesInOrder) {
  WordTable stop(4);
  stop.add("the", 0);
  stop.add("cafz", 0);
  const WordRules plain;
  const WordRules no_mixed{.include_mixed_numbers = false};
  const WordRules longer{.min_word_length = 4};
  const WordRules stopping{.stop_words = &stop};
  const std::string forty = "abcdefghijklmnopqrstuvwxyzabcdefghijklmn";
  const struct {
    std::string token;
    const WordRules* rules;
    bool kept;
    std::string word;
  } rows[] = {
      {"running", &plain, true, "runn"},
      {"agreement", &plain, true, "agree"},  // "ment" before "e"
      {"flying", &plain, true, "fl"},        // "ying" before "ing" and "y"
      {"ties", &plain, true, "t"},           // "ies" before "es" and "s"
      {"boxes", &plain, true, "box"},
      {"happy", &plain, true, "happ"},
      {"RUNNING", &plain, true, "RUNNING"},  // suffixes match in exact case
      {"x-ray_s", &plain, true, "xray"},     // stem first, then "-" and "_" go
      {"--", &plain, true, ""},
      {"ed", &plain, true, ""},
      {"es", &plain, true, ""},
      {"ly", &plain, true, ""},
      {"ing", &plain, true, ""},
      {"caf\xE9", &plain, true, "cafZ"},  // 233 mod 26 = 25
      {forty, &plain, true, forty.substr(0, 32)},
      {std::string(32, 'k') + "\xE9" + "s", &plain, true, std::string(32, 'k')},
      {"a", &plain, false, ""},
      {"abc", &longer, false, ""},
      {"2003", &plain, false, ""},
      {"mp3", &plain, true, "mp3"},
      {"mp3", &no_mixed, false, ""},
      {"7\xE9", &no_mixed, false, ""},  // the high byte became a letter
      {"The", &stopping, false, ""},
      {"caf\xE9", &stopping, false, ""},  // compared after the high byte maps
      {"then", &stopping, true, "then"},
  };
  for (const auto& row : rows) {
    std::string word = "untouched";
    EXPECT_EQ(row.kept, NormaliseToken(row.token, *row.rules, &word)) << row.token;
    EXPECT_EQ(row.kept ? row.word : "untouched", word) << row.token;
  }
}

TEST(CollectWords, KeepsEachNormalisedWordOncePerPage) {
  EXPECT_EQ((Words{{"th", 197}, {"runn", 220}, {"dog", 185}, {"and", 24}, {"mp3", 89}}),
            Collect("the running dogs, 2003 and mp3"));
  EXPECT_EQ((Words{{"th", 197}, {"runn", 220}, {"dog", 185}, {"and", 24}}),
            Collect("the running dogs, 2003 and mp3", {.include_mixed_numbers = false}));
  EXPECT_EQ((Words{{"", 1}}), Collect("-- ed es ly ing"));
  EXPECT_EQ((Words{{"cafz", 7}}), Collect("caf\xE9 CAFZ"));
  // The length is checked before stemming: "the" passes 3, then loses its "e".
  EXPECT_EQ((Words{{"dog", 185}, {"th", 197}}),
            Collect("\t..dog's\xA3the\x80\r\n", {.min_word_length = 3}));
  EXPECT_EQ(Words{}, Collect(" ,.;\t"));
}

TEST(MergePage, BuildsAscendingPageListsInFirstMetOrder) {
  std::vector<WordTable> index(kBucketCount, WordTable(256));
  WordTable page(1024);
  const std::pair<int32_t, std::string_view> pages[] = {
      {3, "dog"}, {5, "the dog and the dog"}, {7, "dog"}};
  for (const auto& [number, text] : pages) {
    collectWords(text, {}, page);
    mergePage(page, number, index);
    EXPECT_EQ(0u, page.Size());
  }

  const WordEntry* dog = index[185].find("dog");
  ASSERT_NE(nullptr, dog);
  EXPECT_EQ((std::vector<int32_t>{3, 5, 7}), dog->pages);
  ASSERT_NE(nullptr, index[24].find("and"));
  EXPECT_EQ(std::vector<int32_t>{5}, index[24].find("and")->pages);
  std::size_t words = 0;
  for (const WordTable& table : index) words += table.Size();
  EXPECT_EQ(3u, words);  // dog, th, and
}

TEST(BuildStopList, KeepsEachWordOnceLowerCased) {
  const StopList list = buildStopList("a, the,and");
  ASSERT_NE(nullptr, list.words);
  EXPECT_EQ(3u, list.words->Size());
  for (std::string_view word : {"a", "the", "and", "THE"}) {
    EXPECT_NE(nullptr, list.words->find(word));
  }
  EXPECT_EQ("\"a\",\"the\",\"and\"", list.text);

  const StopList repeated = buildStopList("The\r\nthe\tTHE,x\"y\\");
  ASSERT_NE(nullptr, repeated.words);
  EXPECT_EQ(2u, repeated.words->Size());
  EXPECT_EQ("\"the\",\"x\\\"y\\\\\"", repeated.text);
}

TEST(BuildStopList, NamesNoWordForEmptyOrSeparatorOnlySettings) {
  for (std::string_view setting : {"", " , \r\n\t,"}) {
    const StopList list = buildStopList(setting);
    EXPECT_EQ(nullptr, list.words) << setting;
    EXPECT_EQ("", list.text) << setting;
  }
}

TEST(BuildStems, ListsTheSuffixesInTheOrderTried) {
  EXPECT_EQ("\"ying\",\"ment\",\"ing\",\"ies\",\"ed\",\"es\",\"ly\",\"s\",\"y\",\"e\"",
            buildStems());
}

}  // namespace
}  // namespace vossik
