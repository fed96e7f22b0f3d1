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
  void PostNotice(std::unique_ptr<std::string> line) override {
    std::lock_guard<std::mutex> guard(mutex);
    notices.push_back(*line);
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> guard(mutex);
    return reports.size();
  }
  std::mutex mutex;
  std::vector<std::pair<int, std::string>> reports;
  std::vector<std::string> notices;
  std::function<void(int, const std::string&)> on_report;
};

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

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
    // `extra` may give its own search folder.
    const std::string target =
        extra.find("DirDest=") == std::string::npos ? "DirDest=search\n" : "";
    ASSERT_EQ(kResultOk, settings_.Parse("[Default]\nLogLevel=Full\n\n[Index]\nDirSrc=" + site_ +
                                         "\n" + target + "SiteMap=links.html\n" + extra));
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
  ASSERT_EQ(kResultOk,
            settings_.Parse("[Index]\nDirSrc=" + site_ +
                            "\nDirDest=a\\b\nCheckRecurse=1\nMatchExclude=*/drafts/*\n"));
  std::string description;
  ASSERT_TRUE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description));
  EXPECT_EQ(site_ + "/a/b", builder.OutputFolder());
  EXPECT_EQ(site_ + "/a/b/sitemap.js", builder.PageListFile());
  EXPECT_EQ("a/b", builder.TargetFolder());
  EXPECT_EQ("Indexing files from:\r\n" + site_ + "\r\n\t(and all subdirectories)\r\nto:\r\n" +
                site_ +
                "/a/b\r\n\r\n"
                "\t- only files matching the types *.htm*\r\n"
                "\t- not indexing files matching the types *.bak*,*.tmp*\r\n"
                "\t- not indexing files matching */drafts/*\r\n",
            description);
}

TEST_F(IndexBuilderTest, FoldersThatCannotBeBuiltFailConfigurationAndCreateNothing) {
  const std::string missing = (dir_.Path() / "nonexistent").string();
  const std::string file = (dir_.Path() / "site" / "about.html").string();
  const struct {
    std::string settings, error;
  } rows[] = {
      {"[Index]\nDirDest=search\n",
       "You must specify some content to index (Source files) and a target folder"},
      {"[Index]\nDirSrc=" + missing + "\n", "Website folder '" + missing + "' does not exist"},
      {"[Index]\nDirSrc=" + missing + "/below\n",
       "Website folder '" + missing + "/below' does not exist"},
      {"[Index]\nDirSrc=" + file + "\n", "Website folder '" + file + "' is not a folder"},
      {"[Index]\nDirSrc=" + site_ + "\nDirDest=/tmp/elsewhere\n",
       "Search folder '/tmp/elsewhere' is outside the website folder '" + site_ +
           "'; give it relative to the website folder (for example search)"},
  };
  for (const auto& row : rows) {
    IndexBuilder builder(0);
    settings_.Clear();
    ASSERT_EQ(kResultOk, settings_.Parse(row.settings));
    std::string description;
    EXPECT_FALSE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description))
        << row.settings;
    EXPECT_EQ(row.error, builder.ConfigureError()) << row.settings;
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(std::filesystem::exists(site_ + "/search"));
}

TEST_F(IndexBuilderTest, AbsoluteSearchFolderInsideTheSiteIsTakenRelativeToIt) {
  IndexBuilder builder(0);
  ASSERT_EQ(kResultOk, settings_.Parse("[Index]\nDirSrc=" + site_ + "\nDirDest=" + site_ +
                                       "/./out/search/\n"));
  std::string description;
  ASSERT_TRUE(builder.configure(ReadIndexOptions(settings_, descriptor_.Root()), &description));
  EXPECT_EQ("out/search", builder.TargetFolder());
  EXPECT_EQ(site_ + "/out/search", builder.OutputFolder());
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
      "<A HREF=\"about.html\"><FONT class=hidden>About &quot;Us&quot; \\ Team</FONT></A>\r\n"
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

// Every output the build cannot write fails it: the last report says which
// file and why, the build log has the error, and the previous index stays.
TEST_F(IndexBuilderTest, WriteFailuresFailTheBuildAndKeepThePreviousIndex) {
  RecordingObserver first;
  ASSERT_EQ("Complete (4 files indexed)", Build(first));
  const std::string page_list = Output("sitemap.js");
  const std::string bucket = Output("vkindex7f.js");
  const std::string links = ReadFile("links.html");
  dir_.Write("site/new.html", "<title>New</title>fresh content everywhere");

  const struct {
    std::string blocked;  // made a folder, so that it cannot be written
    std::string named;    // the file the failure names
  } rows[] = {
      {site_ + "/search/vkindex7f.js.tmp", site_ + "/search/vkindex7f.js"},
      {site_ + "/search/vkexample.html.tmp", site_ + "/search/vkexample.html"},
      {site_ + "/search/sitemap.js.tmp", site_ + "/search/sitemap.js"},
      {(dir_.Path() / "links.html.tmp").string(), "links.html"},
  };
  for (const auto& row : rows) {
    std::filesystem::create_directory(row.blocked);
    TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "templates");
    Configure(*task);
    RecordingObserver observer;
    task->SetObserver(&observer);
    task->start(0, 0);
    task->WaitUntilFinished();
    const std::string last = observer.reports.back().second;
    EXPECT_EQ(100, observer.reports.back().first);
    EXPECT_EQ("Build failed: cannot write '" + row.named +
                  "': Is a directory; the previous index is unchanged",
              last);
    EXPECT_EQ(task->Failure(), last);
    EXPECT_EQ(page_list, Output("sitemap.js"));
    EXPECT_EQ(bucket, Output("vkindex7f.js"));
    EXPECT_EQ(links, ReadFile("links.html"));
    EXPECT_FALSE(std::filesystem::exists(site_ + "/search/vkpublish.journal"));
    std::filesystem::remove(row.blocked);
  }
  EXPECT_NE(
      std::string::npos,
      ReadFile("logs/Indexing.log").find("Error: cannot write '" + site_ + "/search/sitemap.js'"));

  // A search folder below a file cannot be created.
  RecordingObserver below;
  const std::string last = Build(below, "DirDest=about.html/search\n");
  EXPECT_EQ("Build failed: cannot create the folder '" + site_ +
                "/about.html/search': Not a directory; the previous index is unchanged",
            last);
}

