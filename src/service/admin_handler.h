// AdminHandler answers the administration protocol for the service: it
// decides who may ask (the allow list, loopback only without a password, the
// password checked against a one-time challenge, a pause after repeated
// failures), runs the action through the service's ServiceControl and
// writes the reply. Every request is logged with its action, the client's
// address and the status, never with the password.
//
// Thread safety: Handle() runs on the HTTP server's threads, several at
// once; SetAccess() may be called from any thread meanwhile.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "indexer/index_census.h"
#include "service/address_rules.h"
#include "service/challenge_store.h"
#include "service/failure_limiter.h"
#include "service/request_path.h"

namespace vossik {

class LogSink;

/// What GETSTATUS reports.
struct ServiceStatus {
  enum class State { kRunning, kPaused, kStopping };
  State state = State::kRunning;
  bool building = false;
  bool build_held = false;    // the running build waits for a continue
  int progress = 0;           // of the running build
  std::string build_text;     // the running build's status line
  bool pending = false;       // a change or a request waits for a build
  long long next_build = -1;  // seconds until the next build is due; -1 for none
  long builds = 0;
  long failed_builds = 0;
};

/// Text published with the time it last changed.
struct DatedText {
  std::string text;
  std::time_t changed = 0;
};

/// What the handler asks of the service. Called on the HTTP threads.
class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  virtual ServiceStatus Status() = 0;
  /// Stop, pause, continue and build return at once; the service acts on
  /// its own thread.
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  virtual void Continue() = 0;
  virtual void BuildNow() = 0;
  /// Checks `text` as a configuration file and replaces the file with it.
  /// Returns 0, or 400 with the reason in `*problem` when the text is
  /// refused, or 500 when it could not be saved.
  [[nodiscard]] virtual int ReplaceConfiguration(std::string_view text, std::string* problem) = 0;
  /// Has the service read the configuration file again and apply it; called
  /// once the reply to the request that replaced it has gone out, since
  /// the new settings may move the service to another address.
  virtual void ApplyConfiguration() = 0;
  virtual std::filesystem::path ConfigurationFile() = 0;
  /// The file of the service's log `name` (any case), or none for a name
  /// that is not one of its logs.
  virtual std::optional<std::filesystem::path> LogFile(std::string_view name) = 0;
  /// The statistics text ("[Statistics]" ...).
  virtual DatedText Statistics() = 0;
  /// The last index counted; null before the first one.
  virtual std::shared_ptr<const IndexCensus> Pages() = 0;
};

/// One request as the HTTP server received it.
struct AdminRequest {
  std::string path;  // the request target, undecoded
  std::string body;
  ClientAddress client;
  bool body_too_large = false;  // more than kLargestBody came; the body is dropped
};

/// The reply. `after_reply` (may be empty) runs once the reply is sent.
struct AdminReply {
  int status = 200;
  std::string body;
  std::string content_type = "text/xml; charset=utf-8";
  std::function<void()> after_reply;
};

class AdminHandler {
 public:
  static constexpr std::size_t kLargestBody = 1 << 20;
  static constexpr std::size_t kLongestPath = 8 << 10;

  /// `control` and `log` must outlive the handler.
  AdminHandler(ServiceControl& control, LogSink& log);

  /// The password (empty for none) and the allow list in force.
  void SetAccess(std::string password, AllowList allow);

  AdminReply Handle(const AdminRequest& request);

 private:
  struct Access {
    std::string password;
    AllowList allow;
  };

  /// 0 when the request may go on, else the status that refuses it.
  int Admit(const AdminRequest& request, std::string_view password_parameter);
  AdminReply Run(std::string_view action, const RequestPath& path, const AdminRequest& request);
  AdminReply Log(std::string_view name, const RequestPath& path, bool clear);
  AdminReply PageList(const RequestPath& path);

  ServiceControl& control_;
  LogSink& log_;
  ChallengeStore challenges_;
  FailureLimiter failures_;
  std::mutex access_mutex_;
  std::shared_ptr<const Access> access_;  // under access_mutex_
};

}  // namespace vossik
