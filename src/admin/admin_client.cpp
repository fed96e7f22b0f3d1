#include "admin/admin_client.h"

#include <cstdio>

#include "admin/compressed_reply.h"
#include "admin/systemd_service.h"
#include "base/ascii_case.h"
#include "base/log_sink.h"
#include "settings/secret_cipher.h"

namespace vossik {
namespace {

constexpr int kHttpOk = 200;
constexpr int kHttpNotModified = 304;
constexpr int kHttpUnauthorised = 401;
constexpr int kHttpNotFound = 404;
constexpr int kHttpNotImplemented = 501;
constexpr int32_t kLowestPort = 16;  // ports up to this one are not a service's

constexpr std::string_view kConfigOpen = "<CONFIG>";
constexpr std::string_view kConfigClose = "</CONFIG>";

bool IsThisMachine(std::string_view host) {
  return host.empty() || EqualsIgnoringCase(host, "localhost") || host == "::1" ||
         host.starts_with("127.");
}

AdminResult RefusalOf(int status) {
  return status == kHttpUnauthorised ? AdminResult::kBadPassword : AdminResult::kCommFailure;
}

std::unique_ptr<LocalService> OpenFromSystemd(const std::string& name, bool* manager_available) {
  return OpenSystemdService(name, manager_available);
}

}  // namespace

std::string PasswordParameter(std::string_view password, std::string_view challenge) {
  std::string plain(password);
  plain += challenge;
  std::string stored = EncryptSecret(plain);
  const std::size_t last_line_end = stored.find_last_of("\r\n");
  if (last_line_end != std::string::npos && last_line_end + 1 == stored.size()) {
    stored.resize(last_line_end);
  }
  std::string wire;
  wire.reserve(stored.size() + 16);
  for (char c : stored) {
    if (c == '\n') {
      wire += "%0A";
    } else if (c != '\r') {
      wire += c;
    }
  }
  return wire;
}

AdminClient::AdminClient(LocalServiceOpener opener)
    : opener_(opener ? std::move(opener) : LocalServiceOpener(&OpenFromSystemd)),
      now_([] { return std::time(nullptr); }) {}

AdminClient::~AdminClient() = default;

int AdminClient::Initialise(std::string_view service_name, std::string_view host, int32_t port) {
  int result = static_cast<int>(AdminResult::kBadArgument);
  transport_.reset();
  local_.reset();
  if (!host.empty() && port > kLowestPort && port <= 65535) {
    host_ = std::string(host);
    port_ = port;
    transport_ = std::make_unique<HttpRequest>();
    transport_->SetHostAndPort(host_, static_cast<uint16_t>(port_));
    result = kClientReady;
  }
  // The local service manager knows only this machine's services; a remote
  // host's service is never mistaken for a local one of the same name.
  if (!service_name.empty() && IsThisMachine(host)) {
    bool manager_available = false;
    local_ = opener_(std::string(service_name), &manager_available);
    result = manager_available ? kClientReady : kClientNoServiceManager;
  }
  return result;
}

int AdminClient::Attempt(std::string_view action, std::string_view path, std::string_view body,
                         int connect, int receive, std::string* reply) {
  transport_->SetPath(std::string(path));
  transport_->SetBody(std::string(body));
  const int result = transport_->Execute(connect, receive, nullptr, reply);
  if (request_log_ != nullptr) {
    char line[160];
    std::snprintf(line, sizeof line, "Request %.*s to %s:%d: %d", static_cast<int>(action.size()),
                  action.data(), host_.c_str(), port_, result);
    request_log_->Write(kLogService, kLogVerbose, line);
  }
  return result;
}

std::optional<std::string> AdminClient::FetchChallenge() {
  int result = kTransportNoReply;
  std::string challenge;
  for (int attempt = 0; attempt < kAdminAttempts && result == kTransportNoReply; ++attempt) {
    challenge.clear();
    result = Attempt("GETENCRYPT", "/ACTION=GETENCRYPT", {}, timeouts_.challenge_connect,
                     timeouts_.challenge_receive, &challenge);
  }
  if (result != kHttpOk) return std::nullopt;
  return challenge;
}

int AdminClient::Request(std::string_view action, std::string_view query, std::string_view body,
                         std::string* reply) {
  if (!transport_ || action.empty()) return kTransportNoSession;
  int result = kTransportNoReply;
  std::string received;
  for (int attempt = 0; attempt < kAdminAttempts && result == kTransportNoReply; ++attempt) {
    std::string path = "/ACTION=";
    path += action;
    // A challenge is good for one request only, and a lost reply may have
    // used it up: every attempt asks for its own. Without one the request
    // goes without a password, and the service's 401 tells the rest.
    if (!password_.empty()) {
      if (const std::optional<std::string> challenge = FetchChallenge()) {
        path += "&password=";
        path += PasswordParameter(password_, *challenge);
      }
    }
    path += query;
    received.clear();
    result = Attempt(action, path, body, timeouts_.request_connect, timeouts_.request_receive,
                     &received);
  }
  if (result == kHttpOk && !received.empty() && reply != nullptr) *reply = std::move(received);
  return result;
}

ServiceState AdminClient::GetStatus(AdminResult* error) {
  if (local_) {
    *error = AdminResult::kOk;
    return local_->QueryState();
  }
  std::string body;
  const int result = Request("GETSTATUS", {}, {}, &body);
  if (result != kHttpOk) {
    *error = RefusalOf(result);
    return ServiceState::kUnknown;
  }
  *error = AdminResult::kOk;
  if (body.find("<STATUS>PAUSED</STATUS>") != std::string::npos) return ServiceState::kPaused;
  if (body.find("<STATUS>RUNNING</STATUS>") != std::string::npos) return ServiceState::kRunning;
  if (body.find("<STATUS>STOPPING</STATUS>") != std::string::npos) {
    return ServiceState::kStopPending;
  }
  return ServiceState::kUnknown;
}

bool AdminClient::Control(std::string_view action, bool (LocalService::*local)(),
                          AdminResult* error) {
  if (local_) {
    if (!(local_.get()->*local)()) return false;
    *error = AdminResult::kOk;
    return true;
  }
  const int result = Request(action, {}, {}, nullptr);
  if (result != kHttpOk) {
    *error = RefusalOf(result);
    return false;
  }
  *error = AdminResult::kOk;
  return true;
}

bool AdminClient::Stop(AdminResult* error) { return Control("STOP", &LocalService::Stop, error); }

bool AdminClient::Pause(AdminResult* error) {
  return Control("PAUSE", &LocalService::Pause, error);
}

bool AdminClient::Continue(AdminResult* error) {
  return Control("CONTINUE", &LocalService::StartOrContinue, error);
}

AdminResult AdminClient::Start() {
  if (!local_) return AdminResult::kNoLocalService;
  return local_->StartOrContinue() ? AdminResult::kOk : AdminResult::kControlFailed;
}

std::string AdminClient::ModifiedSinceQuery(std::time_t stamp) const {
  if (stamp < 0) return {};
  return "&ifmodifiedsince=" + std::to_string(static_cast<long long>(stamp - now_()));
}

AdminResult AdminClient::GetConfiguration(std::string* text, std::time_t stamp) {
  std::string body;
  const int result = Request("GETCONFIG", ModifiedSinceQuery(stamp), {}, &body);
  if (result == kHttpOk) {
    const std::size_t open = body.find(kConfigOpen);
    const std::size_t close = body.find(kConfigClose);
    if (open == std::string::npos || close == std::string::npos ||
        close < open + kConfigOpen.size()) {
      return AdminResult::kBadArgument;
    }
    const std::size_t start = open + kConfigOpen.size();
    *text = body.substr(start, close - start);
    return AdminResult::kOk;
  }
  if (result == kHttpNotModified) return AdminResult::kNotModified;
  return RefusalOf(result);
}

AdminResult AdminClient::SetConfiguration(std::string_view text) {
  if (text.empty()) return AdminResult::kBadArgument;
  std::string body(kConfigOpen);
  body += text;
  body += kConfigClose;
  const int result = Request("SETCONFIG", {}, body, nullptr);
  return result == kHttpOk ? AdminResult::kOk : RefusalOf(result);
}

AdminResult AdminClient::GenericRequest(std::string_view action, std::time_t stamp,
                                        std::string_view query, bool compress, std::string* body) {
  std::string full(query);
  full += ModifiedSinceQuery(stamp);
  // The parameter brings its own "&", so that it never runs into the value
  // before it.
  if (compress) full += "&compress=true";
  std::string reply;
  const int result = Request(action, full, {}, &reply);
  if (compress) static_cast<void>(InflateReply(&reply));
  if (result == kHttpOk && body != nullptr) *body = std::move(reply);
  switch (result) {
    case kHttpOk:
      return AdminResult::kOk;
    case kHttpUnauthorised:
      return AdminResult::kBadPassword;
    case kHttpNotModified:
      return AdminResult::kNotModified;
    case kHttpNotFound:
      return AdminResult::kNotFound;
    case kHttpNotImplemented:
      return AdminResult::kNotSupported;
    default:
      return AdminResult::kCommFailure;
  }
}

}  // namespace vossik
