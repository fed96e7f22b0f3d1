#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "base/result_codes.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

// The value that GetValue yields, or "<result>" when it falls back or fails.
std::string Value(const SettingsStore& store, std::string_view section, std::string_view key) {
  std::string out = "untouched";
  const int result = store.GetValue(section, key, "", &out);
  return result == kResultOk ? out : "<" + std::to_string(result) + ">";
}

std::vector<std::string> FilesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(NameIndex, HashesLowerCasedBytes) {
  EXPECT_EQ(1u, NameIndex::BucketOf(""));
  EXPECT_EQ(34u, NameIndex::BucketOf("a"));  // 97 + 1
  EXPECT_EQ(6u, NameIndex::BucketOf("AB"));  // 97 * 131 + 98 + 1 = 12806
  EXPECT_EQ(NameIndex::BucketOf("a rather long section name"),
            NameIndex::BucketOf("A RATHER LONG SECTION NAME"));
}

TEST(NameIndex, FindsTheNewestEntryInAnyCase) {
  NameIndex index;
  index.Add("Key", 0);
  index.Add("other", 1);
  index.Add("KEY", 2);
  EXPECT_EQ(2, index.Find("key"));
  EXPECT_EQ(1, index.Find("OTHER"));
  EXPECT_EQ(-1, index.Find("ke"));
  index.Clear();
  EXPECT_EQ(-1, index.Find("key"));
}

TEST(SettingsStoreLookup, FallsBackToTheDefaultSection) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[Default]\r\nIndexSize=5\r\n[index]\r\nDirSrc=c:\\web\r\n"));
  EXPECT_EQ("5", Value(store, "index", "indexsize"));
  EXPECT_EQ("c:\\web", Value(store, "INDEX", "dirsrc"));
  EXPECT_EQ("5", Value(store, "missing", "IndexSize"));
  EXPECT_EQ("<-1>", Value(store, "missing", "DirSrc"));
}

TEST(SettingsStoreLookup, OnlyTheExactDefaultNameIsTheFallback) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[default]\nA=1\n[Default]\nA=2\n[Default]\nB=3\n"));
  // The later [Default] replaces the earlier one as the fallback, and the
  // case-insensitive section lookup finds the newest of the three.
  EXPECT_EQ("<-1>", Value(store, "other", "A"));
  EXPECT_EQ("3", Value(store, "other", "B"));
  EXPECT_EQ("3", Value(store, "DEFAULT", "b"));
}

TEST(SettingsStoreLookup, TrimsResultsAndReportsEmptyKeys) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[s]\nkey = value \t\nk=\t x\n"));
  EXPECT_EQ("<-1>", Value(store, "s", "key"));
  EXPECT_EQ("value", Value(store, "s", "key "));
  EXPECT_EQ("x", Value(store, "s", "k"));

  std::string out = "untouched";
  EXPECT_EQ(kResultDefaultUsed, store.GetValue("s", "none", "  fallback\r\n", &out));
  EXPECT_EQ("fallback", out);
  out = "untouched";
  EXPECT_EQ(kResultUnresolved, store.GetValue("s", "", "d", &out));
  EXPECT_EQ("untouched", out);
}

TEST(SettingsStoreParse, SplitsSectionsLinesAndKeys) {
  SettingsStore store;
  ASSERT_EQ(kResultOk,
            store.Parse("junk [x]\n[a]\r\n\r\nk=v=w\n=novalue\nempty=\n// note\nv=[not a section]\n"
                        "[ spaced ]\r[broken\nlost=1\n[b]trailing\n"));
  EXPECT_EQ("v=w", Value(store, "a", "k"));
  EXPECT_EQ("[not a section]", Value(store, "a", "v"));
  EXPECT_EQ("<-1>", Value(store, "a", "empty"));
  EXPECT_EQ("<-1>", Value(store, "x", "k"));
  EXPECT_EQ("<-1>", Value(store, "broken", "lost"));
  EXPECT_EQ("<-1>", Value(store, "spaced", "x"));

  ASSERT_EQ(3u, store.Sections().size());
  EXPECT_EQ(" spaced ", store.Sections()[1]->name);
  EXPECT_FALSE(store.Sections()[1]->ever_held_line);
  EXPECT_EQ("trailing", store.Sections()[2]->lines.at(0).text);
  EXPECT_EQ("[a]\nk=v=w\n// note\nv=[not a section]\n\n[b]\ntrailing\n\n\n", store.Serialize());
}

