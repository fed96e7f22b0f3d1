#include "admin/admin_client.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "admin/compressed_reply.h"
#include "base/log_sink.h"
#include "settings/secret_cipher.h"
#include "support/scripted_http_server.h"

namespace vossik {
namespace {

using testing::ScriptedHttpServer;

constexpr std::time_t kNow = 1800000000;
constexpr const char* kChallenge20 = "0123456789ABCDEFGHIJ";  // 20 bytes

// Counts the attempts the client reports.
class AttemptLog : public LogSink {
 public:
  void Write(int, int, std::string_view message) override { lines.emplace_back(message); }
  std::vector<std::string> lines;
};

// A local service that records what it was asked.
class FakeLocalService : public LocalService {
 public:
  const std::string& Name() const override { return name_; }
  ServiceState QueryState() override {
    calls.push_back("query");
    return state;
  }
  bool Start() override { return Record("start"); }
  bool Stop() override { return Record("stop"); }
  bool Pause() override { return Record("pause"); }
  bool Continue() override { return Record("continue"); }
  ServiceState LastState() const override { return state; }

  ServiceState state = ServiceState::kRunning;
  bool accept = true;
  std::vector<std::string> calls;

 private:
  bool Record(const char* call) {
    calls.emplace_back(call);
    return accept;
  }
  std::string name_ = "vossik";
};

class AdminClientTest : public ::testing::Test {
 protected:
  AdminClient& Client(std::string password = {}) {
    client_ = std::make_unique<AdminClient>(
        [](const std::string&, bool* manager_available) -> std::unique_ptr<LocalService> {
          *manager_available = false;
          return nullptr;
        });
    EXPECT_EQ(kClientReady, client_->Initialise("", "127.0.0.1", server_.Port()));
    client_->SetPassword(std::move(password));
    client_->SetClock([] { return kNow; });
    client_->SetTimeouts({.challenge_connect = 2,
                          .challenge_receive = 1,
                          .request_connect = 2,
                          .request_receive = 1});
    client_->SetRequestLog(&attempts_);
    return *client_;
  }

