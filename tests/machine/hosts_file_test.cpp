// This machine as hosts files of the systems it runs on know it: Debian's, Fedora's, an
// advertiser blocker's, and files that name the machine at an address of its own.
#include "machine/hosts_file.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/utf8.h"

namespace zentrova::machine {
namespace {

constexpr char kDebian[] =
    "127.0.0.1\tlocalhost\n"
    "127.0.1.1\tvm.example.org\tvm\n"
    "\n"
    "# The following lines are desirable for IPv6 capable hosts\n"
    "::1     localhost ip6-localhost ip6-loopback\n"
    "ff02::1 ip6-allnodes\n"
    "ff02::2 ip6-allrouters\n";

constexpr char kFedora[] =
    "127.0.0.1   localhost localhost.localdomain localhost4 localhost4.localdomain4\r\n"
    "::1         localhost localhost.localdomain localhost6 localhost6.localdomain6\r\n"
    "192.168.1.5 fedora-box.lan fedora-box printer-alias  # this machine on the home network\r\n"
    "192.168.1.9 nas.lan nas\r\n";

constexpr char kBlocker[] =
    "0.0.0.0 ads.example\n"
    "0.0.0.0\ttracker.example # blocked\n"
    "203.0.113.4 cdn.example\n"
    "#127.0.0.1 commented.example\n"
    "not-an-address broken.example\n"
    "127.1 short-form.example\n"
    "127.0.0.1\n";

TEST(HostsFileTest, NamesThatLeadHereAndNamesThatDoNot) {
  const struct {
    const char* file;
    const char16_t* ownName;
    const char16_t* host;
    bool here;
  } rows[] = {
      {kDebian, u"vm", u"vm", true},
      {kDebian, u"vm", u"vm.example.org", true},
      {kDebian, u"vm", u"VM.Example.Org.", true},
      {kDebian, u"other", u"vm", true},  // 127.0.1.1 is loopback, whatever the name
      {kDebian, u"vm", u"ip6-allnodes", false},
      {kDebian, u"vm", u"example.org", false},
      // The machine's own name counts even where no hosts file names it, with and without its
      // domain.
      {"", u"box.corp.example", u"box.corp.example", true},
      {"", u"box.corp.example", u"box", true},
      {"", u"box.corp.example", u"corp.example", false},
      {"", u"", u"box", false},
      // Fedora: the made-up names, and a name of the machine at its own network address, which
      // gives every other name at that address too.
      {kFedora, u"fedora-box", u"localhost4.localdomain4", true},
      {kFedora, u"fedora-box", u"fedora-box.lan", true},
      {kFedora, u"fedora-box", u"printer-alias", true},
      {kFedora, u"fedora-box", u"nas.lan", false},
      {kFedora, u"fedora-box", u"network", false},  // a word of the comment
      // A blocker's 0.0.0.0 connects here; comments, broken lines and short forms do not count.
      {kBlocker, u"vm", u"ads.example", true},
      {kBlocker, u"vm", u"tracker.example", true},
      {kBlocker, u"vm", u"blocked", false},
      {kBlocker, u"vm", u"cdn.example", false},
      {kBlocker, u"vm", u"commented.example", false},
      {kBlocker, u"vm", u"broken.example", false},
      {kBlocker, u"vm", u"short-form.example", false},
  };
  for (const auto& row : rows) {
    const lists::ThisMachine machine = FromHostsFile(row.file, row.ownName, {});
    EXPECT_EQ(machine.IsHost(row.host), row.here)
        << ToUtf8(row.host) << " with own name " << ToUtf8(row.ownName) << " in\n"
        << row.file;
  }
}

TEST(HostsFileTest, AddressesOfTheMachinesOwnCount) {
  // An interface's address gives the names the file maps to it, and the address itself.
  const lists::ThisMachine byInterface =
      FromHostsFile(kFedora, u"elsewhere", {*lists::IpLiteral(u"192.168.1.9")});
  EXPECT_TRUE(byInterface.IsHost(u"nas"));
  EXPECT_TRUE(byInterface.IsHost(u"192.168.1.9"));
  EXPECT_TRUE(byInterface.IsHost(u"[::ffff:192.168.1.9]"));
  EXPECT_FALSE(byInterface.IsHost(u"fedora-box"));
  // The file's own line for the machine's name gives its address.
  const lists::ThisMachine byName = FromHostsFile(kFedora, u"fedora-box", {});
  EXPECT_TRUE(byName.IsHost(u"192.168.1.5"));
  EXPECT_TRUE(byName.IsHost(u"[::ffff:c0a8:105]"));
  EXPECT_FALSE(byName.IsHost(u"192.168.1.9"));
}

}  // namespace
}  // namespace zentrova::machine
