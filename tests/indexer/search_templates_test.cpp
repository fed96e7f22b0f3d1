#include "indexer/search_templates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

class SearchTemplatesTest : public ::testing::Test {
 protected:
  fs::path Templates() const { return dir_.Path() / "templates"; }
  std::string Out() const { return (dir_.Path() / "out").string(); }

  // Instantiates `text` as a template and returns the output file's bytes.
  std::string Render(std::string_view text, const TemplateValues& given,
                     const std::string& offline_path = {}) {
    dir_.Write("templates/t.js", text);
    fs::create_directories(Out());
    EXPECT_TRUE(instantiateTemplate(Templates(), "t.js", Out(), given, {}, offline_path));
    return ReadFile(Out() + "/t.js");
  }

  TempDir dir_;
  const TemplateValues values_{"a\\b", "\"s\"", "\"the\""};
};

TEST_F(SearchTemplatesTest, ReplacesEveryPlaceholderAtEveryOccurrence) {
  const struct {
    std::string_view text;
    std::string_view expected;
  } rows[] = {
      {"no placeholders here $ $$\r\n\x01\xFF", "no placeholders here $ $$\r\n\x01\xFF"},
      {"$indexhashmod$ and $indexhashmod$", "256 and 256"},
      {"$indexdir$|$indexjoinfunction$|$indexfileprefix$|$indexstems$|$indexstoplist$",
       "a/b|fnIJ|vkindex|\"s\"|\"the\""},
      {"$indexhashcode$|$indexhashoverflow$|$indexhashmod$|$indexofflineprefix$|$indexpath$",
       "131|1024*1024|256|../|./"},
      {"$INDEXHASHMOD$ $indexhashmod", "$INDEXHASHMOD$ $indexhashmod"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.expected, Render(row.text, values_)) << row.text;
}

TEST_F(SearchTemplatesTest, ValuesAreReplacedAgainOnlyByLaterPlaceholders) {
  const TemplateValues nested{"$indexstems$", "$indexhashcode$", "$indexdir$"};
  EXPECT_EQ("131 131 $indexdir$", Render("$indexdir$ $indexstems$ $indexstoplist$", nested));
}

TEST_F(SearchTemplatesTest, OfflinePathIsAScriptStringWithATrailingSlash) {
  EXPECT_EQ("var p=\"/srv/site/search/\";",
            Render("var p=\"$indexpath$\";", values_, "/srv/site/search"));
  EXPECT_EQ("var p=\"C:\\\\site \\\"x\\\"/\";",
            Render("var p=\"$indexpath$\";", values_, "C:\\site \"x\""));
}

TEST_F(SearchTemplatesTest, WritesUnderTheOutputName) {
  dir_.Write("templates/vkexample.html", "<p>$indexpath$</p>");
  fs::create_directories(Out());
  ASSERT_TRUE(instantiateTemplate(Templates(), "vkexample.html", Out(), values_,
                                  "offlineexample.html", "/srv/x"));
  EXPECT_EQ("<p>/srv/x/</p>", ReadFile(Out() + "/offlineexample.html"));
  EXPECT_FALSE(fs::exists(Out() + "/vkexample.html"));
}

TEST_F(SearchTemplatesTest, GivesNoOutputForMissingOrEmptyTemplatesOrFolder) {
  dir_.Write("templates/empty.js", "");
  dir_.Write("templates/t.js", "x");
  fs::create_directories(Out());
  EXPECT_FALSE(instantiateTemplate(Templates(), "missing.js", Out(), values_));
  EXPECT_FALSE(instantiateTemplate(Templates(), "empty.js", Out(), values_));
  EXPECT_TRUE(fs::is_empty(Out()));

  const std::string missing = Out() + "/not/there";
  EXPECT_FALSE(instantiateTemplate(Templates(), "t.js", missing, values_));
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(SearchTemplatesTest, BulletCopyCreatesTheFolderAndReplacesAReadOnlyCopy) {
  dir_.Write("templates/bullet.gif", "GIF89a new");
  const std::string folder = Out() + "/deep/er";
  ASSERT_TRUE(copyBulletImage(Templates(), folder));
  EXPECT_EQ("GIF89a new", ReadFile(folder + "/bullet.gif"));

  dir_.Write("out/deep/er/bullet.gif", "old");
  fs::permissions(folder + "/bullet.gif", fs::perms::owner_read);
  ASSERT_TRUE(copyBulletImage(Templates(), folder));
  EXPECT_EQ("GIF89a new", ReadFile(folder + "/bullet.gif"));
}

TEST_F(SearchTemplatesTest, BulletFolderIsCreatedEvenWithoutTheImage) {
  EXPECT_FALSE(copyBulletImage(Templates(), Out()));
  EXPECT_TRUE(fs::is_directory(Out()));
}

}  // namespace
}  // namespace vossik