TEST(SettingsStoreParse, ReportsEmptyAndBracketlessText) {
  SettingsStore store;
  EXPECT_EQ(kResultUnresolved, store.Parse(""));
  EXPECT_EQ(kResultMissing, store.Parse("key=value\n"));
  EXPECT_EQ(kResultMissing, store.Parse("a [b]\n"));
  EXPECT_TRUE(store.Sections().empty());
}

TEST(SettingsStoreParse, AddsToWhatIsThere) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[a]\nk=1\n"));
  ASSERT_EQ(kResultOk, store.Parse("[b]\nk=2\n"));
  EXPECT_EQ("1", Value(store, "a", "k"));
  EXPECT_EQ("2", Value(store, "b", "k"));
  EXPECT_EQ("[b]\nk=2\n", store.LastText());
}

TEST(SettingsStoreSerialize, KeepsDuplicatesBareLinesAndFormat) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("preamble\r\n[S]\r\na=1\r\n// note\r\na=2\r\n[empty]\r\n"));
  EXPECT_EQ("2", Value(store, "s", "A"));
  EXPECT_EQ("[S]\na=1\n// note\na=2\n\n\n", store.Serialize());
}

// What is saved reads back as the same store.
TEST(SettingsStoreSerialize, SavedTextParsesBackToTheSameStore) {
  for (const char* text : {"[Index][Default]\nDirSrc=/x\n", "[Index]DirSrc=/x\n[b]\n[c]k=v",
                           "[a] ; comment\r\nk=v\n", "[S]\n [x]\nk=1\n"}) {
    SettingsStore first;
    ASSERT_EQ(kResultOk, first.Parse(text)) << text;
    SettingsStore second;
    ASSERT_EQ(kResultOk, second.Parse(first.Serialize())) << text;
    EXPECT_EQ(first.Serialize(), second.Serialize()) << text;
  }
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[Index][Default]\nDirSrc=/x\n"));
  EXPECT_EQ("/x", Value(store, "Index", "DirSrc"));
  EXPECT_EQ("[Index]\nDirSrc=/x\n\n\n", store.Serialize());
  EXPECT_EQ(
      std::vector<std::string>{"line 1: text after ']' on a section header line; it is ignored"},
      store.IgnoredLines());
}

TEST(SettingsStoreSetValue, ReplacesAppendsAndCreates) {
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[S]\nA=1\nB=2\n"));
  store.SetValue("s", "a", "one");
  store.SetValue("s", "C", "3");
  store.SetValue("s", "D", "");  // a missing key with an empty value is not written
  store.SetValue("new", "n", -42);
  store.SetValue("quiet", "q", "");
  EXPECT_EQ("[S]\nA=one\nB=2\nC=3\n\n[new]\nn=-42\n\n\n", store.Serialize());
}

TEST(SettingsStoreSetValue, EmptyValueMakesTheKeyFallBackAfterReload) {
  TempDir dir;
  const auto file = dir.Write("app.cfg", "[Default]\nKey=base\n[s]\nKey=own\n");
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Load(file.string()));
  store.SetValue("s", "key", "");
  EXPECT_EQ("", Value(store, "s", "Key"));  // still there, but empty
  EXPECT_EQ("[Default]\nKey=base\n\n[s]\nKey=\n\n\n", store.Serialize());
  ASSERT_EQ(kResultOk, store.Save());

  SettingsStore reloaded;
  ASSERT_EQ(kResultOk, reloaded.Load(file.string()));
  EXPECT_EQ("base", Value(reloaded, "s", "Key"));
}

TEST(SettingsStoreLoad, ReportsUnusableFiles) {
  TempDir dir;
  struct Row {
    const char* name;
    std::string bytes;
    int expected;
  };
  for (const Row& row :
       {Row{"one.cfg", "[", kResultMissing}, Row{"plain.cfg", "key=value\n", kResultMissing},
        Row{"packed.cfg", "ENCRYPTED.V001.03\x01\x02", kResultEncrypted},
        Row{"bare.cfg", "ENCRYPTED.V001", kResultEncrypted}}) {
    SettingsStore store;
    EXPECT_EQ(row.expected, store.Load(dir.Write(row.name, row.bytes).string())) << row.name;
  }
  SettingsStore store;
  EXPECT_EQ(kResultMissing, store.Load((dir.Path() / "absent.cfg").string()));
  EXPECT_EQ((dir.Path() / "absent.cfg").string(), store.FileName());
}

