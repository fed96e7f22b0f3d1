#include "indexer/index_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>

#include "base/result_codes.h"
#include "indexer/word_rules.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Collects the posted reports; `onReport` runs on the worker thread.
class RecordingObserver : public ProgressObserver {
 public:
  void PostProgress(int percent, std::unique_ptr<std::string> status) override {
    std::string text = status ? *status : std::string();
    {
      std::lock_guard<std::mutex> guard(mutex);
      reports.emplace_back(percent, text);
    }
    if (on_report) on_report(percent, text);
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> guard(mutex);
    return reports.size();
  }
  std::mutex mutex;
  std::vector<std::pair<int, std::string>> reports;
  std::function<void(int, const std::string&)> on_report;
};

// A small site with the awkward cases: quotes and backslashes in titles and
// names, NOINDEX, an unclosed script, &nbsp;, UTF-8, an empty page, a file
// without a dot, robots.txt, and a vkindex folder.
class IndexBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.ChangeInto();
    std::filesystem::create_directory("logs");
    ASSERT_TRUE(descriptor_.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
    dir_.Write("site/about.html",
               "<html><head><title>About \"Us\" \\ Team</title></head><body>"
               "<p>We&nbsp;build <b>trails</b> daily.</p>"
               "<!--VK_NOINDEX-->hidden words<!--/VK_NOINDEX--></body></html>");
    dir_.Write("site/docs/guide.html",
               "<title>Guide</title><script>var secret=1;</script>"
               "Caf\xC3\xA9 maps and trail guides<script>unclosed words");
    dir_.Write("site/docs/empty.html", "");
    dir_.Write("site/private/secret.html", "<title>Secret</title>classified");
    dir_.Write("site/robots.txt", "User-agent: *\nDisallow: /private");
    dir_.Write("site/README", "readme words");
    dir_.Write("site/vkindex/old.html", "<title>Old</title>stale");
    dir_.Write("site/q\"uote.html", "plain text page");
    dir_.Write("site/style.css", "body { color: red }");
    dir_.Write("templates/vkfunctions.js", "dir=$indexdir$;mod=$indexhashmod$;path=$indexpath$");
    dir_.Write("templates/vkexample.html", "<p>$indexpath$</p>");
    dir_.Write("templates/bullet.gif", "GIF89a");
    site_ = (dir_.Path() / "site").string();
  }

  void Configure(IndexBuilder& builder, const std::string& extra = "") {
    settings_.Clear();
    ASSERT_EQ(kResultOk, settings_.Parse("[Default]\nLogLevel=Full\n\n[Index]\nDirSrc=" + site_ +
                                         "\nDirDest=search\nSiteMap=links.html\n" + extra));
    std::string description;
    ASSERT_TRUE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description));
  }

  // Runs a whole build without pauses and returns its last report.
  std::string Build(RecordingObserver& observer, const std::string& extra = "") {
    TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "templates");
    IndexBuilder& builder = *task;
    Configure(builder, extra);
    builder.SetObserver(&observer);
    builder.start(0, 0);
    builder.WaitUntilFinished();
    return observer.reports.empty() ? "" : observer.reports.back().second;
  }

  std::string Output(const std::string& name) const { return ReadFile(site_ + "/search/" + name); }

  TempDir dir_;
  ConfigDescriptor descriptor_;
  SettingsStore settings_;
  std::string site_;
};

TEST_F(IndexBuilderTest, DescribesTheBuildAndDerivesItsFolders) {
  IndexBuilder builder(0, "templates");
  ASSERT_EQ(kResultOk, settings_.Parse("[Index]\nDirSrc=/srv/site\nDirDest=a\\b\nCheckRecurse=1\n"
                                       "MatchExclude=*/drafts/*\n"));
  std::string description;
  ASSERT_TRUE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description));
  EXPECT_EQ("/srv/site/a/b", builder.OutputFolder());
  EXPECT_EQ("/srv/site/a/b/sitemap.js", builder.PageListFile());
  EXPECT_EQ("a/b", builder.TargetFolder());
  EXPECT_EQ(
      "Indexing files from:\r\n/srv/site\r\n\t(and all "
      "subdirectories)\r\nto:\r\n/srv/site/a/b\r\n\r\n"
      "\t- only files matching the types *.htm*\r\n"
      "\t- not indexing files matching the types *.bak*,*.tmp*\r\n"
      "\t- not indexing files matching */drafts/*\r\n",
      description);
}

TEST_F(IndexBuilderTest, MissingFoldersFailConfiguration) {
  for (const char* text : {"[Index]\nDirSrc=/srv/site\n", "[Index]\nDirDest=search\n"}) {
    IndexBuilder builder(0);
    settings_.Clear();
    ASSERT_EQ(kResultOk, settings_.Parse(text));
    std::string description;
    EXPECT_FALSE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description))
        << text;
  }
}

