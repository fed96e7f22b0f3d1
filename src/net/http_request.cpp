#include "net/http_request.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

#include "base/ascii_case.h"

namespace vossik {
namespace {

constexpr const char* kUserAgent = "Vossik";

struct Transfer {
  CURL* handle = nullptr;
  std::string header_text;  // of the latest response; an interim 100 is dropped
  std::string body_text;    // handed out only when the whole body came
};

long StatusOf(CURL* handle) {
  long status = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return 0;
  return status;
}

bool IsSuccess(long status) { return status >= 200 && status <= 299; }

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) transfer->header_text.clear();
  transfer->header_text.append(line);
  return size * count;
}

// The body is read only for a successful status; returning less than was
// offered makes libcurl abandon the transfer.
size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  if (!IsSuccess(StatusOf(transfer->handle))) return 0;
  transfer->body_text.append(data, size * count);
  return size * count;
}

// A request line cannot hold a blank or a control character; such a path
// is refused rather than sent broken.
bool SendablePath(std::string_view path) {
  for (unsigned char c : path) {
    if (c <= 0x20 || c == 0x7F) return false;
  }
  return true;
}

std::string OriginOf(const std::string& host, uint16_t port) {
  const bool ipv6 = host.find(':') != std::string::npos;
  return "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

bool StartHttpTransport() {
  // libcurl's global state is made once for the process and kept until it
  // ends; freeing it earlier would race with requests on other threads.
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] { started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return started;
}

HttpRequest::HttpRequest() : session_(StartHttpTransport()) {}

void HttpRequest::SetHostAndPort(std::string host, uint16_t port) {
  host_ = std::move(host);
  port_ = port;
}

void HttpRequest::SetUrl(std::string_view url) {
  if (StartsWithIgnoringCase(url, "http://")) url.remove_prefix(7);
  const std::size_t host_end = url.find_first_of("/:");
  host_ = std::string(url.substr(0, host_end));
  port_ = 80;
  path_.clear();
  if (host_end != std::string_view::npos && url[host_end] == ':') {
    unsigned long port = 0;
    for (std::size_t i = host_end + 1; i < url.size() && url[i] >= '0' && url[i] <= '9'; ++i) {
      port = port * 10 + static_cast<unsigned long>(url[i] - '0');
      if (port > 65535) break;
    }
    port_ = static_cast<uint16_t>(port <= 65535 ? port : 0);
  }
  const std::size_t slash = url.find('/');
  if (slash != std::string_view::npos) path_ = std::string(url.substr(slash));
  AddHeader("Host", host_);
}

void HttpRequest::AddHeader(std::string_view name, std::string_view value) {
  std::string line(name);
  line += ": ";
  line += value;
  headers_.push_back(std::move(line));
}

void HttpRequest::AddIfModifiedSince(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (when == 0) when = 1;
  std::tm tm{};
  gmtime_r(&when, &tm);
  // Day and hour take two digits, as HTTP dates must; servers that read
  // dates strictly ignore the header otherwise.
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[tm.tm_wday % 7],
                tm.tm_mday, kMonths[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                tm.tm_sec);
  AddHeader("If-Modified-Since", text);
}

int HttpRequest::Execute(int connect_seconds, int receive_seconds, std::string* headers,
                         std::string* body) {
  if (!session_ || host_.empty()) return kTransportNoSession;
  const std::string target = path_.empty() ? "/" : path_;
  if (!SendablePath(target)) return kTransportNoSession;
  std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
  if (!handle) return kTransportNoSession;
  CURL* curl = handle.get();

  Transfer transfer{.handle = curl};
  const std::string origin = OriginOf(host_, port_) + "/";
  const long connect = connect_seconds > 0 ? connect_seconds : 1;
  const long receive = receive_seconds > 0 ? receive_seconds : 1;

  // The path goes into the request line as it stands: no normalising, no
  // percent-encoding.
  std::unique_ptr<curl_slist, ListDeleter> header_list;
  auto add_line = [&header_list](const char* line) {
    curl_slist* grown = curl_slist_append(header_list.get(), line);
    if (grown == nullptr) return false;
    static_cast<void>(header_list.release());
    header_list.reset(grown);
    return true;
  };
  bool ok =
      curl_easy_setopt(curl, CURLOPT_URL, origin.c_str()) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, target.c_str()) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_PROXY, "") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connect) == CURLE_OK &&
      // No byte for `receive` seconds ends the wait, while sending or receiving.
      curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(connect, receive)) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer) == CURLE_OK;

  for (const std::string& line : headers_) {
    if (StartsWithIgnoringCase(line, "host:")) continue;
    ok = ok && add_line(line.c_str());
  }
  const std::string_view sent_body(body_.c_str());  // up to the first zero byte
  if (!sent_body.empty()) {
    // A GET that carries a body: libcurl's own form type and
    // expect-continue are left out.
    ok = ok && add_line("Content-Type:") && add_line("Expect:") &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDS, sent_body.data()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(sent_body.size())) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "GET") == CURLE_OK;
  }
  if (header_list)
    ok = ok && curl_easy_setopt(curl, CURLOPT_HTTPHEADER, header_list.get()) == CURLE_OK;
  if (!ok) return kTransportNoSession;

  const CURLcode performed = curl_easy_perform(curl);
  const long status = StatusOf(curl);
  // A status outside 2xx is the answer, whatever happened to its body.
  if (status != 0 && !IsSuccess(status)) return static_cast<int>(status);
  if (performed == CURLE_OK && status != 0) {
    if (headers != nullptr) headers->append(transfer.header_text);
    if (body != nullptr) body->append(transfer.body_text);
    return static_cast<int>(status);
  }
  long request_bytes = 0;
  if (curl_easy_getinfo(curl, CURLINFO_REQUEST_SIZE, &request_bytes) != CURLE_OK) request_bytes = 0;
  if (performed == CURLE_SEND_ERROR || request_bytes == 0) return kTransportNotSent;
  return kTransportNoReply;
}

}  // namespace vossik
