#include "service/http_server.h"

#include <microhttpd.h>
#include <netdb.h>

#include <cstring>
#include <memory>

#include "base/ascii_case.h"

namespace vossik {
namespace {

constexpr unsigned kThreads = 2;
constexpr unsigned kConnectionTimeoutSeconds = 30;
constexpr unsigned kMostConnections = 64;
constexpr unsigned kMostConnectionsPerAddress = 16;

// What one request gathers between the server's calls.
struct Exchange {
  std::string body;
  bool too_large = false;
  std::function<void()> after_reply;
};

// Paths reach the handler exactly as sent; a decoded "%2F" could not be
// told from a "/".
size_t KeepEscapes(void*, MHD_Connection*, char* text) { return std::strlen(text); }

MHD_Result Answer(MHD_Connection* connection, const AdminReply& reply) {
  MHD_Response* response = MHD_create_response_from_buffer(
      reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
  if (response == nullptr) return MHD_NO;
  if (!reply.body.empty()) {
    static_cast<void>(MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                                              reply.content_type.c_str()));
  }
  static_cast<void>(MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store"));
  const MHD_Result queued =
      MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
  MHD_destroy_response(response);
  return queued;
}

MHD_Result OnRequest(void* server_handler, MHD_Connection* connection, const char* url,
                     const char* method, const char*, const char* upload_data,
                     size_t* upload_data_size, void** request_state) {
  auto* exchange = static_cast<Exchange*>(*request_state);
  if (exchange == nullptr) {
    exchange = new Exchange;
    *request_state = exchange;
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (length != nullptr && std::strtoull(length, nullptr, 10) > AdminHandler::kLargestBody) {
      exchange->too_large = true;
    }
    return MHD_YES;
  }
  if (*upload_data_size > 0) {
    // A body beyond the limit is read and dropped, never kept.
    if (!exchange->too_large) {
      if (exchange->body.size() + *upload_data_size > AdminHandler::kLargestBody) {
        exchange->too_large = true;
        exchange->body.clear();
      } else {
        exchange->body.append(upload_data, *upload_data_size);
      }
    }
    *upload_data_size = 0;
    return MHD_YES;
  }

  AdminRequest request;
  request.path = url != nullptr ? url : "";
  request.body = std::move(exchange->body);
  request.body_too_large = exchange->too_large;
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  request.client = ClientAddress::From(info != nullptr ? info->client_addr : nullptr);

  AdminReply reply;
  if (!EqualsIgnoringCase(method, "GET") && !EqualsIgnoringCase(method, "POST")) {
    reply.status = MHD_HTTP_METHOD_NOT_ALLOWED;
  } else {
    reply = (*static_cast<HttpServer::Handler*>(server_handler))(request);
  }
  exchange->after_reply = std::move(reply.after_reply);
  return Answer(connection, reply);
}

void OnCompleted(void*, MHD_Connection*, void** request_state, MHD_RequestTerminationCode) {
  std::unique_ptr<Exchange> exchange(static_cast<Exchange*>(*request_state));
  *request_state = nullptr;
  if (exchange && exchange->after_reply) exchange->after_reply();
}

}  // namespace

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Start(const std::string& host, uint16_t port, std::string* error) {
  Stop();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int resolved = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0 || found == nullptr) {
    *error = "cannot listen on " + host + ": " + gai_strerror(resolved);
    return false;
  }
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> address(found, &freeaddrinfo);

  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO;
  // "::" takes IPv4 clients too; they arrive as mapped addresses.
  if (address->ai_family == AF_INET6) flags |= MHD_USE_DUAL_STACK;
  daemon_ = MHD_start_daemon(
      flags, port, nullptr, nullptr, &OnRequest, &handler_, MHD_OPTION_SOCK_ADDR, address->ai_addr,
      MHD_OPTION_THREAD_POOL_SIZE, kThreads, MHD_OPTION_CONNECTION_TIMEOUT,
      kConnectionTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT, kMostConnections,
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMostConnectionsPerAddress, MHD_OPTION_UNESCAPE_CALLBACK,
      &KeepEscapes, nullptr, MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted, nullptr, MHD_OPTION_END);
  if (daemon_ == nullptr) {
    *error = "cannot listen on " + host + " port " + service +
             " (is the port in use, or the address not this machine's?)";
    return false;
  }
  const MHD_DaemonInfo* bound = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
  port_ = bound != nullptr && bound->port != 0 ? bound->port : port;
  return true;
}

void HttpServer::Stop() {
  if (daemon_ == nullptr) return;
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
}

}  // namespace vossik