TEST_F(IndexBuilderTest, BuildsTheFixtureSiteToTheByte) {
  RecordingObserver observer;
  EXPECT_EQ("Complete (4 files indexed)", Build(observer));

  EXPECT_EQ(
      "g_asPages=["
      "\"About \\\"Us\\\" \\\\ Team\",\"about.html\",\"We build trails daily....\","
      "\"Guide\",\"docs/guide.html\",\"Caf\xC3\xA9 maps and trail guides unclosed words...\","
      "\" q\\\"uote\",\"q\\\"uote.html\",\"plain text page...\"];\r\n",
      Output("sitemap.js"));

  // "trail" comes from "trails" (page 1) and "trail" (page 2); "hidden" was
  // inside NOINDEX, "var" inside a script, "and" is a stop word.
  const std::string trail_bucket = Output("vkindex" + [] {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", bucketOf("trail"));
    return std::string(hex);
  }() + ".js");
  EXPECT_NE(std::string::npos, trail_bucket.find("\"trail\",1,2")) << trail_bucket;
  std::string all;
  for (int k = 0; k < 256; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "vkindex%x.js", k);
    const std::string file = Output(name);
    ASSERT_EQ(0u, file.find("fnIJ(g_asIndex,[")) << name;
    all += file;
  }
  for (const char* word : {"\"build\"", "\"unclos\"", "\"cafnn\"", "\"map\"", "\"guid\""}) {
    EXPECT_NE(std::string::npos, all.find(word)) << word;
  }
  for (const char* word : {"\"hidden\"", "\"var\"", "\"classified\"", "\"readme\"", "\"stale\"",
                           "\"and\"", "\"red\""}) {
    EXPECT_EQ(std::string::npos, all.find(word)) << word;
  }

  EXPECT_EQ("dir=search;mod=256;path=./", Output("vkfunctions.js"));
  EXPECT_EQ("<p>./</p>", Output("vkexample.html"));
  EXPECT_EQ("<p>" + site_ + "/search/</p>", Output("offlineexample.html"));
  EXPECT_EQ("GIF89a", Output("bullet.gif"));
  EXPECT_EQ(
      "<A HREF=\"about.html\"><FONT class=hidden>About \"Us\" \\ Team</FONT></A>\r\n"
      "<A HREF=\"docs/guide.html\"><FONT class=hidden>Guide</FONT></A>\r\n"
      "<A HREF=\"q%22uote.html\"><FONT class=hidden></FONT></A>\r\n",
      ReadFile("links.html"));
}

TEST_F(IndexBuilderTest, WritesTheBuildLog) {
  RecordingObserver observer;
  Build(observer);
  const std::string log = ReadFile("logs/Indexing.log");
  for (const std::string& line : std::vector<std::string>{
           "Message: Configuring indexer\r\n",
           "Message: Configured to index files from " + site_ + "\r\n",
           "Message: Storing index in search\r\n",
           "Message: Checking for robots.txt file \r\n",
           "Message: Found robots.txt file \r\n",
           "Message: Analyzing " + site_ + "/about.html\r\n",
           "Message: Skipping " + site_ + "/private/secret.html\r\n",
           "Message: Generating Index...\r\n",
           "Message: Complete (4 files indexed)\r\n",
       }) {
    EXPECT_NE(std::string::npos, log.find(line)) << line;
  }
}

TEST_F(IndexBuilderTest, WritesThePagesReportBesideItsLog) {
  RecordingObserver observer;
  Build(observer);
  const std::string report = ReadFile("logs/Indexing.pages.xml");
  // One page per page-list entry, in its order; the largest page's share
  // is 100, the others' against it.
  const std::string about = ReadFile(site_ + "/about.html");
  const std::string guide = ReadFile(site_ + "/docs/guide.html");
  const std::size_t largest = std::max(about.size(), guide.size());
  const std::string start =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"3\" start=\"0\">\n"
      "<page><url>about.html</url><title>About &quot;Us&quot; \\ Team</title><size>" +
      std::to_string(about.size()) + "</size><modified>";
  EXPECT_EQ(start, report.substr(0, start.size()));
  EXPECT_NE(std::string::npos,
            report.find("<share>" + std::to_string(about.size() * 100 / largest) +
                        "</share></page>\n<page><url>docs/guide.html</url>"))
      << report;
  EXPECT_NE(std::string::npos, report.find("<url>q&quot;uote.html</url>")) << report;
  EXPECT_EQ(std::string::npos, report.find("<words>0</words>")) << report;
  EXPECT_EQ(report.size() - 9, report.rfind("</pages>\n"));

  // A cancelled build leaves the report of the index that stands.
  dir_.Write("site/new.html", "<title>New</title>fresh words");
  {
    TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "templates");
    IndexBuilder& builder = *task;
    Configure(builder);
    RecordingObserver stopper;
    stopper.on_report = [&](int, const std::string& text) {
      if (text == "Generating Index...") builder.requestStop();
    };
    builder.SetObserver(&stopper);
    builder.start(0, 0);
    builder.WaitUntilFinished();
  }
  EXPECT_EQ(report, ReadFile("logs/Indexing.pages.xml"));
}

