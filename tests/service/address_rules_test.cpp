#include "service/address_rules.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

namespace vossik {
namespace {

ClientAddress Address(const char* text) {
  ClientAddress address;
  EXPECT_TRUE(ClientAddress::Parse(text, &address)) << text;
  return address;
}

TEST(AddressRules, AllowsTheListedAddressesAndNetworks) {
  AllowList allow;
  std::string error;
  ASSERT_TRUE(
      allow.Parse({"127.0.0.0/8", "::1", "192.168.1.20", "10.0.0.0/12", "fd00::/8"}, &error));
  struct Row {
    const char* address;
    bool allowed;
  };
  const Row rows[] = {
      {"127.0.0.1", true},       {"127.255.0.9", true},   {"::1", true},
      {"192.168.1.20", true},    {"192.168.1.21", false}, {"10.15.255.255", true},
      {"10.16.0.0", false},      {"fd12::5", true},       {"fe80::1", false},
      {"::ffff:10.1.2.3", true},  // an IPv4 client of an IPv6 socket
      {"0.0.0.0", false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.allowed, allow.Allows(Address(row.address))) << row.address;

  AllowList nobody;
  ASSERT_TRUE(nobody.Parse({}, &error));
  EXPECT_FALSE(nobody.Allows(Address("127.0.0.1")));
}

TEST(AddressRules, RefusesEntriesThatAreNoAddressAndKeepsTheOldList) {
  AllowList allow;
  std::string error;
  ASSERT_TRUE(allow.Parse({"10.0.0.1"}, &error));
  for (const char* bad :
       {"10.0.0.0/33", "::/129", "example.org", "10.0.0.0/", "10.0.0/8", "1.2.3.4/x"}) {
    EXPECT_FALSE(allow.Parse({"127.0.0.1", bad}, &error)) << bad;
    EXPECT_NE(std::string::npos, error.find(bad)) << error;
  }
  EXPECT_TRUE(allow.Allows(Address("10.0.0.1")));
  EXPECT_FALSE(allow.Allows(Address("127.0.0.1")));
}

TEST(AddressRules, KnowsThisMachineAndWritesAddresses) {
  EXPECT_TRUE(Address("127.0.0.1").IsLoopback());
  EXPECT_TRUE(Address("127.1.2.3").IsLoopback());
  EXPECT_TRUE(Address("::1").IsLoopback());
  EXPECT_TRUE(Address("::ffff:127.0.0.1").IsLoopback());
  EXPECT_FALSE(Address("10.0.0.1").IsLoopback());
  EXPECT_FALSE(Address("::2").IsLoopback());

  sockaddr_in6 mapped{};
  mapped.sin6_family = AF_INET6;
  inet_pton(AF_INET6, "::ffff:192.0.2.7", &mapped.sin6_addr);
  EXPECT_EQ("192.0.2.7", ClientAddress::From(reinterpret_cast<sockaddr*>(&mapped)).Text());
  EXPECT_EQ("fe80::1", Address("fe80::1").Text());
  EXPECT_EQ("0.0.0.0", ClientAddress::From(nullptr).Text());
}

}  // namespace
}  // namespace vossik