TEST(SettingsStoreLoad, ReplacesContentOnlyAfterARead) {
  TempDir dir;
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Load(dir.Write("a.cfg", "[a]\nk=1\n").string()));
  EXPECT_EQ(kResultEncrypted, store.Load(dir.Write("e.cfg", "ENCRYPTED.V001.03xyz").string()));
  EXPECT_EQ(kResultMissing, store.Load(dir.Write("short.cfg", "[").string()));
  EXPECT_EQ("1", Value(store, "a", "k"));
  EXPECT_EQ("[a]\nk=1\n", store.LastText());

  ASSERT_EQ(kResultOk, store.Load(dir.Write("b.cfg", "[b]\nk=2\n").string()));
  EXPECT_EQ("<-1>", Value(store, "a", "k"));
  EXPECT_EQ("2", Value(store, "b", "k"));
}

TEST(SettingsStoreSave, WritesTheSerializedTextAndNoTemporaryFile) {
  TempDir dir;
  const auto file = dir.Write("app.cfg", "// lost\n[S]\r\nk=v\r\n// note\r\n[none]\r\n");
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Load(file.string()));
  store.SetValue("S", "n", 7);
  ASSERT_EQ(kResultOk, store.Save());
  EXPECT_EQ("[S]\nk=v\n// note\nn=7\n\n\n", ReadFile(file));
  EXPECT_EQ(ReadFile(file), store.LastText());
  EXPECT_EQ(std::vector<std::string>{"app.cfg"}, FilesIn(dir.Path()));
}

TEST(SettingsStoreSave, WritesNothingForAnEmptyStore) {
  TempDir dir;
  SettingsStore store;
  store.SetFileName((dir.Path() / "app.cfg").string());
  store.SetValue("s", "k", "");
  EXPECT_EQ(kResultMissing, store.Save());
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST(SettingsStoreSave, UnwritableTargetIsReportedAndLeavesNoTemporaryFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "app.cfg");
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Parse("[s]\nk=v\n"));
  store.SetFileName((dir.Path() / "app.cfg").string());
  EXPECT_EQ(kResultMissing, store.Save());
  store.SetFileName((dir.Path() / "no" / "such" / "app.cfg").string());
  EXPECT_EQ(kResultMissing, store.Save());
  EXPECT_EQ(std::vector<std::string>{"app.cfg"}, FilesIn(dir.Path()));
}

// Stands in for a full disk: writes past `limit` bytes fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit previous_{};
  void (*previous_handler_)(int) = SIG_DFL;
};

TEST(SettingsStoreSave, FailedWriteKeepsTheOldFileWhole) {
  TempDir dir;
  const std::string old_text = "[s]\nk=old\n";
  const auto file = dir.Write("app.cfg", old_text);
  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Load(file.string()));
  store.SetValue("s", "k", std::string(4096, 'x'));
  {
    FileSizeLimit limit(64);
    EXPECT_EQ(kResultMissing, store.Save());
  }
  EXPECT_EQ(old_text, ReadFile(file));
  EXPECT_EQ(std::vector<std::string>{"app.cfg"}, FilesIn(dir.Path()));
}

TEST(SettingsStoreSave, KeepsPermissionsAndWritesThroughLinks) {
  namespace fs = std::filesystem;
  TempDir dir;
  const auto real = dir.Write("real.cfg", "[s]\nk=1\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, dir.Path() / "link.cfg");

  SettingsStore store;
  ASSERT_EQ(kResultOk, store.Load((dir.Path() / "link.cfg").string()));
  store.SetValue("s", "k", "2");
  ASSERT_EQ(kResultOk, store.Save());
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.cfg"));
  EXPECT_EQ("[s]\nk=2\n\n\n", ReadFile(real));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status(real).permissions());
}

}  // namespace
}  // namespace vossik
