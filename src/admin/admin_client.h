// AdminClient administers a Vossik service over its HTTP protocol: each
// request is one GET of "/ACTION=NAME", with "&password=" (the password and
// a fresh challenge of the service, encrypted with the built-in public key)
// when a password is set, and the caller's extra query last. When the
// service administered is installed on this machine (a loopback host and a
// service name given), start, stop, pause, continue and the state go
// through the local service manager instead.
//
// Requests block the calling thread for up to their time-outs: a
// challenge 35 s to connect and 45 s to receive, a request 45 s and 210 s,
// each tried up to three times while the reply is lost on the way (never
// after a refused connection or any HTTP status).
//
// Ownership: the client owns its transport and its local service.
// Thread safety: one thread at a time; the owner serialises its uses.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "admin/admin_result.h"
#include "admin/local_service.h"
#include "net/http_request.h"

namespace vossik {

class LogSink;

/// Results of Initialise() beside AdminResult::kBadArgument.
inline constexpr int kClientReady = 0;             // the local service manager was reached
inline constexpr int kClientNoServiceManager = 1;  // a service name was given, no manager runs

/// Attaches the local service `name`; sets `*manager_available` to whether
/// the machine's service manager could be reached.
using LocalServiceOpener =
    std::function<std::unique_ptr<LocalService>(const std::string& name, bool* manager_available)>;

/// The time-outs of the protocol, in seconds.
struct AdminTimeouts {
  int challenge_connect = 35;
  int challenge_receive = 45;
  int request_connect = 45;
  int request_receive = 210;
};

/// How many times a request or a challenge is tried while its reply is lost.
inline constexpr int kAdminAttempts = 3;

class AdminClient {
 public:
  /// `opener` attaches local services; the default asks systemd.
  explicit AdminClient(LocalServiceOpener opener = nullptr);
  ~AdminClient();
  AdminClient(const AdminClient&) = delete;
  AdminClient& operator=(const AdminClient&) = delete;

  /// Takes the service's address: a non-empty host and a port above 16 make
  /// the transport, anything else gives kBadArgument and no transport.
  /// Then, when `service_name` is not empty and the host is this machine
  /// (empty, "localhost", 127.x.x.x or ::1), attaches the installed service
  /// of that name and returns kClientReady, or kClientNoServiceManager when
  /// no service manager runs. Owners discard a client for any other result.
  [[nodiscard]] int Initialise(std::string_view service_name, std::string_view host, int32_t port);

  /// The administrator password in clear text; empty sends none.
  void SetPassword(std::string password) { password_ = std::move(password); }
  bool HasLocalService() const { return local_ != nullptr; }
  /// Whether a usable host and port were given.
  bool HasTransport() const { return transport_ != nullptr; }
  LocalService* Local() { return local_.get(); }
  const std::string& Host() const { return host_; }
  int32_t Port() const { return port_; }

  /// One exchange: action `action`, the extra query `query` (with its own
  /// leading "&"), the body `body` (empty for none). Returns the HTTP status
  /// or a transport result; on 200 a non-empty reply body goes to `reply`.
  [[nodiscard]] int Request(std::string_view action, std::string_view query, std::string_view body,
                            std::string* reply);

  /// The service's state: from the local service manager when attached,
  /// else from GETSTATUS. `*error` becomes kOk on success, kBadPassword for
  /// 401 and kCommFailure for any other failure (the state is then kUnknown).
  [[nodiscard]] ServiceState GetStatus(AdminResult* error);

  /// Stop, pause and continue the service (continue starts a stopped local
  /// service). True on success, with `*error` set to kOk. A refused
  /// reply sets `*error` to kBadPassword or kCommFailure; a refused local
  /// control call leaves `*error` as it was.
  [[nodiscard]] bool Stop(AdminResult* error);
  [[nodiscard]] bool Pause(AdminResult* error);
  [[nodiscard]] bool Continue(AdminResult* error);
  /// Starts (or continues) the local service: kOk, kControlFailed, or
  /// kNoLocalService without one. The protocol cannot start a service.
  [[nodiscard]] AdminResult Start();

  /// GETCONFIG. With `stamp` >= 0 the service answers 304 (kNotModified)
  /// unless its configuration is newer than `stamp`; -1 always fetches. On
  /// kOk `*text` holds the bytes between "<CONFIG>" and "</CONFIG>".
  [[nodiscard]] AdminResult GetConfiguration(std::string* text, std::time_t stamp);
  /// SETCONFIG with the configuration text `text`; kBadArgument when empty.
  [[nodiscard]] AdminResult SetConfiguration(std::string_view text);
  /// Any action, as the service's data views ask for them: `query` first,
  /// then "&ifmodifiedsince=" when `stamp` >= 0, then "&compress=true" when
  /// `compress` is set (the reply is inflated when it comes compressed).
  [[nodiscard]] AdminResult GenericRequest(std::string_view action, std::time_t stamp,
                                           std::string_view query, bool compress,
                                           std::string* body);

  void SetTimeouts(const AdminTimeouts& timeouts) { timeouts_ = timeouts; }
  /// The clock that "ifmodifiedsince" counts from; the system clock by default.
  void SetClock(std::function<std::time_t()> now) { now_ = std::move(now); }
  /// Receives one line per attempt: the action, the attempt and its result
  /// (never the password). May be null; must outlive the client.
  void SetRequestLog(LogSink* log) { request_log_ = log; }

 private:
  [[nodiscard]] std::optional<std::string> FetchChallenge();
  [[nodiscard]] int Attempt(std::string_view action, std::string_view path, std::string_view body,
                            int connect, int receive, std::string* reply);
  [[nodiscard]] bool Control(std::string_view action, bool (LocalService::*local)(),
                             AdminResult* error);
  std::string ModifiedSinceQuery(std::time_t stamp) const;

  LocalServiceOpener opener_;
  std::unique_ptr<LocalService> local_;
  std::unique_ptr<HttpRequest> transport_;
  std::string host_;
  int32_t port_ = 0;
  std::string password_;
  AdminTimeouts timeouts_;
  std::function<std::time_t()> now_;
  LogSink* request_log_ = nullptr;
};

/// The password parameter's value for `password` and the service's
/// `challenge`: the encrypted text with each line feed between blocks
/// written "%0A", since a request line cannot hold a raw one.
std::string PasswordParameter(std::string_view password, std::string_view challenge);

}  // namespace vossik
