// Addresses a downloader would fetch from the machine it runs on, in every spelling that
// browsers and resolvers accept, and the near misses that name other machines.
#include "lists/this_machine.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

TEST(ThisMachineTest, AddressesOnThisMachineInEverySpelling) {
  const char16_t* const addresses[] = {
      // Names.
      u"http://localhost/a.zip",
      u"http://LocalHost/a.zip",
      u"http://localhost./a.zip",
      u"http://localhost../a.zip",
      u"https://app.localhost/a.zip",
      u"http://A.B.LOCALHOST:8080/a.zip",
      u"http://ip6-localhost/a.zip",
      // The names Fedora's hosts file and systemd-resolved give this machine.
      u"http://localhost.localdomain/a.zip",
      u"http://LOCALHOST.localdomain./a.zip",
      u"http://localhost4/a.zip",
      u"http://localhost4.localdomain4/a.zip",
      u"http://localhost6/a.zip",
      u"http://localhost6.localdomain6:6800/jsonrpc",
      u"http://app.localhost.localdomain/a.zip",
      u"http://_outbound/a.zip",
      // 127.0.0.0/8 in each form inet_aton and browsers read.
      u"http://127.0.0.1/a.zip",
      u"http://127.255.255.254/a.zip",
      u"http://127.1/a.zip",
      u"http://127.0.1/a.zip",
      u"http://2130706433/a.zip",
      u"http://0x7f.0.0.1/a.zip",
      u"http://0X7F.0.0.1/a.zip",
      u"http://0x7f000001/a.zip",
      u"http://017700000001/a.zip",
      u"http://0177.0.0.1/a.zip",
      u"http://0177.0x0.00.01/a.zip",
      u"http://127.0.0.1./a.zip",
      u"http://127.0.0.1:6800/jsonrpc?method=aria2.addUri",
      // Any address, which connects to this machine.
      u"http://0.0.0.0/a.zip",
      u"http://0/a.zip",
      u"http://0x0/a.zip",
      u"http://00/a.zip",
      // IPv6 and IPv4 inside it.
      u"http://[::1]/a.zip",
      u"http://[::1]:6800/jsonrpc",
      u"http://[::]/a.zip",
      u"http://[0:0:0:0:0:0:0:1]/a.zip",
      u"http://[0000:0000:0000:0000:0000:0000:0000:0001]/a.zip",
      u"http://[::ffff:127.0.0.1]/a.zip",
      u"http://[::FFFF:7f00:1]/a.zip",
      u"http://[::ffff:0.0.0.0]/a.zip",
      u"http://[0:0:0:0:0:ffff:127.1.2.3]/a.zip",
      u"http://[::1%25lo]/a.zip",
      // Who is asking, the port and the scheme's spelling change nothing.
      u"http://user:pw@127.1/a.zip",
      u"http://evil.example@localhost/a.zip",
      u"http://a@b@127.0.0.1:80/a.zip",
      u"HTTP://127.0.0.1/a.zip",
      u"ftp://127.0.0.1/a.zip",
      u"https://localhost",
      u"http://localhost?x",
      u"http://localhost#x",
      u"http:\\\\127.0.0.1\\a.zip",
      u"http:///127.0.0.1/a.zip",
      u"http://127.0.\t0.1/a.zip",
      // Escaped bytes and full-width forms, which browsers undo before they look the host up.
      u"http://%6c%6fcalhost/a.zip",
      u"http://127%2E0%2E0%2E1/a.zip",
      u"http://%31%32%37.1/a.zip",
      u"http://\uFF4C\uFF4F\uFF43\uFF41\uFF4C\uFF48\uFF4F\uFF53\uFF54/a.zip",
      u"http://\uFF11\uFF12\uFF17\u3002\uFF10\uFF0E\uFF10\uFF61\uFF11/a.zip",
      u"http://%EF%BC%91%EF%BC%92%EF%BC%97.1/a.zip",
      u"http://local\u00ADhost/a.zip",
      // A magnet's client announces to its trackers and fetches its sources with GET requests:
      // one on this machine reaches aria2's JSON-RPC as surely as a plain address.
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=http://127.0.0.1:6800/"
      u"jsonrpc?method=aria2.addUri",
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567"
      u"&tr=http%3A%2F%2F127.1%3A6800%2Fjsonrpc%3Fmethod%3Daria2.addUri",
      u"MAGNET:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr.1=udp://[::1]:6969",
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&xs=https://localhost/"
      u"a.torrent",
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=http://t.example/a"
      u"&ws=ftp://2130706433/a.zip",
      // An ed2k client connects to the server a link names, fetches the server and node lists
      // it names, and asks the file's sources and web sources.
      u"ed2k://|server|127.0.0.1|4661|/",
      u"ED2K://|SERVER|LocalHost.|4661|/",
      u"ed2k://|serverlist|http://127.1:6800/jsonrpc?method=aria2.addUri|/",
      u"ed2k://|nodeslist|http://localhost4/nodes.dat|/",
      u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/|sources,203.0.113.9:4662,"
      u"127.0.0.1:6800|/",
      u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|h=ABC|/|sources,[::1]:4662|/",
      u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|s=http://[::ffff:127.0.0.1]/a.zip|/",
      u"ed2k://%7Cserver%7C127.0.0.1%7C4661%7C/",
  };
  for (const char16_t* address : addresses) {
    EXPECT_TRUE(IsOnThisMachine(address)) << ToUtf8(address);
  }
}

