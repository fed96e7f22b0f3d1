#include "service/address_rules.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace vossik {
namespace {

constexpr uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

bool PrefixMatches(const ClientAddress& a, const ClientAddress& b, int bits) {
  for (int i = 0; bits > 0; ++i, bits -= 8) {
    const uint8_t mask = bits >= 8 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - bits));
    if ((a.bytes[i] & mask) != (b.bytes[i] & mask)) return false;
  }
  return true;
}

}  // namespace

ClientAddress ClientAddress::From(const sockaddr* address) {
  ClientAddress out;
  if (address == nullptr) return out;
  if (address->sa_family == AF_INET) {
    sockaddr_in in{};
    std::memcpy(&in, address, sizeof in);
    std::memcpy(out.bytes.data(), &in.sin_addr, 4);
  } else if (address->sa_family == AF_INET6) {
    sockaddr_in6 in6{};
    std::memcpy(&in6, address, sizeof in6);
    const auto* raw = reinterpret_cast<const uint8_t*>(&in6.sin6_addr);
    if (std::memcmp(raw, kMappedPrefix, sizeof kMappedPrefix) == 0) {
      std::memcpy(out.bytes.data(), raw + 12, 4);
    } else {
      out.ipv6 = true;
      std::memcpy(out.bytes.data(), raw, 16);
    }
  }
  return out;
}

bool ClientAddress::Parse(std::string_view text, ClientAddress* out) {
  const std::string copy(text);
  ClientAddress parsed;
  if (inet_pton(AF_INET, copy.c_str(), parsed.bytes.data()) == 1) {
    *out = parsed;
    return true;
  }
  in6_addr in6{};
  if (inet_pton(AF_INET6, copy.c_str(), &in6) != 1) return false;
  sockaddr_in6 socket_address{};
  socket_address.sin6_family = AF_INET6;
  socket_address.sin6_addr = in6;
  *out = From(reinterpret_cast<const sockaddr*>(&socket_address));
  return true;
}

bool ClientAddress::IsLoopback() const {
  if (!ipv6) return bytes[0] == 127;
  for (int i = 0; i < 15; ++i) {
    if (bytes[i] != 0) return false;
  }
  return bytes[15] == 1;
}

std::string ClientAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = "";
  inet_ntop(ipv6 ? AF_INET6 : AF_INET, bytes.data(), text, sizeof text);
  return text;
}

bool AllowList::Parse(const std::vector<std::string>& entries, std::string* error) {
  std::vector<Network> networks;
  for (const std::string& entry : entries) {
    const std::size_t slash = entry.find('/');
    Network network;
    bool ok = ClientAddress::Parse(std::string_view(entry).substr(0, slash), &network.base);
    const int width = network.base.ipv6 ? 128 : 32;
    network.prefix_bits = width;
    if (ok && slash != std::string::npos) {
      const std::string bits = entry.substr(slash + 1);
      ok = !bits.empty() && bits.size() <= 3 &&
           bits.find_first_not_of("0123456789") == std::string::npos && std::stoi(bits) <= width;
      if (ok) network.prefix_bits = std::stoi(bits);
    }
    if (!ok) {
      *error = "\"" + entry + "\" is not an address or a network such as 10.0.0.0/8";
      return false;
    }
    networks.push_back(network);
  }
  networks_ = std::move(networks);
  return true;
}

bool AllowList::Allows(const ClientAddress& address) const {
  for (const Network& network : networks_) {
    if (network.base.ipv6 == address.ipv6 &&
        PrefixMatches(network.base, address, network.prefix_bits)) {
      return true;
    }
  }
  return false;
}

}  // namespace vossik
