// Which client addresses the service answers: a list of addresses and
// networks ("127.0.0.1", "10.0.0.0/8", "::1", "fd00::/8"), and whether an
// address is this machine's loopback. An IPv4 address that reaches an IPv6
// socket (::ffff:10.1.2.3) counts as the IPv4 address.
//
// Thread safety: an AllowList is immutable after Parse and may be read from
// any thread.
#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

/// A client address in comparable form.
struct ClientAddress {
  bool ipv6 = false;
  std::array<uint8_t, 16> bytes{};  // IPv4 in the first 4

  /// Null or an address family other than IPv4 and IPv6 gives 0.0.0.0.
  static ClientAddress From(const sockaddr* address);
  /// Reads "10.1.2.3" or "fe80::1"; false for anything else.
  [[nodiscard]] static bool Parse(std::string_view text, ClientAddress* out);

  bool IsLoopback() const;
  std::string Text() const;
};

/// The default of service:allow: this machine only.
inline constexpr std::string_view kLoopbackNetworks = "127.0.0.0/8,::1";

class AllowList {
 public:
  /// Takes the entries of service:allow. False, naming the entry in
  /// `*error`, when one is not an address or a network; the list is then
  /// left as it was.
  [[nodiscard]] bool Parse(const std::vector<std::string>& entries, std::string* error);
  bool Allows(const ClientAddress& address) const;

 private:
  struct Network {
    ClientAddress base;
    int prefix_bits = 0;
  };
  std::vector<Network> networks_;
};

}  // namespace vossik
