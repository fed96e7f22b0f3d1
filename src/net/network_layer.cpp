#include "net/network_layer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vossik {
namespace {

constexpr const char* kRootServers[] = {
    "a.root-servers.net", "b.root-servers.net",
    "c.root-servers.net", "d.root-servers.net",
    "e.root-servers.net", "f.root-servers.net",
    "g.root-servers.net", "h.root-servers.net",
    "i.root-servers.net", "j.root-servers.net",
    "k.root-servers.net", "l.root-servers.net",
    "m.root-servers.net", nullptr,
};

constexpr const char* kRootsFile = "mxroots";

}  // namespace

const char* const* NetworkLayer::RootServers() { return kRootServers; }

bool NetworkLayer::Start() {
  // The sockets layer is usable when the process may open a socket at all;
  // a sandbox without networking fails here rather than at the first request.
  const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  ::close(probe);
  std::error_code ec;
  if (!std::filesystem::exists(kRootsFile, ec)) {
    // A read-only working folder only costs the resolver its cache file.
    std::ofstream out(kRootsFile, std::ios::binary | std::ios::trunc);
    for (const char* const* name = kRootServers; *name != nullptr; ++name) out << *name << '\n';
  }
  started_ = true;
  return true;
}

void NetworkLayer::Shutdown() { started_ = false; }

}  // namespace vossik
