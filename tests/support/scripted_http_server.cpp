#include "support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace vossik::testing {
namespace {

int ListenOnLoopback(uint16_t* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, 16) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  *port = ntohs(address.sin_port);
  return fd;
}

bool ReadRequest(int connection, ScriptedHttpServer::Received* request) {
  std::string data;
  char buffer[4096];
  std::size_t header_end = std::string::npos;
  std::size_t body_length = 0;
  for (;;) {
    if (header_end != std::string::npos && data.size() >= header_end + 4 + body_length) break;
    const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    data.append(buffer, static_cast<std::size_t>(got));
    if (header_end == std::string::npos &&
        (header_end = data.find("\r\n\r\n")) != std::string::npos) {
      const std::string head = data.substr(0, header_end);
      for (std::size_t at = head.find("\r\n"); at != std::string::npos;
           at = head.find("\r\n", at + 2)) {
        const std::string line = head.substr(at + 2, head.find("\r\n", at + 2) - at - 2);
        if (line.size() > 15 && strncasecmp(line.c_str(), "content-length:", 15) == 0) {
          body_length = std::strtoul(line.c_str() + 15, nullptr, 10);
        }
      }
    }
  }
  const std::string head = data.substr(0, header_end);
  const std::size_t line_end = head.find("\r\n");
  const std::string request_line = head.substr(0, line_end);
  const std::size_t blank = request_line.find(' ');
  request->method = request_line.substr(0, blank);
  request->path = request_line.substr(blank + 1, request_line.rfind(' ') - blank - 1);
  request->headers = line_end == std::string::npos ? "" : head.substr(line_end + 2);
  request->body = data.substr(header_end + 4, body_length);
  return true;
}

}  // namespace

uint16_t UnusedPort() {
  uint16_t port = 0;
  close(ListenOnLoopback(&port));
  return port;
}

ScriptedHttpServer::ScriptedHttpServer() {
  listener_ = ListenOnLoopback(&port_);
  stop_fd_ = eventfd(0, EFD_CLOEXEC);
  thread_ = std::thread([this] { Serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  const uint64_t one = 1;
  static_cast<void>(write(stop_fd_, &one, sizeof one));
  thread_.join();
  for (int connection : held_) close(connection);
  close(listener_);
  close(stop_fd_);
}

void ScriptedHttpServer::Add(std::vector<Step> steps) {
  std::lock_guard<std::mutex> hold(mutex_);
  for (Step& step : steps) script_.push_back(std::move(step));
}

std::vector<ScriptedHttpServer::Received> ScriptedHttpServer::Requests() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return received_;
}

std::vector<std::string> ScriptedHttpServer::Paths() const {
  std::vector<std::string> paths;
  for (const Received& request : Requests()) paths.push_back(request.path);
  return paths;
}

void ScriptedHttpServer::Serve() {
  for (;;) {
    pollfd watched[2] = {{listener_, POLLIN, 0}, {stop_fd_, POLLIN, 0}};
    if (poll(watched, 2, -1) < 0) continue;
    if (watched[1].revents & POLLIN) return;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) Answer(connection);
  }
}

void ScriptedHttpServer::Answer(int connection) {
  Received request;
  if (!ReadRequest(connection, &request)) {
    close(connection);
    return;
  }
  Step step = Reply(500, "the script has no step for this request");
  {
    std::lock_guard<std::mutex> hold(mutex_);
    received_.push_back(request);
    if (!script_.empty()) {
      step = std::move(script_.front());
      script_.pop_front();
    }
  }
  if (step.kind == Step::Kind::kHang) {
    held_.push_back(connection);
    return;
  }
  if (step.kind == Step::Kind::kReply) {
    const std::string reply = "HTTP/1.1 " + std::to_string(step.status) +
                              " Scripted\r\nContent-Length: " + std::to_string(step.body.size()) +
                              "\r\nConnection: close\r\n\r\n" + step.body;
    for (std::size_t sent = 0; sent < reply.size();) {
      const ssize_t wrote =
          send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
      if (wrote <= 0) break;
      sent += static_cast<std::size_t>(wrote);
    }
  }
  close(connection);
}

}  // namespace vossik::testing
