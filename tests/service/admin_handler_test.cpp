#include "service/admin_handler.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "admin/admin_client.h"
#include "admin/compressed_reply.h"
#include "base/log_sink.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

class RecordingLog : public LogSink {
 public:
  void Write(int type, int, std::string_view message) override {
    lines.push_back(std::to_string(type) + " " + std::string(message));
  }
  std::vector<std::string> lines;
};

// The service as the handler sees it, with its files in a temporary folder.
class FakeService : public ServiceControl {
 public:
  explicit FakeService(const TempDir& dir) : dir_(dir) {}
  ServiceStatus Status() override {
    ServiceStatus status;
    status.state = paused ? ServiceStatus::State::kPaused : ServiceStatus::State::kRunning;
    status.building = true;
    status.progress = 42;
    status.build_text = "Analyzing [a&b.html]...";
    return status;
  }
  void Stop() override { calls.emplace_back("stop"); }
  void Pause() override {
    calls.emplace_back("pause");
    paused = true;
  }
  void Continue() override {
    calls.emplace_back("continue");
    paused = false;
  }
  void BuildNow() override { calls.emplace_back("build"); }
  int ReplaceConfiguration(std::string_view text, std::string* problem) override {
    if (!text.starts_with("[")) {
      *problem = "not a <configuration>";
      return 400;
    }
    calls.push_back("replace " + std::string(text));
    return 0;
  }
  void ApplyConfiguration() override { calls.emplace_back("apply"); }
  std::filesystem::path ConfigurationFile() override { return dir_.Path() / "vossikd.cfg"; }
  std::optional<std::filesystem::path> LogFile(std::string_view name) override {
    if (name == "Vossik") return dir_.Path() / "Vossik.log";
    return std::nullopt;
  }
  DatedText Statistics() override { return {"[Statistics]\nPages=3\n", 1000}; }
  std::shared_ptr<const IndexCensus> Pages() override { return census; }

  bool paused = false;
  std::vector<std::string> calls;
  std::shared_ptr<const IndexCensus> census;

 private:
  const TempDir& dir_;
};

class AdminHandlerTest : public ::testing::Test {
 protected:
  AdminHandlerTest() : service_(dir_), handler_(service_, log_) {
    Allow({"127.0.0.1", "10.0.0.0/8"}, "");
  }

  void Allow(const std::vector<std::string>& entries, std::string password) {
    AllowList allow;
    std::string error;
    ASSERT_TRUE(allow.Parse(entries, &error));
    handler_.SetAccess(std::move(password), std::move(allow));
  }

  AdminReply Ask(const std::string& path, const char* client = "127.0.0.1", std::string body = {}) {
    AdminRequest request;
    request.path = path;
    request.body = std::move(body);
    EXPECT_TRUE(ClientAddress::Parse(client, &request.client));
    return handler_.Handle(request);
  }

  // The path of `action` carrying `password` encrypted with a fresh challenge.
  std::string WithPassword(const std::string& action, const std::string& password,
                           const char* client = "127.0.0.1") {
    const std::string challenge = Ask("/ACTION=GETENCRYPT", client).body;
    return "/ACTION=" + action + "&password=" + PasswordParameter(password, challenge);
  }

  TempDir dir_;
  RecordingLog log_;
  FakeService service_;
  AdminHandler handler_;
};

TEST_F(AdminHandlerTest, AnswersTheActions) {
  dir_.Write("vossikd.cfg", "[Index]\nDirSrc=/srv/site\n");
  const AdminReply status = Ask("/ACTION=GETSTATUS");
  EXPECT_EQ(200, status.status);
  EXPECT_EQ(
      "<service><STATUS>RUNNING</STATUS><building>1</building><held>0</held>"
      "<progress>42</progress>"
      "<buildtext>Analyzing [a&amp;b.html]...</buildtext><pending>0</pending>"
      "<nextbuild>-1</nextbuild><builds>0</builds><failedbuilds>0</failedbuilds></service>",
      status.body);
  EXPECT_NE(std::string::npos, Ask("/ACTION=PAUSE").body.find("<STATUS>PAUSED</STATUS>"));
  EXPECT_NE(std::string::npos, Ask("/ACTION=CONTINUE").body.find("<STATUS>RUNNING</STATUS>"));
  EXPECT_EQ(200, Ask("/ACTION=BUILD").status);
  EXPECT_EQ("<CONFIG>[Index]\nDirSrc=/srv/site\n</CONFIG>", Ask("/ACTION=GETCONFIG").body);
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<statistics>[Statistics]&#10;Pages=3&#10;</statistics>\n",
      Ask("/ACTION=GETSTATS").body);

  // STOP answers first and acts once the answer is out.
  AdminReply stop = Ask("/ACTION=STOP");
  EXPECT_EQ(200, stop.status);
  EXPECT_EQ((std::vector<std::string>{"pause", "continue", "build"}), service_.calls);
  ASSERT_TRUE(stop.after_reply);
  stop.after_reply();
  EXPECT_EQ("stop", service_.calls.back());

  EXPECT_EQ(501, Ask("/ACTION=FORMAT").status);
  EXPECT_EQ(404, Ask("/index.html").status);
}

