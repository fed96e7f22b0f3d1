#include "log/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;
namespace fs = std::filesystem;

// 05/03/2024 07:08:09 UTC.
constexpr std::time_t kStart = 1709622489;
const char kStamp[] = "05/03/2024 07:08:09 ";

class FakeClock : public LogClock {
 public:
  std::time_t Now() const override { return now_; }
  void Advance(std::time_t seconds) { now_ += seconds; }

 private:
  std::atomic<std::time_t> now_{kStart};
};

// The log settings as the program's descriptor declares them, with defaults
// equal to an unconfigured log's fields.
constexpr char kDescriptor[] = R"(<vossik><types>
  <parameter uid="loglevel" name="LogLevel">
    <allowed>Off,Critical,General,Verbose,Full,Debug</allowed><default>Full</default></parameter>
  <parameter uid="logtypes" name="LogTypes">
    <allowed>Error,Warning,Message,Config,Service</allowed><default>All</default></parameter>
  <parameter uid="logmaxsize" name="LogMaxSize"><default>1024</default></parameter>
  <parameter uid="loghistory" name="LogHistory"><default>3</default></parameter>
  <parameter uid="logflushsize" name="LogFlushSize"><default>0</default></parameter>
  <parameter uid="logflushperiod" name="LogFlushPeriod"><default>0</default></parameter>
</types><config/></vossik>)";

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    dir_.ChangeInto();
    fs::create_directory("logs");
  }

  // Configures `log` from the descriptor above and a [Default] section
  // holding `settings` (key=value lines).
  void Configure(Log& log, const std::string& settings, const char* descriptor = kDescriptor) {
    XmlDocument document;
    ASSERT_EQ(0, document.Parse(descriptor));
    SettingsStore store;
    ASSERT_EQ(0, store.Parse("[Default]\n" + settings + "\n"));
    log.Configure(store, document.Root());
  }

  TempDir dir_;
  FakeClock clock_;
};

TEST_F(LogTest, BuffersWithinASecondAndWritesExactLines) {
  {
    Log log("app", false, true, clock_);
    log.Write(kLogMessage, kLogGeneral, "one");
    log.Write(kLogError, kLogFull, "two");
    EXPECT_TRUE(fs::exists("logs/app.log"));  // opened, nothing flushed yet
    EXPECT_EQ("", ReadFile("logs/app.log"));

    clock_.Advance(1);
    log.WriteFormatted(kLogWarning, kLogGeneral, "three %d", 3);
    EXPECT_EQ(std::string(kStamp) + " app Log started.\r\n" + kStamp + " Message: one\r\n" +
                  kStamp + " Error: two\r\n" + "05/03/2024 07:08:10  Warning: three 3\r\n",
              ReadFile("logs/app.log"));

    // A clock that steps back keeps the newer timestamp; Critical goes out at once.
    clock_.Advance(-5);
    log.Write(kLogService, kLogCritical, "stop");
    EXPECT_TRUE(ReadFile("logs/app.log").ends_with("05/03/2024 07:08:10  Service: stop\r\n"));

    // More than the flush size (0 KB) in the buffer flushes within the second.
    log.Write(kLogMessage, kLogGeneral, std::string(1100, 'x'));
    EXPECT_TRUE(ReadFile("logs/app.log").ends_with(std::string(1100, 'x') + "\r\n"));
    clock_.Advance(10);
  }
  EXPECT_TRUE(ReadFile("logs/app.log").ends_with("\r\n05/03/2024 07:08:15  app Log ended.\r\n"));
}

TEST_F(LogTest, WithoutStartEndLinesOnlyLineBreaksFrame) {
  {
    Log log("plain", true, false, clock_);
    EXPECT_EQ("plain.log", log.FileName());
    EXPECT_EQ("plain2.log", log.RotatedFileName(2));
    log.Write(kLogMessage, kLogCritical, "m");
  }
  EXPECT_EQ(std::string("\r\n") + kStamp + " Message: m\r\n\r\n", ReadFile("plain.log"));
}

