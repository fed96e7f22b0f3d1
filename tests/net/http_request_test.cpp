#include "net/http_request.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/scripted_http_server.h"

namespace vossik {
namespace {

using testing::ScriptedHttpServer;

// Short time-outs, so that the cases that wait for one end quickly.
constexpr int kConnectSeconds = 2;
constexpr int kReceiveSeconds = 1;

struct Outcome {
  int result = 0;
  std::string headers;
  std::string body;
};

Outcome Execute(HttpRequest& request) {
  Outcome outcome;
  outcome.result =
      request.Execute(kConnectSeconds, kReceiveSeconds, &outcome.headers, &outcome.body);
  return outcome;
}

HttpRequest To(uint16_t port, std::string path) {
  HttpRequest request;
  request.SetHostAndPort("127.0.0.1", port);
  request.SetPath(std::move(path));
  return request;
}

TEST(HttpRequest, ReturnsTheStatusAndReadsTheBodyOnlyOfASuccess) {
  ScriptedHttpServer server;
  server.Add({ScriptedHttpServer::Reply(200, "<STATUS>RUNNING</STATUS>"),
              ScriptedHttpServer::Reply(404, "no such thing"), ScriptedHttpServer::Reply(204)});
  HttpRequest request = To(server.Port(), "/ACTION=GETSTATUS");
  Outcome ok = Execute(request);
  EXPECT_EQ(200, ok.result);
  EXPECT_EQ("<STATUS>RUNNING</STATUS>", ok.body);
  EXPECT_TRUE(ok.headers.starts_with("HTTP/1.1 200")) << ok.headers;

  Outcome missing = Execute(request);
  EXPECT_EQ(404, missing.result);
  EXPECT_EQ("", missing.body);
  EXPECT_EQ("", missing.headers);
  EXPECT_EQ(204, Execute(request).result);
}

TEST(HttpRequest, TellsAConnectionThatFailedFromAReplyThatDidNotCome) {
  HttpRequest refused = To(testing::UnusedPort(), "/");
  EXPECT_EQ(kTransportNotSent, Execute(refused).result);

  ScriptedHttpServer server;
  server.Add({ScriptedHttpServer::Close(), ScriptedHttpServer::Hang()});
  HttpRequest request = To(server.Port(), "/ACTION=GETSTATUS");
  EXPECT_EQ(kTransportNoReply, Execute(request).result);  // closed without a reply
  EXPECT_EQ(kTransportNoReply, Execute(request).result);  // no reply within the time-out

  HttpRequest nowhere;
  EXPECT_EQ(kTransportNoSession, Execute(nowhere).result);  // no host
  HttpRequest blank = To(server.Port(), "/ACTION=GETLOG&log=a b");
  EXPECT_EQ(kTransportNoSession, Execute(blank).result);  // cannot be a request line
}

TEST(HttpRequest, SendsThePathAsItIsWithItsBodyAndNameAndNoProxy) {
  ScriptedHttpServer server;
  server.Add({ScriptedHttpServer::Reply(200, "ok")});
  // A proxy from the environment would take the request elsewhere.
  setenv("http_proxy", "http://127.0.0.1:1", 1);
  HttpRequest request = To(server.Port(), "/ACTION=SETCONFIG&x=%0A/../y");
  request.SetBody(std::string("<CONFIG>[A]\nk=v</CONFIG>\0ignored", 33));
  request.AddHeader("X-Test", "1");
  EXPECT_EQ(200, Execute(request).result);
  unsetenv("http_proxy");

  const auto received = server.Requests();
  ASSERT_EQ(1u, received.size());
  EXPECT_EQ("GET", received[0].method);
  EXPECT_EQ("/ACTION=SETCONFIG&x=%0A/../y", received[0].path);
  EXPECT_EQ("<CONFIG>[A]\nk=v</CONFIG>", received[0].body);
  EXPECT_NE(std::string::npos, received[0].headers.find("User-Agent: Vossik\r\n"));
  EXPECT_NE(std::string::npos, received[0].headers.find("X-Test: 1\r\n"));
}

TEST(HttpRequest, TakesHostPortAndPathFromAnAddress) {
  struct Row {
    const char* url;
    const char* host;
    uint16_t port;
    const char* path;
  };
  const Row rows[] = {
      {"http://example.org/a/b.xml", "example.org", 80, "/a/b.xml"},
      {"HTTP://10.0.0.5:8080/ACTION=GETSTATS", "10.0.0.5", 8080, "/ACTION=GETSTATS"},
      {"example.org:81", "example.org", 81, ""},
      {"example.org", "example.org", 80, ""},
  };
  for (const Row& row : rows) {
    HttpRequest request;
    request.SetUrl(row.url);
    EXPECT_EQ(row.host, request.Host()) << row.url;
    EXPECT_EQ(row.port, request.Port()) << row.url;
    EXPECT_EQ(row.path, request.Path()) << row.url;
    ASSERT_EQ(1u, request.Headers().size());
    EXPECT_EQ(std::string("Host: ") + row.host, request.Headers()[0]);
  }
}

TEST(HttpRequest, WritesIfModifiedSinceAsAnHttpDate) {
  HttpRequest request;
  request.AddIfModifiedSince(784111777);  // Sunday, 6 November 1994, 08:49:37 GMT
  request.AddIfModifiedSince(0);          // taken as one second after 1970 began
  ASSERT_EQ(2u, request.Headers().size());
  EXPECT_EQ("If-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT", request.Headers()[0]);
  EXPECT_EQ("If-Modified-Since: Thu, 01 Jan 1970 00:00:01 GMT", request.Headers()[1]);
}

}  // namespace
}  // namespace vossik
