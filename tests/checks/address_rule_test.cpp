// Which addresses a check never asks, by the address a name resolved to and by spelling alone.
#include "checks/address_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrova::checks {
namespace {

lists::IpAddress Ip(const char* text) {
  std::u16string wide;
  for (const char* c = text; *c; ++c) wide.push_back(static_cast<unsigned char>(*c));
  const auto address = lists::IpLiteral(wide);
  EXPECT_TRUE(address) << text;
  return address.value_or(lists::IpAddress{});
}

TEST(AddressRuleTest, PeersByRange) {
  struct Case {
    const char* address;
    Trouble plain;
    Trouble withLan;
  };
  const Case cases[] = {
      {"93.184.216.34", Trouble::kNone, Trouble::kNone},
      {"2606:2800:220:1:248:1893:25c8:1946", Trouble::kNone, Trouble::kNone},
      {"127.0.0.1", Trouble::kThisMachine, Trouble::kThisMachine},
      {"127.1.2.3", Trouble::kThisMachine, Trouble::kThisMachine},
      {"0.0.0.0", Trouble::kThisMachine, Trouble::kThisMachine},
      {"::1", Trouble::kThisMachine, Trouble::kThisMachine},
      {"::", Trouble::kThisMachine, Trouble::kThisMachine},
      {"::ffff:127.0.0.1", Trouble::kThisMachine, Trouble::kThisMachine},
      {"::127.0.0.1", Trouble::kThisMachine, Trouble::kThisMachine},
      {"203.0.113.9", Trouble::kThisMachine, Trouble::kThisMachine},  // its own, below
      {"::ffff:203.0.113.9", Trouble::kThisMachine, Trouble::kThisMachine},
      {"0.1.2.3", Trouble::kReserved, Trouble::kReserved},
      {"10.0.0.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"172.16.0.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"172.31.255.255", Trouble::kPrivateNetwork, Trouble::kNone},
      {"172.32.0.1", Trouble::kNone, Trouble::kNone},
      {"192.168.1.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"169.254.169.254", Trouble::kPrivateNetwork, Trouble::kNone},
      {"100.64.0.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"100.127.255.255", Trouble::kPrivateNetwork, Trouble::kNone},
      {"100.128.0.1", Trouble::kNone, Trouble::kNone},
      {"224.0.0.1", Trouble::kReserved, Trouble::kReserved},
      {"255.255.255.255", Trouble::kReserved, Trouble::kReserved},
      {"fe80::1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"febf::1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"fc00::1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"fd12:3456::1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"ff02::1", Trouble::kReserved, Trouble::kReserved},
      {"::ffff:10.0.0.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"::ffff:c0a8:101", Trouble::kPrivateNetwork, Trouble::kNone},
      {"64:ff9b::10.0.0.1", Trouble::kPrivateNetwork, Trouble::kNone},
      {"64:ff9b::127.0.0.1", Trouble::kThisMachine, Trouble::kThisMachine},
  };
  const lists::ThisMachine machine({u"vm"}, {Ip("203.0.113.9")});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(RefusalOfPeer(Ip(c.address), {&machine, false}), c.plain);
    EXPECT_EQ(RefusalOfPeer(Ip(c.address), {&machine, true}), c.withLan);
  }
}

TEST(AddressRuleTest, SpellingsThatAProxyWouldResolve) {
  struct Case {
    const char* url;
    Trouble refusal;
  };
  const Case cases[] = {
      {"http://files.example/a.zip", Trouble::kNone},
      {"http://localhost:6800/jsonrpc", Trouble::kThisMachine},
      {"http://LOCALHOST./a", Trouble::kThisMachine},
      {"http://localhost6.localdomain6/a", Trouble::kThisMachine},
      {"http://vm/a", Trouble::kThisMachine},
      {"http://vm.:8080/a", Trouble::kThisMachine},
      {"http://user:pw@127.0.0.1/a", Trouble::kThisMachine},
      {"http://2130706433/a", Trouble::kThisMachine},
      {"http://0x7f.1/a", Trouble::kThisMachine},
      {"http://[::1]:80/a", Trouble::kThisMachine},
      {"http://[::ffff:7f00:1]/a", Trouble::kThisMachine},
      {"http://10.0.0.1/", Trouble::kPrivateNetwork},
      {"http://10.1/", Trouble::kPrivateNetwork},
      {"https://[fd00::1]/", Trouble::kPrivateNetwork},
      {"ftp://192.168.0.1/pub/a.iso", Trouble::kPrivateNetwork},
      {"http://%31%30.0.0.1/", Trouble::kPrivateNetwork},
      {"http://224.1.1.1/", Trouble::kReserved},
      {"http://nas.lan/", Trouble::kNone},  // only a lookup would tell, and the proxy makes it
  };
  const lists::ThisMachine machine({u"vm"}, {});
  for (const Case& c : cases) {
    EXPECT_EQ(RefusalOfSpelling(c.url, {&machine, false}), c.refusal) << c.url;
  }
  EXPECT_EQ(RefusalOfSpelling("http://10.0.0.1/", {&machine, true}), Trouble::kNone);
  EXPECT_EQ(RefusalOfSpelling("http://vm/", {&machine, true}), Trouble::kThisMachine);
}

}  // namespace
}  // namespace zentrova::checks
