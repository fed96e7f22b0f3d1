#include "service/admin_handler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "admin/compressed_reply.h"
#include "base/ascii_case.h"
#include "base/file_io.h"
#include "base/log_sink.h"
#include "indexer/pages_report.h"
#include "service/log_tail.h"
#include "settings/secret_cipher.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

constexpr int kOk = 200;
constexpr int kNotModified = 304;
constexpr int kBadRequest = 400;
constexpr int kUnauthorised = 401;
constexpr int kForbidden = 403;
constexpr int kNotFound = 404;
constexpr int kTooLarge = 413;
constexpr int kPathTooLong = 414;
constexpr int kServerError = 500;
constexpr int kNotImplemented = 501;

constexpr long kDefaultLogLines = 100;
constexpr long kMostLogLines = 100000;
constexpr std::size_t kLoggedActionLength = 40;

constexpr std::string_view kConfigOpen = "<CONFIG>";
constexpr std::string_view kConfigClose = "</CONFIG>";
constexpr std::string_view kCompressParameter = "compress=true";

using Clock = std::chrono::steady_clock;

std::string_view ReasonOf(int status) {
  switch (status) {
    case kBadRequest:
      return "Bad request";
    case kUnauthorised:
      return "Unauthorized";
    case kForbidden:
      return "Forbidden";
    case kNotFound:
      return "Not found";
    case kTooLarge:
      return "Request body too large";
    case kPathTooLong:
      return "Request path too long";
    case kNotImplemented:
      return "Not implemented";
    default:
      return "Error";
  }
}

AdminReply Refusal(int status) {
  AdminReply reply;
  reply.status = status;
  // A 304 carries no body.
  if (status != kNotModified) reply.body = "<ERROR>" + std::string(ReasonOf(status)) + "</ERROR>";
  return reply;
}

// The action as it may appear in the log: short, printable.
std::string LoggedAction(std::string_view action) {
  if (action.empty()) return "(no action)";
  std::string out;
  for (char c : action.substr(0, kLoggedActionLength)) {
    out += c > 0x20 && c < 0x7F ? c : '?';
  }
  return out;
}

bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return difference == 0;
}

std::optional<long long> NumberParameter(const RequestPath& path, std::string_view name) {
  const std::optional<std::string_view> value = path.Find(name);
  if (!value || value->empty()) return std::nullopt;
  const std::string text(*value);
  char* end = nullptr;
  errno = 0;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
  return number;
}

// "&ifmodifiedsince=N" asks for 304 unless the data changed after now + N.
bool Unchanged(const RequestPath& path, std::time_t changed) {
  const std::optional<long long> since = NumberParameter(path, "ifmodifiedsince");
  return since && changed <= std::time(nullptr) + *since;
}

std::time_t ModificationTime(const std::filesystem::path& file) {
  struct stat info {};
  return stat(file.c_str(), &info) == 0 ? info.st_mtime : 0;
}

std::string Element(std::string_view name, std::string_view text) {
  std::string out = "<" + std::string(name) + ">";
  AppendEscapedUtf8(out, text);
  out += "</" + std::string(name) + ">";
  return out;
}

std::string StatusBody(const ServiceStatus& status) {
  std::string body = "<service><STATUS>";
  body += status.state == ServiceStatus::State::kPaused     ? "PAUSED"
          : status.state == ServiceStatus::State::kStopping ? "STOPPING"
                                                            : "RUNNING";
  body += "</STATUS>";
  body += Element("building", status.building ? "1" : "0");
  body += Element("held", status.build_held ? "1" : "0");
  body += Element("progress", std::to_string(status.progress));
  body += Element("buildtext", status.build_text);
  body += Element("pending", status.pending ? "1" : "0");
  body += Element("nextbuild", std::to_string(status.next_build));
  body += Element("builds", std::to_string(status.builds));
  body += Element("failedbuilds", std::to_string(status.failed_builds));
  body += "</service>";
  return body;
}

bool IsLogNameSafe(std::string_view name) {
  return !name.empty() && name.find_first_of("/\\") == std::string_view::npos &&
         name.find("..") == std::string_view::npos;
}

}  // namespace

AdminHandler::AdminHandler(ServiceControl& control, LogSink& log)
    : control_(control), log_(log), access_(std::make_shared<Access>()) {}