TEST_F(AdminHandlerTest, TakesAConfigurationAndAppliesItAfterTheReply) {
  AdminReply taken = Ask("/ACTION=SETCONFIG", "127.0.0.1", "<CONFIG>[Watch]\nDelay=2\n</CONFIG>");
  EXPECT_EQ(200, taken.status);
  EXPECT_EQ((std::vector<std::string>{"replace [Watch]\nDelay=2\n"}), service_.calls);
  ASSERT_TRUE(taken.after_reply);
  taken.after_reply();
  EXPECT_EQ("apply", service_.calls.back());

  const AdminReply refused = Ask("/ACTION=SETCONFIG", "127.0.0.1", "<CONFIG>garbage</CONFIG>");
  EXPECT_EQ(400, refused.status);
  EXPECT_EQ("<ERROR>not a &lt;configuration&gt;</ERROR>", refused.body);
  EXPECT_FALSE(refused.after_reply);
  EXPECT_EQ(400, Ask("/ACTION=SETCONFIG", "127.0.0.1", "[Watch]\nDelay=2\n").status);
  EXPECT_EQ(2u, service_.calls.size());
}

TEST_F(AdminHandlerTest, ServesOnlyItsOwnLogs) {
  dir_.Write("Vossik.log", "one\r\ntwo <b>\r\nthree\r\n");
  EXPECT_EQ("<file><data>two &lt;b&gt;&#13;&#10;three&#13;&#10;</data></file>",
            Ask("/ACTION=GETLOG&log=Vossik&lines=2").body);
  for (const char* name : {"Indexing", "../Vossik", "logs/Vossik", "Vossik%2F..", "", ".."}) {
    EXPECT_EQ(404, Ask(std::string("/ACTION=GETLOG&log=") + name).status) << name;
    EXPECT_EQ(404, Ask(std::string("/ACTION=CLEARLOG&log=") + name).status) << name;
  }
  EXPECT_EQ(200, Ask("/ACTION=CLEARLOG&log=Vossik").status);
  EXPECT_EQ("", testing::ReadFile(dir_.Path() / "Vossik.log"));
  EXPECT_EQ("<file><data></data></file>", Ask("/ACTION=GETLOG&log=Vossik&lines=5").body);
}

TEST_F(AdminHandlerTest, AnswersNotModifiedForDataNoNewerThanAsked) {
  const auto file = dir_.Write("vossikd.cfg", "[A]\n");
  const timespec an_hour_ago[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, file.c_str(), an_hour_ago, 0));
  struct Row {
    std::string path;
    int status;
  };
  const Row rows[] = {
      {"/ACTION=GETCONFIG&ifmodifiedsince=-100", 304},   // the copy is newer than the file
      {"/ACTION=GETCONFIG&ifmodifiedsince=-7200", 200},  // the file is newer
      {"/ACTION=GETCONFIG&ifmodifiedsince=junk", 200},
      {"/ACTION=GETSTATS&ifmodifiedsince=-100", 304},  // changed at 1000
      {"/ACTION=GETSTATS&ifmodifiedsince=-" + std::to_string(std::time(nullptr)), 200},
  };
  for (const Row& row : rows) {
    const AdminReply reply = Ask(row.path);
    EXPECT_EQ(row.status, reply.status) << row.path;
    if (row.status == 304) {
      EXPECT_EQ("", reply.body);
    }
  }
}

TEST_F(AdminHandlerTest, ListsPagesInBatches) {
  auto census = std::make_shared<IndexCensus>();
  for (int i = 0; i < 5; ++i) {
    census->pages.push_back({.title = "Page " + std::to_string(i) + " & more",
                             .url = "p" + std::to_string(i) + ".html",
                             .words = i,
                             .size = 100u + static_cast<unsigned>(i),
                             .modified = 1700000000 + i});
  }
  census->published = 1000;
  service_.census = census;
  // Each page's share is of the largest page of all, not of the batch.
  const std::string body = Ask("/ACTION=GETPAGES&start=2&count=2").body;
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"5\" start=\"2\">\n"
      "<page><url>p2.html</url><title>Page 2 &amp; more</title><size>102</size>"
      "<modified>1700000002</modified><words>2</words><share>98</share></page>\n"
      "<page><url>p3.html</url><title>Page 3 &amp; more</title><size>103</size>"
      "<modified>1700000003</modified><words>3</words><share>99</share></page>\n</pages>\n",
      body);
  service_.census = nullptr;
  EXPECT_NE(std::string::npos,
            Ask("/ACTION=GETPAGES").body.find("<pages total=\"0\" start=\"0\">"));
}

