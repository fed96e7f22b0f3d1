#include "indexer/search_templates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;

class SearchTemplatesTest : public ::testing::Test {
 protected:
  static std::string Render(std::string_view text, const TemplateValues& given,
                            const std::string& offline_path = {}) {
    return FillTemplate(std::string(text), given, offline_path);
  }

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

TEST_F(SearchTemplatesTest, ValuesCannotLeaveTheScriptStringTheyStandIn) {
  const struct {
    std::string index_dir, offline_path, expected;
  } rows[] = {
      {"x\"+alert(1)+\"", "/s", "DIR=\"x\\\"+alert(1)+\\\"\";P=\"/s/\""},
      {"a\"b", "/s", "DIR=\"a\\\"b\";P=\"/s/\""},
      {"search", "/s/</script><img src=x onerror=alert(1)>",
       "DIR=\"search\";P=\"/s/<\\/script><img src=x onerror=alert(1)>/\""},
      {"<!--x", "/s", "DIR=\"<\\!--x\";P=\"/s/\""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, Render("DIR=\"$indexdir$\";P=\"$indexpath$\"", {row.index_dir, "", ""},
                                   row.offline_path))
        << row.index_dir << " " << row.offline_path;
  }
}

TEST(FindTemplate, TakesEachTemplateFromTheFirstFolderThatHoldsIt) {
  testing::TempDir dir;
  dir.Write("here/vkfunctions.js", "local");
  dir.Write("data/vkfunctions.js", "installed");
  dir.Write("data/vkexample.html", "installed page");
  fs::create_directories(dir.Path() / "here" / "bullet.gif");  // a folder is no template
  const std::vector<fs::path> folders{dir.Path() / "here", dir.Path() / "data"};
  EXPECT_EQ(dir.Path() / "here" / "vkfunctions.js", FindTemplate(folders, "vkfunctions.js"));
  EXPECT_EQ(dir.Path() / "data" / "vkexample.html", FindTemplate(folders, "vkexample.html"));
  EXPECT_EQ(fs::path(), FindTemplate(folders, "bullet.gif"));
}

}  // namespace
}  // namespace vossik
