// HttpRequest sends one HTTP GET to a host and port and collects the reply:
// the administration client's transport, and the fetch of the setting
// controls that read a web address. It goes straight to the host (never
// through a proxy, whatever the environment says) and names itself "Vossik".
//
// Each Execute() uses a libcurl easy handle of its own, made and freed
// within the call; the object keeps only the request's parts, so it may be
// executed again (a retry) with the same parts.
//
// Thread safety: one object is used by one thread at a time; different
// objects may execute on different threads at once.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

/// Transport results of Execute(), beside HTTP statuses.
inline constexpr int kTransportNoSession = -1;  // no session, no connection or no request object
inline constexpr int kTransportNotSent =
    -2;  // refused, unknown host, connect time-out, send failed
inline constexpr int kTransportNoReply = -3;  // sent, but no status or no complete body

/// Starts libcurl's process-wide state the first time it is called and
/// returns whether it is usable. Safe from any thread; HttpRequest calls it.
[[nodiscard]] bool StartHttpTransport();

class HttpRequest {
 public:
  /// Starts the transport (see StartHttpTransport); without it every
  /// Execute() fails with kTransportNoSession.
  HttpRequest();

  void SetHostAndPort(std::string host, uint16_t port);
  /// The request target, sent exactly as given ("/ACTION=GETSTATUS"). An
  /// empty path asks for "/".
  void SetPath(std::string path) { path_ = std::move(path); }
  /// Sent with the GET, up to its first zero byte; empty means no body.
  void SetBody(std::string body) { body_ = std::move(body); }
  /// Takes host, port and path from `url`: a leading "http://" (any case) is
  /// skipped, the host runs to the first "/" or ":", the port follows ":"
  /// (80 when absent), and the path is everything from the first "/" (none
  /// when there is no "/"). Adds the header "Host".
  void SetUrl(std::string_view url);
  /// Appends the line "NAME: VALUE". A header the library writes itself
  /// (Host) keeps the library's value, as an add-if-new would.
  void AddHeader(std::string_view name, std::string_view value);
  /// Adds "If-Modified-Since" with `when` as an HTTP date in GMT
  /// ("Sun, 06 Nov 1994 08:49:37 GMT"); a time of 0 is taken as 1.
  void AddIfModifiedSince(std::time_t when);

  /// Sends the request with the given time-outs in seconds: `connect_seconds`
  /// for the connection, `receive_seconds` for each wait on the reply.
  /// Returns the HTTP status, or one of the transport results above. For a
  /// status of 200 to 299 the raw reply headers (CRLF lines) are appended to
  /// `headers` and the body to `body`; for other statuses nothing is read.
  /// Either out parameter may be null.
  [[nodiscard]] int Execute(int connect_seconds, int receive_seconds, std::string* headers,
                            std::string* body);

  const std::string& Host() const { return host_; }
  uint16_t Port() const { return port_; }
  const std::string& Path() const { return path_; }
  const std::vector<std::string>& Headers() const { return headers_; }

 private:
  bool session_ = false;
  std::string host_;
  uint16_t port_ = 80;
  std::string path_;
  std::string body_;
  std::vector<std::string> headers_;
};

}  // namespace vossik