void AdminHandler::SetAccess(std::string password, AllowList allow) {
  auto access = std::make_shared<Access>(Access{std::move(password), std::move(allow)});
  std::lock_guard<std::mutex> hold(access_mutex_);
  access_ = std::move(access);
}

int AdminHandler::Admit(const AdminRequest& request, std::string_view password_parameter) {
  std::shared_ptr<const Access> access;
  {
    std::lock_guard<std::mutex> hold(access_mutex_);
    access = access_;
  }
  // Without a password, being on this machine is the only credential.
  if (access->password.empty()) return request.client.IsLoopback() ? 0 : kForbidden;

  const std::string client = request.client.Text();
  const Clock::time_point now = Clock::now();
  if (failures_.Blocked(client, now)) return kUnauthorised;
  // A request without a password is no guess at one; it is refused without
  // counting against the address.
  if (password_parameter.empty()) return kUnauthorised;

  const std::string plain = DecryptSecret(password_parameter);
  const std::string& password = access->password;
  // The challenge is used up by this request whether the password is right or not.
  const bool fresh =
      plain.size() > password.size() && challenges_.Redeem(plain.substr(password.size()), now);
  if (fresh && SameBytes(std::string_view(plain).substr(0, password.size()), password)) return 0;

  if (failures_.RecordFailure(client, now)) {
    log_.Write(kLogWarning, kLogCritical,
               "Too many wrong passwords from " + client +
                   "; its requests are refused for the rest of the minute");
  }
  return kUnauthorised;
}

AdminReply AdminHandler::Handle(const AdminRequest& request) {
  // "compress=true" may come without an "&" of its own, run into the value
  // or action before it.
  std::string_view raw = request.path;
  bool compress = false;
  if (raw.ends_with(kCompressParameter)) {
    compress = true;
    raw.remove_suffix(kCompressParameter.size());
    if (raw.ends_with('&')) raw.remove_suffix(1);
  }
  const bool path_fits = request.path.size() <= kLongestPath;
  const RequestPath path = path_fits ? ParseRequestPath(raw) : RequestPath{};
  std::shared_ptr<const Access> access;
  {
    std::lock_guard<std::mutex> hold(access_mutex_);
    access = access_;
  }

  AdminReply reply;
  if (!path_fits) {
    reply = Refusal(kPathTooLong);
  } else if (!access->allow.Allows(request.client)) {
    reply = Refusal(kForbidden);
  } else if (request.body_too_large) {
    reply = Refusal(kTooLarge);
  } else if (path.action.empty()) {
    reply = Refusal(kNotFound);
  } else if (EqualsIgnoringCase(path.action, "GETENCRYPT")) {
    reply.body = challenges_.Issue(Clock::now());
    reply.content_type = "text/plain";
  } else {
    const int refusal = Admit(request, path.Find("password").value_or(std::string_view()));
    reply = refusal != 0 ? Refusal(refusal) : Run(path.action, path, request);
  }

  if (compress && reply.status == kOk && !reply.body.empty()) {
    std::string packed = CompressReply(reply.body);
    if (!packed.empty()) {
      reply.body = std::move(packed);
      reply.content_type = "application/octet-stream";
    }
  }

  log_.Write(kLogService, kLogGeneral,
             LoggedAction(path.action) + " from " + request.client.Text() + ": " +
                 std::to_string(reply.status));
  return reply;
}