  ScriptedHttpServer server_;
  AttemptLog attempts_;
  std::unique_ptr<AdminClient> client_;
};

TEST_F(AdminClientTest, SendsEachActionOnItsPath) {
  AdminClient& client = Client();
  server_.Add({ScriptedHttpServer::Reply(200, "<STATUS>RUNNING</STATUS>"),
               ScriptedHttpServer::Reply(304), ScriptedHttpServer::Reply(200, "x"),
               ScriptedHttpServer::Reply(200), ScriptedHttpServer::Reply(200),
               ScriptedHttpServer::Reply(200)});
  AdminResult error = AdminResult::kCommFailure;
  EXPECT_EQ(ServiceState::kRunning, client.GetStatus(&error));
  EXPECT_EQ(AdminResult::kOk, error);
  std::string text;
  EXPECT_EQ(AdminResult::kNotModified, client.GetConfiguration(&text, kNow - 100));
  std::string body;
  EXPECT_EQ(AdminResult::kOk,
            client.GenericRequest("GETLOG", 0, "&log=Vossik&lines=15", false, &body));
  EXPECT_EQ(AdminResult::kOk, client.SetConfiguration("[Watch]\nDelay=2\n"));
  EXPECT_TRUE(client.Pause(&error));
  EXPECT_EQ(AdminResult::kOk, client.GenericRequest("GETSTATS", -1, {}, false, &body));

  const std::vector<std::string> expected = {
      "/ACTION=GETSTATUS",
      "/ACTION=GETCONFIG&ifmodifiedsince=-100",
      "/ACTION=GETLOG&log=Vossik&lines=15&ifmodifiedsince=-1800000000",
      "/ACTION=SETCONFIG",
      "/ACTION=PAUSE",
      "/ACTION=GETSTATS",
  };
  EXPECT_EQ(expected, server_.Paths());
  const auto requests = server_.Requests();
  EXPECT_EQ("GET", requests[3].method);
  EXPECT_EQ("<CONFIG>[Watch]\nDelay=2\n</CONFIG>", requests[3].body);
}

TEST_F(AdminClientTest, EncryptsThePasswordWithAFreshChallenge) {
  struct Row {
    std::string password;
    std::string challenge;
    int blocks;
  };
  const Row rows[] = {
      {"abcdefghij", kChallenge20, 1},          // 30 bytes: one block, no line feed
      {std::string(45, 'p'), kChallenge20, 2},  // 65 bytes: two blocks
      {"pw", "", 1},                            // an empty challenge is taken as it is
  };
  for (const Row& row : rows) {
    ScriptedHttpServer server;
    server.Add({ScriptedHttpServer::Reply(200, row.challenge),
                ScriptedHttpServer::Reply(200, "<STATUS>PAUSED</STATUS>")});
    AdminClient client;
    ASSERT_EQ(kClientReady, client.Initialise("", "127.0.0.1", server.Port()));
    client.SetPassword(row.password);
    AdminResult error = AdminResult::kCommFailure;
    EXPECT_EQ(ServiceState::kPaused, client.GetStatus(&error));

    const std::vector<std::string> paths = server.Paths();
    ASSERT_EQ(2u, paths.size());
    EXPECT_EQ("/ACTION=GETENCRYPT", paths[0]);
    const std::string prefix = "/ACTION=GETSTATUS&password=499602D2";
    ASSERT_TRUE(paths[1].starts_with(prefix)) << paths[1];
    const std::string blocks = paths[1].substr(prefix.size());
    EXPECT_EQ(static_cast<std::size_t>(256 * row.blocks + 3 * (row.blocks - 1)), blocks.size());
    EXPECT_EQ(std::string::npos, blocks.find_first_not_of("0123456789ABCDEF%"));
    EXPECT_EQ(row.blocks - 1, std::count(blocks.begin(), blocks.end(), '%'));
    EXPECT_FALSE(blocks.ends_with("%0A"));
    // The service reads it back as the password followed by the challenge.
    std::string stored = "499602D2" + blocks;
    for (std::size_t at; (at = stored.find("%0A")) != std::string::npos;)
      stored.replace(at, 3, "\n");
    EXPECT_EQ(row.password + row.challenge, DecryptSecret(stored));
  }
}

TEST_F(AdminClientTest, RetriesOnlyRepliesLostOnTheWay) {
  AdminClient& client = Client();
  // Two replies that never come, then the third attempt's reply.
  server_.Add({ScriptedHttpServer::Hang(), ScriptedHttpServer::Hang(),
               ScriptedHttpServer::Reply(200, "<STATUS>RUNNING</STATUS>")});
  AdminResult error = AdminResult::kCommFailure;
  EXPECT_EQ(ServiceState::kRunning, client.GetStatus(&error));
  EXPECT_EQ(3u, server_.Paths().size());

  // An HTTP status is an answer, not retried.
  server_.Add({ScriptedHttpServer::Reply(503)});
  EXPECT_EQ(ServiceState::kUnknown, client.GetStatus(&error));
  EXPECT_EQ(AdminResult::kCommFailure, error);
  EXPECT_EQ(4u, server_.Paths().size());

  // A refused connection is tried once.
  AdminClient refused;
  ASSERT_EQ(kClientReady, refused.Initialise("", "127.0.0.1", testing::UnusedPort()));
  AttemptLog attempts;
  refused.SetRequestLog(&attempts);
  EXPECT_EQ(AdminResult::kCommFailure, refused.SetConfiguration("[A]\n"));
  EXPECT_EQ(1u, attempts.lines.size());
}

TEST_F(AdminClientTest, AsksForANewChallengeForEachAttempt) {
  // The service spends a challenge on a request whose reply was lost, so a
  // retry with the same one could only be refused.
  AdminClient& client = Client("secret");
  server_.Add({ScriptedHttpServer::Reply(200, "C1"), ScriptedHttpServer::Close(),
               ScriptedHttpServer::Reply(200, "C2"), ScriptedHttpServer::Reply(200)});
  EXPECT_EQ(AdminResult::kOk, client.SetConfiguration("[A]\n"));
  const std::vector<std::string> paths = server_.Paths();
  ASSERT_EQ(4u, paths.size());
  EXPECT_EQ("/ACTION=GETENCRYPT", paths[0]);
  EXPECT_EQ("/ACTION=GETENCRYPT", paths[2]);
  EXPECT_NE(paths[1], paths[3]);
}

TEST_F(AdminClientTest, GoesWithoutPasswordWhenNoChallengeComes) {
  AdminClient& client = Client("secret");
  server_.Add({ScriptedHttpServer::Reply(404), ScriptedHttpServer::Reply(401)});
  AdminResult error = AdminResult::kOk;
  EXPECT_EQ(ServiceState::kUnknown, client.GetStatus(&error));
  EXPECT_EQ(AdminResult::kBadPassword, error);
  EXPECT_EQ((std::vector<std::string>{"/ACTION=GETENCRYPT", "/ACTION=GETSTATUS"}), server_.Paths());
}

TEST_F(AdminClientTest, TurnsRepliesIntoResults) {
  AdminClient& client = Client();
  std::string text = "kept";
  struct Row {
    ScriptedHttpServer::Step reply;
    std::function<AdminResult()> operation;
    AdminResult expected;
  };
  std::string body;
  const auto get_config = [&] { return client.GetConfiguration(&text, -1); };
  const auto set_config = [&] { return client.SetConfiguration("[A]\n"); };
  const auto generic = [&] { return client.GenericRequest("GETPAGES", -1, {}, false, &body); };
  const Row rows[] = {
      {ScriptedHttpServer::Reply(200, "<CONFIG>[A]\nk=v"), get_config, AdminResult::kBadArgument},
      {ScriptedHttpServer::Reply(200, "</CONFIG><CONFIG>"), get_config, AdminResult::kBadArgument},
      {ScriptedHttpServer::Reply(401), get_config, AdminResult::kBadPassword},
      {ScriptedHttpServer::Reply(500), get_config, AdminResult::kCommFailure},
      {ScriptedHttpServer::Reply(204), set_config, AdminResult::kCommFailure},
      {ScriptedHttpServer::Reply(401), set_config, AdminResult::kBadPassword},
      {ScriptedHttpServer::Reply(404), generic, AdminResult::kNotFound},
      {ScriptedHttpServer::Reply(501), generic, AdminResult::kNotSupported},
      {ScriptedHttpServer::Reply(304), generic, AdminResult::kNotModified},
      {ScriptedHttpServer::Reply(401), generic, AdminResult::kBadPassword},
      {ScriptedHttpServer::Reply(302), generic, AdminResult::kCommFailure},
  };
  for (const Row& row : rows) {
    server_.Add({row.reply});
    EXPECT_EQ(row.expected, row.operation()) << row.reply.status << " " << row.reply.body;
  }
  EXPECT_EQ("kept", text);

  server_.Add({ScriptedHttpServer::Reply(200, "junk<CONFIG></CONFIG>")});
  EXPECT_EQ(AdminResult::kOk, client.GetConfiguration(&text, -1));
  EXPECT_EQ("", text);
  EXPECT_EQ(AdminResult::kBadArgument, client.SetConfiguration(""));
  EXPECT_EQ(12u, server_.Paths().size());  // the empty text sent nothing
}

TEST_F(AdminClientTest, ReadsTheStatusTextsInTheirOrder) {
  AdminClient& client = Client();
  struct Row {
    const char* body;
    ServiceState state;
  };
  const Row rows[] = {
      {"<STATUS>RUNNING</STATUS><STATUS>PAUSED</STATUS>", ServiceState::kPaused},
      {"<STATUS>STOPPING</STATUS><STATUS>RUNNING</STATUS>", ServiceState::kRunning},
      {"<x><STATUS>STOPPING</STATUS></x>", ServiceState::kStopPending},
      {"<STATUS>running</STATUS>", ServiceState::kUnknown},
      {"", ServiceState::kUnknown},
  };
  for (const Row& row : rows) {
    server_.Add({ScriptedHttpServer::Reply(200, row.body)});
    AdminResult error = AdminResult::kCommFailure;
    EXPECT_EQ(row.state, client.GetStatus(&error)) << row.body;
    EXPECT_EQ(AdminResult::kOk, error) << row.body;
  }
}

TEST_F(AdminClientTest, InflatesACompressedReply) {
  AdminClient& client = Client();
  const std::string plain = "<file><data>" + std::string(5000, 'a') + "</data></file>";
  server_.Add({ScriptedHttpServer::Reply(200, CompressReply(plain)),
               ScriptedHttpServer::Reply(200, "plain text")});
  std::string body;
  EXPECT_EQ(AdminResult::kOk, client.GenericRequest("GETLOG", -1, "&log=Vossik", true, &body));
  EXPECT_EQ(plain, body);
  EXPECT_EQ(AdminResult::kOk, client.GenericRequest("GETLOG", -1, "&log=Vossik", true, &body));
  EXPECT_EQ("plain text", body);
  EXPECT_EQ("/ACTION=GETLOG&log=Vossik&compress=true", server_.Paths()[0]);
}

TEST_F(AdminClientTest, NeedsAHostAndAPortAboveSixteen) {
  for (const auto& [host, port] :
       std::vector<std::pair<std::string, int32_t>>{{"", 8080}, {"127.0.0.1", 16}, {"h", 0}}) {
    AdminClient client;
    EXPECT_EQ(static_cast<int>(AdminResult::kBadArgument), client.Initialise("", host, port));
    std::string reply;
    EXPECT_EQ(kTransportNoSession, client.Request("GETSTATUS", {}, {}, &reply));
  }
}

TEST_F(AdminClientTest, AsksTheLocalServiceManagerAboutAServiceOnThisMachine) {
  FakeLocalService* local = nullptr;
  std::vector<std::string> opened;
  const auto opener = [&](const std::string& name, bool* manager_available) {
    opened.push_back(name);
    *manager_available = true;
    auto service = std::make_unique<FakeLocalService>();
    local = service.get();
    return std::unique_ptr<LocalService>(std::move(service));
  };
  AdminClient client(opener);
  ASSERT_EQ(kClientReady, client.Initialise("vossik", "127.0.0.1", server_.Port()));
  ASSERT_TRUE(client.HasLocalService());
  local->state = ServiceState::kPaused;
  AdminResult error = AdminResult::kCommFailure;
  EXPECT_EQ(ServiceState::kPaused, client.GetStatus(&error));
  EXPECT_EQ(AdminResult::kOk, error);
  EXPECT_TRUE(client.Stop(&error));
  EXPECT_TRUE(client.Continue(&error));  // paused: continued
  local->accept = false;
  error = AdminResult::kBadPassword;
  EXPECT_FALSE(client.Pause(&error));
  EXPECT_EQ(AdminResult::kBadPassword, error);  // a refused control call leaves it
  EXPECT_EQ(AdminResult::kControlFailed, client.Start());
  EXPECT_EQ((std::vector<std::string>{"query", "stop", "query", "continue", "pause", "query",
                                      "continue"}),
            local->calls);
  EXPECT_TRUE(server_.Paths().empty());

  // A service of that name on another machine is not the local one.
  AdminClient remote(opener);
  EXPECT_EQ(kClientReady, remote.Initialise("vossik", "10.0.0.5", 8080));
  EXPECT_FALSE(remote.HasLocalService());
  EXPECT_EQ(AdminResult::kNoLocalService, remote.Start());
  EXPECT_EQ(1u, opened.size());
}

}  // namespace
}  // namespace vossik