TEST_F(LogTest, LinesWaitInMemoryUntilTheFolderExists) {
  fs::remove("logs");
  {
    Log log("app", false, false, clock_);
    log.Write(kLogError, kLogCritical, "first");
    EXPECT_FALSE(fs::exists("logs/app.log"));
    fs::create_directory("logs");
    log.Write(kLogError, kLogCritical, "second");
    EXPECT_EQ(std::string("\r\n") + kStamp + " Error: first\r\n" + kStamp + " Error: second\r\n",
              ReadFile("logs/app.log"));
  }
  // A log that never opened its file leaves no file behind.
  { Log never("never", false, true, clock_); }
  EXPECT_FALSE(fs::exists("logs/never.log"));
}

TEST_F(LogTest, FlushPeriodAndSizeDelayWrites) {
  Log log("app", false, false, clock_);
  Configure(log, "LogFlushPeriod=5\nLogFlushSize=2");
  log.FlushCheck(true);
  const auto size = [] { return fs::file_size("logs/app.log"); };
  const auto before = size();

  clock_.Advance(5);
  log.Write(kLogMessage, kLogGeneral, std::string(2000, 'a'));  // 5 s, under 3 KB: wait
  EXPECT_EQ(before, size());
  log.Write(kLogMessage, kLogGeneral, std::string(1200, 'b'));  // 3 KB buffered: flush
  EXPECT_LT(before + 3200, size());

  const auto after = size();
  clock_.Advance(6);
  log.Write(kLogMessage, kLogGeneral, "late");  // period passed
  EXPECT_LT(after, size());
}

TEST_F(LogTest, FilterHonoursLevelAndTypes) {
  struct Case {
    const char* settings;
    int type;
    int level;
    bool written;
  };
  const Case cases[] = {
      {"LogLevel=Full\nLogTypes=Error+Warning", kLogConfig, kLogFull, false},
      {"LogLevel=Full\nLogTypes=Error+Warning", kLogConfig, kLogCritical, true},
      {"LogLevel=Full\nLogTypes=Error+Warning", kLogWarning, kLogFull, true},
      {"LogLevel=Full\nLogTypes=Error+Warning", kLogWarning, kLogDebug, false},
      {"LogLevel=Off", kLogError, kLogGeneral, false},
      {"LogLevel=Off", kLogError, kLogCritical, true},
      {"LogLevel=General\nLogTypes=None", kLogMessage, kLogGeneral, false},
      {"LogLevel=General", 40, kLogGeneral, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.settings) + " type " + std::to_string(c.type) + " level " +
                 std::to_string(c.level));
    fs::remove("logs/app.log");
    Log log("app", false, false, clock_);
    Configure(log, c.settings);
    EXPECT_LE(kLogCritical, log.Level());
    log.Write(c.type, c.level, "probe");
    log.FlushCheck(true);
    EXPECT_EQ(c.written, ReadFile("logs/app.log").find("probe") != std::string::npos);
  }
}