AdminReply AdminHandler::Run(std::string_view action, const RequestPath& path,
                             const AdminRequest& request) {
  const auto is = [action](std::string_view name) { return EqualsIgnoringCase(action, name); };
  AdminReply reply;
  if (is("GETSTATUS")) {
    reply.body = StatusBody(control_.Status());
  } else if (is("STOP")) {
    reply.body = "<service><STATUS>STOPPING</STATUS></service>";
    // The reply goes out first: once stopping, the service stops listening.
    reply.after_reply = [&control = control_] { control.Stop(); };
  } else if (is("PAUSE")) {
    control_.Pause();
    reply.body = StatusBody(control_.Status());
  } else if (is("CONTINUE")) {
    control_.Continue();
    reply.body = StatusBody(control_.Status());
  } else if (is("BUILD")) {
    control_.BuildNow();
    reply.body = StatusBody(control_.Status());
  } else if (is("GETCONFIG")) {
    const std::filesystem::path file = control_.ConfigurationFile();
    std::string text;
    if (!ReadWholeFile(file, &text)) return Refusal(kServerError);
    if (Unchanged(path, ModificationTime(file))) return Refusal(kNotModified);
    reply.body = std::string(kConfigOpen) + text + std::string(kConfigClose);
  } else if (is("SETCONFIG")) {
    const std::size_t open = request.body.find(kConfigOpen);
    const std::size_t close = request.body.rfind(kConfigClose);
    if (open == std::string::npos || close == std::string::npos ||
        close < open + kConfigOpen.size()) {
      reply = Refusal(kBadRequest);
      reply.body = "<ERROR>The body holds no &lt;CONFIG&gt; block</ERROR>";
      return reply;
    }
    const std::size_t start = open + kConfigOpen.size();
    std::string problem;
    const int refused = control_.ReplaceConfiguration(
        std::string_view(request.body).substr(start, close - start), &problem);
    if (refused != 0) {
      reply.status = refused;
      reply.body = Element("ERROR", problem);
    } else {
      reply.after_reply = [&control = control_] { control.ApplyConfiguration(); };
    }
  } else if (is("GETLOG") || is("CLEARLOG")) {
    return Log(path.Find("log").value_or(std::string_view()), path, is("CLEARLOG"));
  } else if (is("GETSTATS")) {
    const DatedText statistics = control_.Statistics();
    if (Unchanged(path, statistics.changed)) return Refusal(kNotModified);
    reply.body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
                 Element("statistics", statistics.text) + "\n";
  } else if (is("GETPAGES")) {
    return PageList(path);
  } else {
    return Refusal(kNotImplemented);
  }
  return reply;
}

AdminReply AdminHandler::Log(std::string_view name, const RequestPath& path, bool clear) {
  if (!IsLogNameSafe(name)) return Refusal(kNotFound);
  const std::optional<std::filesystem::path> file = control_.LogFile(name);
  if (!file) return Refusal(kNotFound);
  AdminReply reply;
  if (clear) {
    // The log writes in append mode, so lines written after the cut land at
    // the new end of the file.
    if (truncate(file->c_str(), 0) != 0 && errno != ENOENT) return Refusal(kServerError);
    return reply;
  }
  if (Unchanged(path, ModificationTime(*file))) return Refusal(kNotModified);
  const long lines = std::clamp<long long>(
      NumberParameter(path, "lines").value_or(kDefaultLogLines), 0, kMostLogLines);
  std::string text;
  if (!ReadLastLines(*file, lines, &text)) return Refusal(kServerError);
  reply.body = "<file><data>";
  AppendEscapedUtf8(reply.body, text);
  reply.body += "</data></file>";
  return reply;
}

AdminReply AdminHandler::PageList(const RequestPath& path) {
  const std::shared_ptr<const IndexCensus> census = control_.Pages();
  const std::time_t changed = census ? census->published : 0;
  if (census && Unchanged(path, changed)) return Refusal(kNotModified);
  const std::size_t total = census ? census->pages.size() : 0;
  const std::size_t start = static_cast<std::size_t>(std::clamp<long long>(
      NumberParameter(path, "start").value_or(0), 0, static_cast<long long>(total)));
  const std::size_t count = static_cast<std::size_t>(
      std::clamp<long long>(NumberParameter(path, "count").value_or(static_cast<long long>(total)),
                            0, static_cast<long long>(total - start)));

  // The share of every page is against the largest of them all, not of
  // the batch asked for.
  uint64_t largest = 0;
  if (census) {
    for (const IndexedPage& page : census->pages) largest = std::max(largest, page.size);
  }
  AdminReply reply;
  std::string& body = reply.body;
  body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"" + std::to_string(total) +
         "\" start=\"" + std::to_string(start) + "\">\n";
  for (std::size_t i = start; i < start + count; ++i) {
    const IndexedPage& page = census->pages[i];
    AppendPageXml(body, PageRecord{page.url, page.title, page.size, page.modified, page.words},
                  largest);
  }
  body += "</pages>\n";
  return reply;
}

}  // namespace vossik