TEST_F(AdminHandlerTest, CompressesWhenAsked) {
  for (const char* path : {"/ACTION=GETSTATS&compress=true", "/ACTION=GETSTATScompress=true"}) {
    AdminReply reply = Ask(path);
    ASSERT_TRUE(reply.body.starts_with("191605D2")) << path;
    ASSERT_TRUE(InflateReply(&reply.body));
    EXPECT_NE(std::string::npos, reply.body.find("Pages=3"));
  }
}

TEST_F(AdminHandlerTest, AnswersOnlyAllowedAddressesAndWithoutPasswordOnlyThisMachine) {
  struct Row {
    const char* client;
    int status;
  };
  const Row rows[] = {{"127.0.0.1", 200}, {"10.1.2.3", 403}, {"192.168.1.9", 403}};
  for (const Row& row : rows)
    EXPECT_EQ(row.status, Ask("/ACTION=GETSTATUS", row.client).status) << row.client;
  EXPECT_EQ(403, Ask("/ACTION=GETENCRYPT", "192.168.1.9").status);
  EXPECT_EQ(200, Ask("/ACTION=GETENCRYPT", "10.1.2.3").status);

  Allow({"127.0.0.1", "10.0.0.0/8"}, "secret");
  EXPECT_EQ(200, Ask(WithPassword("GETSTATUS", "secret", "10.1.2.3"), "10.1.2.3").status);
}

TEST_F(AdminHandlerTest, ChecksThePasswordAgainstAChallengeUsedOnce) {
  Allow({"127.0.0.1"}, "secret");
  const std::string good = WithPassword("GETSTATUS", "secret");
  EXPECT_EQ(200, Ask(good).status);
  EXPECT_EQ(401, Ask(good).status);  // replayed
  EXPECT_EQ(401, Ask(WithPassword("GETSTATUS", "Secret")).status);
  EXPECT_EQ(401, Ask(WithPassword("GETSTATUS", "secre")).status);
  EXPECT_EQ(401, Ask("/ACTION=GETSTATUS").status);  // no password at all
  EXPECT_EQ(401,
            Ask("/ACTION=GETSTATUS&password=" + PasswordParameter("secret", "made-up")).status);
  EXPECT_EQ(401, Ask("/ACTION=FORMAT").status);  // who may not ask learns nothing
  EXPECT_EQ(501, Ask(WithPassword("FORMAT", "secret")).status);

  // No line of the log holds the password parameter.
  for (const std::string& line : log_.lines) {
    EXPECT_EQ(std::string::npos, line.find("499602D2")) << line;
    EXPECT_EQ(std::string::npos, line.find("password=")) << line;
  }
  EXPECT_NE(std::string::npos, log_.lines.front().find("GETENCRYPT from 127.0.0.1: 200"));
}

TEST_F(AdminHandlerTest, RefusesAnAddressWithoutCheckingAfterFiveWrongPasswords) {
  Allow({"127.0.0.1", "10.0.0.0/8"}, "secret");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(401, Ask(WithPassword("GETSTATUS", "guess", "10.0.0.7"), "10.0.0.7").status);
  int warnings = 0;
  for (const std::string& line : log_.lines)
    warnings += line.starts_with("2 Too many wrong passwords from 10.0.0.7");
  EXPECT_EQ(1, warnings);
  EXPECT_EQ(401, Ask(WithPassword("GETSTATUS", "secret", "10.0.0.7"), "10.0.0.7").status);
  EXPECT_EQ(200, Ask(WithPassword("GETSTATUS", "secret")).status);  // another address
}

TEST_F(AdminHandlerTest, RefusesOversizedRequests) {
  EXPECT_EQ(414, Ask("/ACTION=GETSTATUS&x=" + std::string(AdminHandler::kLongestPath, 'a')).status);
  AdminRequest request;
  request.path = "/ACTION=SETCONFIG";
  request.body_too_large = true;
  ASSERT_TRUE(ClientAddress::Parse("127.0.0.1", &request.client));
  EXPECT_EQ(413, handler_.Handle(request).status);
  EXPECT_TRUE(service_.calls.empty());
}

}  // namespace
}  // namespace vossik
