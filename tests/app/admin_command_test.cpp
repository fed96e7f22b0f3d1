// `vossik -admin` against a scripted service: what it prints and the exit
// status scripts see.
#include "app/admin_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/scripted_http_server.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::ScriptedHttpServer;
using testing::TempDir;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class AdminCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(descriptor_.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
    UsePort(server_.Port());
  }
  void UsePort(int port) {
    store_.Clear();
    ASSERT_EQ(0, store_.Parse("[Service]\nPort=" + std::to_string(port) + "\n"));
  }
  Outcome Run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    // No service is installed here: the opener finds none.
    outcome.status = RunAdminCommand(
        store_, descriptor_.Root(), "vossik", args, out, err,
        [](const std::string&, bool* manager_available) -> std::unique_ptr<LocalService> {
          *manager_available = false;
          return nullptr;
        });
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
  }

  ConfigDescriptor descriptor_;
  SettingsStore store_;
  ScriptedHttpServer server_;
  TempDir dir_;
};

TEST_F(AdminCommandTest, PrintsWhatHappenedAndExitsWithTheResult) {
  server_.Add(
      {ScriptedHttpServer::Reply(200, "<service><STATUS>PAUSED</STATUS></service>"),
       ScriptedHttpServer::Reply(401), ScriptedHttpServer::Reply(200),
       ScriptedHttpServer::Reply(404),
       ScriptedHttpServer::Reply(200, "<file><data>a &lt;b&gt;&#13;&#10;c&#233;</data></file>"),
       ScriptedHttpServer::Reply(200, "<x>raw</x>")});
  struct Row {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string address = "127.0.0.1:" + std::to_string(server_.Port());
  const Row rows[] = {
      {{"status"}, 0, "Paused\n", ""},
      {{"stop"}, 15, "", "vossik: cannot stop the service at " + address + ": wrong password\n"},
      {{"Build"}, 0, "Build requested\n", ""},
      {{"log", "Other"},
       9,
       "",
       "vossik: cannot read the log Other of the service at " + address + ": not found\n"},
      {{"log", "Vossik", "2"}, 0, "a <b>\r\nc\xE9\n", ""},
      {{"request", "GETPAGES", "start=5"}, 0, "<x>raw</x>\n", ""},
      {{"start"}, 4, "", ""},
      {{"frobnicate"}, 7, "", ""},
      {{"log", "Vossik", "many"}, 7, "", ""},
      {{"setconfig", (dir_.Path() / "missing.cfg").string()}, 7, "", ""},
  };
  for (const Row& row : rows) {
    const Outcome outcome = Run(row.args);
    const std::string what = ::testing::PrintToString(row.args);
    EXPECT_EQ(row.status, outcome.status) << what << outcome.err;
    EXPECT_EQ(row.out, outcome.out) << what;
    if (!row.err.empty()) {
      EXPECT_EQ(row.err, outcome.err) << what;
    }
    if (row.status != 0) {
      EXPECT_FALSE(outcome.err.empty() && outcome.out.empty()) << what;
    }
  }
  const std::vector<std::string> paths = server_.Paths();
  EXPECT_EQ("/ACTION=GETLOG&log=Vossik&lines=2", paths[4]);
  EXPECT_EQ("/ACTION=GETPAGES&start=5", paths[5]);
  EXPECT_EQ(6u, paths.size());
}

TEST_F(AdminCommandTest, SavesTheConfigurationOnlyWhenTheServiceHasANewerOne) {
  const std::string copy = (dir_.Path() / "service.cfg").string();
  server_.Add({ScriptedHttpServer::Reply(200, "<CONFIG>[Watch]\nDelay=2\n</CONFIG>"),
               ScriptedHttpServer::Reply(304), ScriptedHttpServer::Reply(200)});
  EXPECT_EQ(0, Run({"getconfig", copy}).status);
  EXPECT_EQ("[Watch]\nDelay=2\n", ReadFile(copy));
  const Outcome unchanged = Run({"getconfig", copy});
  EXPECT_EQ(14, unchanged.status);
  EXPECT_EQ(copy + " is up to date\n", unchanged.out);
  EXPECT_EQ(0, Run({"setconfig", copy}).status);

  const auto requests = server_.Requests();
  ASSERT_EQ(3u, requests.size());
  EXPECT_EQ("/ACTION=GETCONFIG", requests[0].path);
  // The copy was written just now: the service's file must be newer than that.
  const std::string asked = "/ACTION=GETCONFIG&ifmodifiedsince=";
  ASSERT_TRUE(requests[1].path.starts_with(asked)) << requests[1].path;
  EXPECT_LE(std::stol(requests[1].path.substr(asked.size())), 0);
  EXPECT_EQ("<CONFIG>[Watch]\nDelay=2\n</CONFIG>", requests[2].body);
}

TEST_F(AdminCommandTest, SaysWhenNoServiceAnswers) {
  UsePort(testing::UnusedPort());
  const Outcome status = Run({"status"});
  EXPECT_EQ(8, status.status);
  EXPECT_TRUE(status.out.starts_with("Unknown: cannot ask the service at 127.0.0.1:"))
      << status.out;
  UsePort(16);
  const Outcome nowhere = Run({"status"});
  EXPECT_EQ(7, nowhere.status);
  EXPECT_NE(std::string::npos, nowhere.err.find("do not name a service")) << nowhere.err;
}

}  // namespace
}  // namespace vossik