TEST_F(IndexBuilderTest, TemplatesComeFromTheFirstFolderHoldingThemOrTheBuildFails) {
  dir_.Write("local/vkfunctions.js", "local $indexhashmod$");
  const std::vector<std::filesystem::path> folders{dir_.Path() / "local",
                                                   dir_.Path() / "templates"};
  {
    TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, folders);
    Configure(*task);
    RecordingObserver observer;
    task->SetObserver(&observer);
    task->start(0, 0);
    task->WaitUntilFinished();
    EXPECT_EQ("Complete (4 files indexed)", observer.reports.back().second);
    EXPECT_EQ("local 256", Output("vkfunctions.js"));
    EXPECT_EQ("<p>./</p>", Output("vkexample.html"));
  }
  const std::string script = Output("vkfunctions.js");
  TaskPtr<IndexBuilder> task = MakeTask<IndexBuilder>(0, dir_.Path() / "local");
  Configure(*task);
  RecordingObserver observer;
  task->SetObserver(&observer);
  task->start(0, 0);
  task->WaitUntilFinished();
  EXPECT_EQ("Build failed: cannot find the template 'vkexample.html' (looked in " +
                (dir_.Path() / "local").string() + "); the previous index is unchanged",
            observer.reports.back().second);
  EXPECT_EQ(script, Output("vkfunctions.js"));
}

// Links that lead back up the tree, a folder that holds an earlier index,
// compressed and binary files, and a file that goes away while the build
// runs: each page is indexed once, nothing else is, and the build says
// what it passed over.
TEST_F(IndexBuilderTest, HostileSiteIsWalkedOnceAndItsNonPagesAreSkipped) {
  std::filesystem::create_directory_symlink("..", site_ + "/docs/up");
  std::filesystem::create_directory_symlink("..", site_ + "/docs/up2");
  std::filesystem::create_directory_symlink(site_ + "/docs", site_ + "/docs-again");
  dir_.Write("site/oldsearch/sitemap.js", "g_asPages=[];");
  dir_.Write("site/oldsearch/vkindex0.js", "fnIJ(g_asIndex,[]);");
  dir_.Write("site/oldsearch/vkexample.html", "<title>Search</title>stalesearchpage");
  dir_.Write("site/changelog.html.gz", std::string("\x1F\x8B\x08\x00 changelog", 14));
  dir_.Write("site/nul.html", std::string("<title>Nul</title>text\0more", 27));
  dir_.Write("site/gone.html", "<title>Gone</title>vanishing");
  RecordingObserver observer;
  observer.on_report = [&](int, const std::string& text) {
    if (text == "Indexing...") std::filesystem::remove(site_ + "/gone.html");
  };
  const std::string last = Build(observer);
  EXPECT_EQ("Complete (4 files indexed, 3 skipped)", last);
  const std::string pages = Output("sitemap.js");
  EXPECT_EQ(1u, CountOf(pages, "\"docs/guide.html\""));
  for (const char* absent : {"oldsearch", "changelog", "nul.html", "gone.html", "up/"}) {
    EXPECT_EQ(std::string::npos, pages.find(absent)) << absent;
  }
  const std::string log = ReadFile("logs/Indexing.log");
  for (const std::string& line : {
           "Skipping " + site_ + "/docs/up: a link to a folder that is walked already",
           "Skipping " + site_ + "/docs-again: a link to a folder that is walked already",
           "Skipping " + site_ + "/oldsearch: it holds a search index",
           "Skipping " + site_ + "/changelog.html.gz: gzip data",
           "Skipping " + site_ + "/nul.html: binary data",
           "Warning: cannot read " + site_ + "/gone.html: No such file or directory",
       }) {
    EXPECT_NE(std::string::npos, log.find(line)) << line;
  }
  EXPECT_EQ(std::vector<std::string>{"Warning: cannot read " + site_ +
                                     "/gone.html: No such file or directory"},
            observer.notices);
}

TEST_F(IndexBuilderTest, InterruptedPublishIsFinishedBeforeTheNextBuild) {
  RecordingObserver first;
  Build(first);
  // As a run killed while renaming leaves it: the journal, one file renamed
  // and one still waiting under its temporary name.
  const std::string folder = site_ + "/search";
  dir_.Write("site/search/vkindex3.js.tmp", "fnIJ(g_asIndex,[\"waiting\",1]);");
  dir_.Write("site/search/vkindex4.js.tmp", "never journalled");
  dir_.Write("site/search/vkpublish.journal",
             "vossik publish 1\n" + folder + "/vkindex3.js.tmp\t" + folder + "/vkindex3.js\nend\n");
  IndexBuilder builder(0, dir_.Path() / "templates");
  Configure(builder);
  EXPECT_EQ("fnIJ(g_asIndex,[\"waiting\",1]);", Output("vkindex3.js"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/vkpublish.journal"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/vkindex4.js.tmp"));  // named in no journal

  IndexBuilder again(0, dir_.Path() / "templates");
  Configure(again);
  EXPECT_FALSE(std::filesystem::exists(folder + "/vkindex4.js.tmp"));
}

}  // namespace
}  // namespace vossik
