// HttpServer listens for the administration protocol with libmicrohttpd:
// a small fixed pool of threads, each with its own event loop, serves every
// connection (there is no thread per connection). Each request, its path
// taken as it came (nothing is decoded) and its body cut off beyond
// AdminHandler::kLargestBody, is handed to the handler, whose reply goes
// back as it stands; a reply's after-reply action runs once the reply has
// been sent or the client went away.
//
// Thread safety: Start and Stop on the owner's thread; the handler runs on
// the server's threads, several at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "service/admin_handler.h"

struct MHD_Daemon;

namespace vossik {

class HttpServer {
 public:
  using Handler = std::function<AdminReply(const AdminRequest&)>;

  /// `handler` must stay callable until Stop() returns.
  explicit HttpServer(Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  /// Listens on `host` (an address or a name of this machine) and `port`;
  /// port 0 takes any free port. False, with the reason in `*error`, when
  /// it cannot; a server already listening is stopped first.
  [[nodiscard]] bool Start(const std::string& host, uint16_t port, std::string* error);
  /// Closes the listening socket and every connection, and waits for the
  /// server's threads. Safe to call when not listening.
  void Stop();

  bool Listening() const { return daemon_ != nullptr; }
  /// The port listened on (the one chosen when 0 was asked for).
  uint16_t Port() const { return port_; }

 private:
  Handler handler_;
  MHD_Daemon* daemon_ = nullptr;
  uint16_t port_ = 0;
};

}  // namespace vossik
