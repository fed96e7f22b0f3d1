// A loopback HTTP server for tests that answers from a script: each request
// takes the next step (a reply, a connection closed without one, or a
// connection held open and never answered). It records what it received.
// It listens on 127.0.0.1 at a free port, serves on a thread of its own and
// stops when destroyed.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vossik::testing {

class ScriptedHttpServer {
 public:
  struct Step {
    enum class Kind { kReply, kClose, kHang };
    Kind kind = Kind::kReply;
    int status = 200;
    std::string body;
  };
  struct Received {
    std::string method;
    std::string path;
    std::string headers;  // the header lines as sent
    std::string body;
  };

  static Step Reply(int status, std::string body = {}) {
    return {Step::Kind::kReply, status, std::move(body)};
  }
  static Step Close() { return {Step::Kind::kClose, 0, {}}; }
  static Step Hang() { return {Step::Kind::kHang, 0, {}}; }

  ScriptedHttpServer();
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  uint16_t Port() const { return port_; }
  /// Appends steps to the script; a request beyond it is answered 500.
  void Add(std::vector<Step> steps);
  std::vector<Received> Requests() const;
  std::vector<std::string> Paths() const;

 private:
  void Serve();
  void Answer(int connection);

  int listener_ = -1;
  int stop_fd_ = -1;
  uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::deque<Step> script_;
  std::vector<Received> received_;
  std::vector<int> held_;  // hung connections, closed at the end
  std::thread thread_;
};

/// A loopback port that nothing listens on (now).
uint16_t UnusedPort();

}  // namespace vossik::testing
