#include "service/http_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "net/http_request.h"

namespace vossik {
namespace {

class HttpServerTest : public ::testing::Test {
 protected:
  HttpServerTest()
      : server_([this](const AdminRequest& request) {
          std::lock_guard<std::mutex> hold(mutex_);
          seen_.push_back(request);
          AdminReply reply;
          reply.body = "seen " + request.path;
          reply.after_reply = [this] {
            std::lock_guard<std::mutex> hold_again(mutex_);
            ++replies_sent_;
            sent_.notify_all();
          };
          return reply;
        }) {}

  int Get(const std::string& path, std::string body, std::string* reply) {
    HttpRequest request;
    request.SetHostAndPort("127.0.0.1", server_.Port());
    request.SetPath(path);
    request.SetBody(std::move(body));
    return request.Execute(5, 30, nullptr, reply);
  }

  std::mutex mutex_;
  std::condition_variable sent_;
  std::vector<AdminRequest> seen_;
  int replies_sent_ = 0;
  HttpServer server_;
};

TEST_F(HttpServerTest, HandsOverThePathUndecodedTheBodyAndTheClient) {
  std::string error;
  ASSERT_TRUE(server_.Start("127.0.0.1", 0, &error)) << error;
  ASSERT_NE(0, server_.Port());
  std::string reply;
  EXPECT_EQ(200,
            Get("/ACTION=SETCONFIG&password=AB%0ACD&log=%2F..", "<CONFIG>[A]</CONFIG>", &reply));
  EXPECT_EQ("seen /ACTION=SETCONFIG&password=AB%0ACD&log=%2F..", reply);
  {
    std::unique_lock<std::mutex> hold(mutex_);
    ASSERT_TRUE(
        sent_.wait_for(hold, std::chrono::seconds(30), [this] { return replies_sent_ == 1; }));
    ASSERT_EQ(1u, seen_.size());
    EXPECT_EQ("<CONFIG>[A]</CONFIG>", seen_[0].body);
    EXPECT_FALSE(seen_[0].body_too_large);
    EXPECT_EQ("127.0.0.1", seen_[0].client.Text());
  }

  // A body beyond the limit is dropped and marked, never kept.
  EXPECT_EQ(200,
            Get("/ACTION=SETCONFIG", std::string(AdminHandler::kLargestBody + 1, 'x'), &reply));
  std::lock_guard<std::mutex> hold(mutex_);
  ASSERT_EQ(2u, seen_.size());
  EXPECT_TRUE(seen_[1].body_too_large);
  EXPECT_EQ("", seen_[1].body);
}

TEST_F(HttpServerTest, SaysWhyItCannotListen) {
  std::string error;
  ASSERT_TRUE(server_.Start("127.0.0.1", 0, &error)) << error;
  HttpServer second([](const AdminRequest&) { return AdminReply{}; });
  EXPECT_FALSE(second.Start("127.0.0.1", server_.Port(), &error));
  EXPECT_NE(std::string::npos, error.find(std::to_string(server_.Port()))) << error;
  EXPECT_FALSE(second.Start("no-such-host.invalid", 0, &error));
  EXPECT_FALSE(second.Listening());
  server_.Stop();
  std::string reply;
  EXPECT_EQ(kTransportNotSent, Get("/ACTION=GETSTATUS", {}, &reply));
}

}  // namespace
}  // namespace vossik
