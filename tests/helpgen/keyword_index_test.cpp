#include "helpgen/keyword_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vossik {
namespace {

std::vector<std::string> Words(const KeywordIndex& index) {
  std::vector<std::string> words;
  for (const KeywordIndex::Keyword& keyword : index.Keywords()) words.push_back(keyword.word);
  return words;
}

std::vector<std::string> WordsOf(std::string_view text) {
  KeywordIndex index;
  index.SetCollecting(true);
  index.Add("Title", "file.html", text);
  return Words(index);
}

TEST(KeywordIndex, SplitsTextIntoKeywords) {
  using W = std::vector<std::string>;
  const struct {
    std::string text;
    W expected;
  } cases[] = {
      {"Server%ldPort", W{"server", "port"}},
      {"Use the log and the Server", W{"log", "server"}},
      {"Entry%d: name=value; (max 10kB)", W{"entry", "name", "value", "max", "kb"}},
      {"e-mail a\tb\r\nc", W{"e-mail", "b", "c"}},
      // The pound and not signs split in their UTF-8 form; other letters
      // that share their second byte (ã is C3 A3) stay whole.
      {"cost\xC2\xA3pound\xC2\xACsign s\xC3\xA3o", W{"cost", "pound", "sign", "s\xC3\xA3o"}},
      {"THE And use USING sets", W{}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, WordsOf(c.text)) << c.text;
}

TEST(KeywordIndex, KeepsFirstAdditionOrderAndEveryMention) {
  KeywordIndex index;
  index.SetCollecting(true);
  index.Add("Log page", "log.html", "Log Server");
  index.Add("Net page", "net.html", "server");
  index.Add("Net page", "net.html", "SERVER");
  EXPECT_EQ((std::vector<std::string>{"log", "server"}), Words(index));
  const std::vector<KeywordIndex::Mention>& mentions = index.Keywords()[1].mentions;
  ASSERT_EQ(3u, mentions.size());
  EXPECT_EQ("log.html", mentions[0].file);
  EXPECT_EQ("Net page", mentions[2].title);
}

TEST(KeywordIndex, CollectsNothingWhenOffOrWithoutPage) {
  KeywordIndex index;
  index.Add("Title", "file.html", "words");  // collection is off by default
  index.SetCollecting(true);
  index.Add("", "file.html", "words");
  index.Add("Title", "", "words");
  EXPECT_TRUE(index.Keywords().empty());
}

}  // namespace
}  // namespace vossik