TEST(ThisMachineTest, AddressesOnOtherMachines) {
  const char16_t* const addresses[] = {
      u"http://127.example.com/a.zip",
      u"http://localhost.example.com/a.zip",
      u"http://localhost-a/a.zip",
      u"http://localhost.localdomain.example/a.zip",
      u"http://localhost5/a.zip",
      u"http://localdomain/a.zip",
      u"http://mylocalhost/a.zip",
      u"http://10.0.0.1/a.zip",
      u"http://128.0.0.1/a.zip",
      u"http://126.255.255.255/a.zip",
      u"http://0.0.0.1/a.zip",
      u"http://1.0.0.127/a.zip",
      u"http://2130706431/a.zip",  // the address just below 127.0.0.0
      u"http://[::2]/a.zip",
      u"http://[::ffff:10.0.0.1]/a.zip",
      u"http://[1::1]/a.zip",
      u"http://[fe80::1]/a.zip",
      u"http://example.com/127.0.0.1",
      u"http://example.com/?u=http://localhost/",
      u"http://example.com#@localhost",
      u"http://localhost@example.com/a.zip",
      u"http://127.0.0.1.example.com/a.zip",
      // Not an address of any host: a browser refuses these, and so does every resolver.
      u"http://127.0.0.256/a.zip",
      u"http://127.0.0.1.1/a.zip",
      u"http://0x7g.0.0.1/a.zip",
      u"http://08.0.0.1/a.zip",
      u"http://4294967296/a.zip",
      u"http://99999999999999999999999/a.zip",
      u"http://[::1/a.zip",
      u"http://[1:2:3:4:5:6:7:8:9]/a.zip",
      u"http://[::1::]/a.zip",
      u"http://[::ffff:127.0.0.1.1]/a.zip",
      u"http://[::ffff:0127.0.0.1]/a.zip",
      u"http://%ff/a.zip",
      u"http:///a.zip",
      u"http://",
      // Schemes that name no host, and magnets whose trackers and sources are elsewhere.
      u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/",
      u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/|sources,203.0.113.9:4662|/",
      u"ed2k://|server|203.0.113.9|4661|/",
      u"ed2k://|serverlist|http://servers.example/server.met|/",
      // A file's own name is no source, whatever it says.
      u"ed2k://|file|sources,127.0.0.1:4662|1|0123456789ABCDEF0123456789ABCDEF|/",
      u"ed2k://|file|s=http:%2F%2Flocalhost%2F|1|0123456789ABCDEF0123456789ABCDEF|/",
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567",
      u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=udp%3A%2F%2Ftracker."
      u"example%3A6969"
      u"&dn=127.0.0.1&ws=http://files.example/a",
      u"file:///etc/passwd",
      u"localhost",
      u"",
  };
  for (const char16_t* address : addresses) {
    EXPECT_FALSE(IsOnThisMachine(address)) << ToUtf8(address);
  }
}