TEST_F(IndexBuilderTest, ReportsTheProgressOfEachPass) {
  RecordingObserver observer;
  Build(observer);
  std::vector<std::string> texts;
  for (const auto& [percent, text] : observer.reports) {
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
    texts.push_back(text);
  }
  const auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has("Scanning [.../about.html]..."));
  EXPECT_TRUE(has("Indexing..."));
  EXPECT_TRUE(has("Analyzing [.../docs/guide.html]..."));
  EXPECT_TRUE(has("Skipping [.../style.css]..."));
  EXPECT_TRUE(has("Generating Index..."));
  EXPECT_EQ(100, observer.reports.back().first);
}

TEST_F(IndexBuilderTest, SecondBuildNeitherIndexesItsOwnOutputsNorRepeatsLinks) {
  RecordingObserver first;
  Build(first);
  const std::string page_list = Output("sitemap.js");
  RecordingObserver second;
  EXPECT_EQ("Complete (4 files indexed)", Build(second));
  EXPECT_EQ(page_list, Output("sitemap.js"));
  const std::string links = ReadFile("links.html");
  EXPECT_EQ(3, std::count(links.begin(), links.end(), '\n'));
}

TEST_F(IndexBuilderTest, CancelDuringGenerationLeavesThePreviousIndexWhole) {
  RecordingObserver first;
  Build(first);
  std::vector<std::string> before;
  for (int k = 0; k < 256; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "vkindex%x.js", k);
    before.push_back(Output(name));
  }
  const std::string page_list = Output("sitemap.js");

  dir_.Write("site/new.html", "<title>New</title>fresh content everywhere");
  {
    TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "templates");
    IndexBuilder& builder = *task;
    Configure(builder);
    RecordingObserver observer;
    int generated = 0;
    observer.on_report = [&](int, const std::string& text) {
      if (text == "Generating Index..." && ++generated == 20) builder.requestStop();
    };
    builder.SetObserver(&observer);
    builder.start(0, 0);
    builder.WaitUntilFinished();
    ASSERT_GE(generated, 20);
  }

  for (int k = 0; k < 256; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "vkindex%x.js", k);
    EXPECT_EQ(before[k], Output(name)) << name;
  }
  EXPECT_EQ(page_list, Output("sitemap.js"));
  for (const auto& entry : std::filesystem::directory_iterator(site_ + "/search")) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.ends_with(".js") || name.ends_with(".html") || name.ends_with(".gif")) << name;
  }
}

TEST_F(IndexBuilderTest, PauseHoldsTheBuildBetweenStepsUntilContinued) {
  TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "templates");
  IndexBuilder& builder = *task;
  Configure(builder);
  RecordingObserver observer;
  std::size_t reports_when_paused = 0;
  observer.on_report = [&](int, const std::string& text) {
    if (text != "Indexing...") return;
    builder.pause(true);
    reports_when_paused = observer.reports.size();
  };
  builder.SetObserver(&observer);
  builder.start(0, 0);
  builder.WaitUntilHeld();
  // Held before the next step: nothing ran after the report that paused it.
  EXPECT_TRUE(builder.IsHeld());
  EXPECT_TRUE(builder.isPaused());
  EXPECT_EQ(reports_when_paused, observer.Count());
  EXPECT_FALSE(builder.Finished());

  observer.on_report = nullptr;
  builder.pause(false);
  builder.WaitUntilFinished();
  EXPECT_EQ("Complete (4 files indexed)", observer.reports.back().second);
}

TEST_F(IndexBuilderTest, EmptySourceFolderHasNothingToDo) {
  std::filesystem::create_directory("bare");
  site_ = (dir_.Path() / "bare").string();
  RecordingObserver observer;
  EXPECT_EQ("Complete (0 files indexed)", Build(observer));
  bool nothing = false;
  for (const auto& report : observer.reports) nothing |= report.second == "Nothing to do";
  EXPECT_TRUE(nothing);
  EXPECT_FALSE(std::filesystem::exists(site_ + "/search/vkindex0.js"));
  EXPECT_FALSE(std::filesystem::exists(site_ + "/search/sitemap.js"));
  EXPECT_TRUE(std::filesystem::exists(site_ + "/search/bullet.gif"));
}

}  // namespace
}  // namespace vossik
