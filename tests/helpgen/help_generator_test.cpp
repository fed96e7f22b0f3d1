#include "helpgen/help_generator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "helpgen/help_folder.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

const fs::path kData = fs::path(VOSSIK_TEST_DATA_DIR) / "helpgen";
const fs::path kAssets = fs::path(VOSSIK_SOURCE_DIR) / "data" / "help";
constexpr std::time_t kBuildTime = 1795217400;  // Fri, 20 Nov 2026 23:30 GMT

// The local files a page links to: HREF targets and contents "Local"
// values, without anchors; web addresses are left out.
std::vector<std::string> LinkedFiles(const std::string& text) {
  std::vector<std::string> files;
  for (std::string_view marker : {"HREF=\"", "value=\""}) {
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
      const std::size_t start = at + marker.size();
      std::string target = text.substr(start, text.find('"', start) - start);
      target = target.substr(0, target.find('#'));
      if (target.find(':') == std::string::npos &&
          (target.ends_with(".html") || target.ends_with(".htm"))) {
        files.push_back(target);
      }
    }
  }
  return files;
}

// `text` from the first `open` to the first `close` after it, both included.
std::string Between(const std::string& text, std::string_view open, std::string_view close) {
  const std::size_t start = text.find(open);
  const std::size_t end = text.find(close, start);
  if (start == std::string::npos || end == std::string::npos) return {};
  return text.substr(start, end + close.size() - start);
}

// The fixture descriptor, and a temporary working folder to generate in.
class HelpGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, descriptor_.Parse(ReadFile(kData / "descriptor.xml")));
    dir_.ChangeInto();
  }

  int Generate(bool project_run, int documentation_flag, std::string* error = nullptr,
               const fs::path& assets = kAssets) {
    ProductIdentity identity;
    identity.maker = "Orrindale";
    identity.maker_web_address = "https://www.orrindale.example";
    identity.product_name = "Vossik";
    identity.documentation_flag = documentation_flag;
    HelpGenerator generator(descriptor_.Root(), identity, assets, kBuildTime);
    return generator.Generate(project_run, "vossik", error);
  }

  bool Exists(const fs::path& file) const { return fs::exists(dir_.Path() / "hlp" / file); }

  XmlDocument descriptor_;
  TempDir dir_;
};

TEST_F(HelpGeneratorTest, AdministrationHelpProjectMatchesTheGoldenFiles) {
  fs::copy_file(kData / "product.piml", dir_.Path() / "product.piml");
  ASSERT_EQ(0, Generate(true, 1));
  // VOSSIK_UPDATE_GOLDEN=1 rewrites the golden files from this run.
  const bool update = std::getenv("VOSSIK_UPDATE_GOLDEN") != nullptr;
  for (const char* file :
       {"default.htm", "Table of Contents.hhc", "Index.hhk", "vossik.hhp", "config-Index.html",
        "config-Network.html", "admin-General.html", "admin-General-main.html",
        "admin-General-servers.html", "admin-index.html"}) {
    const fs::path golden = kData / "golden" / (std::string(file) + ".ref");
    const std::string written = ReadFile(dir_.Path() / "hlp" / file);
    if (update) {
      fs::create_directories(golden.parent_path());
      std::ofstream(golden, std::ios::binary) << written;
    }
    EXPECT_EQ(ReadFile(golden), written) << file;
  }
}

TEST_F(HelpGeneratorTest, PlainRunWritesGuideAndReferenceButNoProjectFiles) {
  ASSERT_EQ(0, Generate(false, 0));
  for (const char* file : {"admin-index.html", "admin-Setup-site.html", "admin-General-main.html",
                           "config-index.html", "config-Index.html", "config-Network.html"}) {
    EXPECT_TRUE(Exists(file)) << file;
  }
  for (const char* file : {"vossik.hhp", "Table of Contents.hhc", "Index.hhk", "default.htm"}) {
    EXPECT_FALSE(Exists(file)) << file;
  }
  for (std::string_view asset : kHelpAssets) {
    EXPECT_EQ(ReadFile(kAssets / asset), ReadFile(dir_.Path() / "hlp" / asset)) << asset;
  }
}

TEST_F(HelpGeneratorTest, EveryLinkOfTheHelpLeadsToAFile) {
  for (int documentation_flag : {0, 1}) {
    fs::remove_all(dir_.Path() / "hlp");
    ASSERT_EQ(0, Generate(true, documentation_flag));
    // The user guide has no configuration reference to link to.
    EXPECT_EQ(documentation_flag == 1, Exists("config-index.html"));
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_.Path() / "hlp")) {
      for (const std::string& file : LinkedFiles(ReadFile(entry.path()))) {
        EXPECT_TRUE(Exists(file)) << entry.path().filename() << " links to " << file;
      }
    }
  }
}

// A wizard after the sheets is reached again by the search for sheets; its
// pages are still listed once.
TEST_F(HelpGeneratorTest, WizardAfterTheSheetsIsDocumentedOnce) {
  ASSERT_EQ(0, descriptor_.Parse(R"(<vossik>
    <sheet name="Settings"><page name="Main" uid="main"/></sheet>
    <wizard uid="setup"><sheet name="Setup"><page name="Start" uid="start"/></sheet></wizard>
  </vossik>)"));
  ASSERT_EQ(0, Generate(true, 1));
  EXPECT_EQ(
      "<UL><LI><A HREF=\"admin-Setup.html\">Setup Pages</A>"
      "<LI><A HREF=\"admin-Settings.html\">Settings Pages</A></UL>",
      Between(ReadFile(dir_.Path() / "hlp" / "admin-index.html"), "<UL>", "</UL>"));
  const std::string contents = ReadFile(dir_.Path() / "hlp" / "Table of Contents.hhc");
  EXPECT_EQ(contents.find("admin-Setup.html"), contents.rfind("admin-Setup.html"));
}

TEST_F(HelpGeneratorTest, FolderThatCannotBeMadeIsReported) {
  std::ofstream(dir_.Path() / "hlp") << "a file in the way";
  std::string error;
  EXPECT_EQ(-3, Generate(false, 0, &error));
  EXPECT_NE(std::string::npos, error.find("Cannot create the help folder hlp")) << error;
}

TEST_F(HelpGeneratorTest, FileThatCannotBeWrittenIsReportedAndTheRestWritten) {
  fs::create_directories(dir_.Path() / "hlp" / "config-index.html");
  std::string error;
  EXPECT_EQ(-3, Generate(false, 0, &error));
  EXPECT_NE(std::string::npos, error.find("Cannot write hlp/config-index.html")) << error;
  EXPECT_EQ(std::string::npos, error.find('\n')) << error;
  EXPECT_TRUE(Exists("config-Index.html"));
}

TEST_F(HelpGeneratorTest, MissingAssetsAreReported) {
  std::string error;
  EXPECT_EQ(-3, Generate(false, 0, &error, dir_.Path() / "no-assets"));
  EXPECT_NE(std::string::npos, error.find("no-assets/style.css")) << error;
  EXPECT_TRUE(Exists("admin-index.html"));
}

TEST(HelpGenerator, WithoutDescriptorWritesNothing) {
  TempDir dir;
  dir.ChangeInto();
  HelpGenerator generator(nullptr, VossikIdentity(), kAssets, kBuildTime);
  std::string error;
  EXPECT_EQ(0, generator.Generate(true, "vossik", &error));
  EXPECT_FALSE(fs::exists(dir.Path() / "hlp"));
}

}  // namespace
}  // namespace vossik