TEST(ThisMachineTest, HostsAsTheyStandInAnAddress) {
  const struct {
    const char16_t* host;
    bool here;
  } rows[] = {
      {u"localhost", true},
      {u"LOCALHOST.", true},
      {u"127.1", true},
      {u"[::1]", true},
      {u"[::]", true},
      {u"0", true},
      {u"%6c%6fcalhost", true},
      {u"example.com", false},
      {u"[::2]", false},
      {u"", false},
      {u".", false},
      {u"127.1%", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsThisMachineHost(row.host), row.here) << ToUtf8(row.host);
  }
}

// A machine that knows more of itself than every machine does: names its hosts file maps here,
// its own name, its addresses. Each address counts in every spelling, IPv4-mapped included.
TEST(ThisMachineTest, AMachineKnowsItsOwnNamesAndAddresses) {
  const IpAddress own = *IpLiteral(u"192.0.2.7");
  const ThisMachine machine({u"vm", u"VM.Example.", u"nas.home"},
                            {own, *IpLiteral(u"2001:db8::7")});
  const struct {
    const char16_t* address;
    bool here;
  } rows[] = {
      {u"http://vm:6800/jsonrpc?method=aria2.addUri", true},
      {u"http://VM./a.zip", true},
      {u"http://vm.example/a.zip", true},
      {u"https://nas.home/a.zip", true},
      {u"http://%76m/a.zip", true},
      {u"http://192.0.2.7:6800/jsonrpc", true},
      {u"http://3221225991:6800/jsonrpc", true},
      {u"http://0xc0.0.2.7/a.zip", true},
      {u"http://[::ffff:192.0.2.7]:6800/jsonrpc", true},
      {u"http://[::ffff:c000:207]:6800/jsonrpc", true},
      {u"http://[2001:DB8:0::7]/a.zip", true},
      {u"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=http://vm:6800/jsonrpc",
       true},
      {u"ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/|sources,192.0.2.7:4662|/", true},
      {u"http://localhost.localdomain/a.zip", true},
      {u"http://vm.example.org/a.zip", false},
      {u"http://xvm/a.zip", false},
      {u"http://192.0.2.8/a.zip", false},
      {u"http://[::ffff:192.0.2.8]/a.zip", false},
      {u"http://[2001:db8::8]/a.zip", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(machine.Reaches(row.address), row.here) << ToUtf8(row.address);
  }
  // What only this machine knows of itself is not what every machine is.
  EXPECT_FALSE(IsOnThisMachine(u"http://vm/a.zip"));
  EXPECT_FALSE(IsOnThisMachine(u"http://192.0.2.7/a.zip"));
}

TEST(ThisMachineTest, IpLiteralsAsHostsFilesWriteThem) {
  const struct {
    const char16_t* text;
    const char16_t* same;  // another spelling of the address, or nullptr when none is valid
  } rows[] = {
      {u"127.0.0.1", u"::ffff:7f00:1"},
      {u"192.0.2.7", u"0:0:0:0:0:ffff:c000:207"},
      {u"::1", u"0:0:0:0:0:0:0:1"},
      {u"fe80::1%eth0", u"fe80:0::1"},
      {u"2001:db8::", u"2001:DB8:0:0:0:0:0:0"},
      {u"127.1", nullptr},  // resolvers read it, hosts files do not
      {u"0177.0.0.1", nullptr},
      {u"1.2.3.256", nullptr},
      {u"localhost", nullptr},
      {u"::1::", nullptr},
      {u"", nullptr},
  };
  for (const auto& row : rows) {
    const auto address = IpLiteral(row.text);
    if (!row.same) {
      EXPECT_FALSE(address) << ToUtf8(row.text);
      continue;
    }
    ASSERT_TRUE(address) << ToUtf8(row.text);
    EXPECT_EQ(address, IpLiteral(row.same)) << ToUtf8(row.text);
  }
  EXPECT_TRUE(IsLoopback(*IpLiteral(u"127.9.9.9")));
  EXPECT_TRUE(IsLoopback(*IpLiteral(u"0.0.0.0")));
  EXPECT_TRUE(IsLoopback(*IpLiteral(u"::")));
  EXPECT_FALSE(IsLoopback(*IpLiteral(u"::2")));
  EXPECT_FALSE(IsLoopback(*IpLiteral(u"128.0.0.1")));
}

}  // namespace
}  // namespace zentrova::lists