TEST_F(LogTest, ConfigureWritesItsSettings) {
  struct Case {
    const char* earlier;  // settings configured first, or nullptr
    const char* descriptor;
    const char* settings;
    const char* line;
  };
  constexpr char kBare[] = "<vossik><types/></vossik>";
  const Case cases[] = {
      {nullptr, kDescriptor,
       "LogLevel=debug\nLogTypes=Config+Error\nLogMaxSize=2,048\nLogHistory=5\n"
       "LogFlushSize=2\nLogFlushPeriod=7",
       "(Level Debug, Types [Error|Config|, MaxSizeKBytes 2048, History 5, FlushSizeKBytes 2, "
       "Flush Period 7)"},
      {nullptr, kDescriptor, "LogLevel=Verbose\nLogTypes=All",
       "(Level Verbose, Types [None|Error|Warning|Message|Config|Service], MaxSizeKBytes 1024, "
       "History 3, FlushSizeKBytes 0, Flush Period 0)"},
      // Settings the descriptor lacks: sizes and history drop to 0, the rest stays.
      {"LogLevel=Debug\nLogTypes=Config\nLogFlushPeriod=9", kBare, "LogLevel=Off",
       "(Level Debug, Types [Config|, MaxSizeKBytes 0, History 0, FlushSizeKBytes 0, "
       "Flush Period 9)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    fs::remove("logs/app.log");
    {
      Log log("app", false, false, clock_);
      if (c.earlier != nullptr) Configure(log, c.earlier);
      Configure(log, c.settings, c.descriptor);
    }
    const std::string text = ReadFile("logs/app.log");
    const std::string prefix = std::string(kStamp) + " Config: Log configuration ";
    const std::size_t at = text.rfind(prefix);
    ASSERT_NE(std::string::npos, at);
    EXPECT_EQ(std::string(c.line) + "\r\n\r\n", text.substr(at + prefix.size()));
  }
}

class RotationTest : public LogTest {
 protected:
  // One Critical line long enough that written / 1024 passes max size 1.
  static constexpr std::size_t kBig = 2100;
  static void WriteBig(Log& log, char fill) {
    log.Write(kLogMessage, kLogCritical, std::string(kBig, fill));
  }
  static bool Holds(const char* file, char fill) {
    return ReadFile(file).find(std::string(kBig, fill)) != std::string::npos;
  }
};

TEST_F(RotationTest, ShiftsHistoryAndStartsANewFile) {
  dir_.Write("logs/app0.log", "zero");
  dir_.Write("logs/app1.log", "one");
  dir_.Write("logs/app2.log", "two");
  Log log("app", false, false, clock_);
  Configure(log, "LogMaxSize=1\nLogHistory=3");

  WriteBig(log, 'a');
  EXPECT_TRUE(Holds("logs/app0.log", 'a'));
  EXPECT_EQ("zero", ReadFile("logs/app1.log"));
  EXPECT_EQ("one", ReadFile("logs/app2.log"));
  EXPECT_FALSE(fs::exists("logs/app3.log"));
  EXPECT_EQ("", ReadFile("logs/app.log"));

  log.Write(kLogMessage, kLogCritical, "later");
  EXPECT_NE(std::string::npos, ReadFile("logs/app.log").find("later"));
  WriteBig(log, 'b');
  EXPECT_TRUE(Holds("logs/app0.log", 'b'));
  EXPECT_TRUE(Holds("logs/app1.log", 'a'));
  EXPECT_EQ("zero", ReadFile("logs/app2.log"));
}

TEST_F(RotationTest, HistoryZeroKeepsOneRotatedFile) {
  dir_.Write("logs/app-1.log", "stray");
  dir_.Write("logs/app0.log", "zero");
  Log log("app", false, false, clock_);
  Configure(log, "LogMaxSize=1\nLogHistory=0");

  WriteBig(log, 'a');
  EXPECT_FALSE(fs::exists("logs/app-1.log"));
  EXPECT_TRUE(Holds("logs/app0.log", 'a'));
  EXPECT_FALSE(fs::exists("logs/app1.log"));
  EXPECT_EQ("", ReadFile("logs/app.log"));
}

TEST_F(RotationTest, CountsOnlyWhatThisRunWrote) {
  const std::string earlier(3000, 'e');
  dir_.Write("logs/app.log", earlier);
  Log log("app", false, false, clock_);
  Configure(log, "LogMaxSize=1\nLogHistory=3");

  // Over 1 KB but not over 2: written / 1024 does not yet exceed 1.
  log.Write(kLogMessage, kLogCritical, std::string(1100, 's'));
  EXPECT_FALSE(fs::exists("logs/app0.log"));
  EXPECT_TRUE(ReadFile("logs/app.log").starts_with(earlier));

  WriteBig(log, 'a');
  EXPECT_TRUE(ReadFile("logs/app0.log").starts_with(earlier));
  EXPECT_EQ("", ReadFile("logs/app.log"));
}

TEST_F(LogTest, LockingLogKeepsEveryLineFromTwoThreads) {
  constexpr int kLines = 2000;
  {
    LockingLog log("shared", false, false, clock_);
    const auto writer = [&log](char id) {
      for (int i = 0; i < kLines; ++i) {
        log.WriteFormatted(kLogMessage, kLogGeneral, "%c%d", id, i);
        if (i % 100 == 0) log.FlushCheck(false);
      }
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
  }
  std::set<std::string> messages;
  const std::string text = ReadFile("logs/shared.log");
  const std::string prefix = std::string(kStamp) + " Message: ";
  for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos;) {
    at += prefix.size();
    messages.insert(text.substr(at, text.find("\r\n", at) - at));
  }
  EXPECT_EQ(2u * kLines, messages.size());
  for (char id : {'a', 'b'}) {
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(1u, messages.count(id + std::to_string(i)));
  }
}

}  // namespace
}  // namespace vossik
