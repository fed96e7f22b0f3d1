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
  fs::path templates() const { return dir.path() / "templates"; }
  std::string out() const { return (dir.path() / "out").string(); }

  // Instantiates `text` as a template and returns the output file's bytes.
  std::string render(std::string_view text, const TemplateValues& given,
                     const std::string& offlinePath = {}) {
    dir.Write("templates/t.js", text);
    fs::create_directories(out());
    EXPECT_TRUE(instantiateTemplate(templates(), "t.js", out(), given, {}, offlinePath));
    return ReadFile(out() + "/t.js");
  }

  TempDir dir;
  const TemplateValues values{"a\\b", "\"s\"", "\"the\""};
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
  for (const auto& row : rows) EXPECT_EQ(row.expected, render(row.text, values)) << row.text;
}

TEST_F(SearchTemplatesTest, ValuesAreReplacedAgainOnlyByLaterPlaceholders) {
  const TemplateValues nested{"$indexstems$", "$indexhashcode$", "$indexdir$"};
  EXPECT_EQ("131 131 $indexdir$", render("$indexdir$ $indexstems$ $indexstoplist$", nested));
}

TEST_F(SearchTemplatesTest, OfflinePathIsAScriptStringWithATrailingSlash) {
  EXPECT_EQ("var p=\"/srv/site/search/\";",
            render("var p=\"$indexpath$\";", values, "/srv/site/search"));
  EXPECT_EQ("var p=\"C:\\\\site \\\"x\\\"/\";",
            render("var p=\"$indexpath$\";", values, "C:\\site \"x\""));
}

TEST_F(SearchTemplatesTest, WritesUnderTheOutputName) {
  dir.Write("templates/vkexample.html", "<p>$indexpath$</p>");
  fs::create_directories(out());
  ASSERT_TRUE(instantiateTemplate(templates(), "vkexample.html", out(), values,
                                  "offlineexample.html", "/srv/x"));
  EXPECT_EQ("<p>/srv/x/</p>", ReadFile(out() + "/offlineexample.html"));
  EXPECT_FALSE(fs::exists(out() + "/vkexample.html"));
}

TEST_F(SearchTemplatesTest, GivesNoOutputForMissingOrEmptyTemplatesOrFolder) {
  dir.Write("templates/empty.js", "");
  dir.Write("templates/t.js", "x");
  fs::create_directories(out());
  EXPECT_FALSE(instantiateTemplate(templates(), "missing.js", out(), values));
  EXPECT_FALSE(instantiateTemplate(templates(), "empty.js", out(), values));
  EXPECT_TRUE(fs::is_empty(out()));

  const std::string missing = out() + "/not/there";
  EXPECT_FALSE(instantiateTemplate(templates(), "t.js", missing, values));
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(SearchTemplatesTest, BulletCopyCreatesTheFolderAndReplacesAReadOnlyCopy) {
  dir.Write("templates/bullet.gif", "GIF89a new");
  const std::string folder = out() + "/deep/er";
  ASSERT_TRUE(copyBulletImage(templates(), folder));
  EXPECT_EQ("GIF89a new", ReadFile(folder + "/bullet.gif"));

  dir.Write("out/deep/er/bullet.gif", "old");
  fs::permissions(folder + "/bullet.gif", fs::perms::owner_read);
  ASSERT_TRUE(copyBulletImage(templates(), folder));
  EXPECT_EQ("GIF89a new", ReadFile(folder + "/bullet.gif"));
}

TEST_F(SearchTemplatesTest, BulletFolderIsCreatedEvenWithoutTheImage) {
  EXPECT_FALSE(copyBulletImage(templates(), out()));
  EXPECT_TRUE(fs::is_directory(out()));
}

}  // namespace
}  // namespace vossik
