// What a special link clicked anywhere hands on: the address in the form downloaders take, or
// nothing, with the reason.
#include "handler/handed_on.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/utf8.h"

namespace zentrova::handler {
namespace {

struct Handed {
  const char16_t* link;
  const char* uri;
};

TEST(HandedOnTest, HandsOnTheBytesTheLinkCarriedEscaped) {
  const Handed table[] = {
      // GBK bytes of "电影 第1集.mkv", as a Chinese system made the link
      {u"thunder://QUFodHRwOi8vaC+159OwILXaMbyvLm1rdlpa",
       "http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv"},
      // UTF-8 bytes, FlashGet's wrapper and suffix
      {u"flashget://W0ZMQVNIR0VUXWh0dHA6Ly9oL+eUteW9sS5ta3ZbRkxBU0hHRVRd&abc",
       "http://h/%E7%94%B5%E5%BD%B1.mkv"},
      {u"qqdl://ZnRwOi8vaC9hLnppcA==", "ftp://h/a.zip"},
      // a FlashGet link inside a Thunder link
      {u"thunder://"
       u"QUFmbGFzaGdldDovL1cwWk1RVk5JUjBWVVhXaDBkSEJ6T2k4dmFDOTRMbWx6YjF0R1RFRlRTRWRGVkYwPSZhYmNaWg"
       u"==",
       "https://h/x.iso"},
      {u"thunder://"
       u"QUFtYWduZXQ6P3h0PXVybjpidGloOjAxMjM0NTY3ODlhYmNkZWYwMTIzNDU2Nzg5YWJjZGVmMDEyMzQ1NjdaWg==",
       "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567"},
      // as programs pass a clicked link on: escaped whole, with a final slash
      {u"qqdl%3A%2F%2FZnRwOi8vaC9hLnppcA%3D%3D", "ftp://h/a.zip"},
      {u"qqdl://ZnRwOi8vaC9hLnppcA==/", "ftp://h/a.zip"},
      {u"  qqdl://ZnRwOi8vaC9hLnppcA==\r\n", "ftp://h/a.zip"},
      // an ed2k file whose only source is elsewhere
      {u"thunder://"
       u"QUFlZDJrOi8vfGZpbGV8YS56aXB8MXwwMTIzNDU2Nzg5QUJDREVGMDEyMzQ1Njc4OUFCQ0RFRnwvfHNvdXJjZXMs"
       u"MjAzLjAuMTEzLjk6NDY2MnwvWlo=",
       "ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/|sources,203.0.113.9:4662|/"},
  };
  for (const auto& row : table) {
    const HandedOn handed = HandOn(row.link);
    EXPECT_EQ(handed.uri, row.uri) << ToUtf8(row.link) << ": " << handed.why;
    EXPECT_EQ(handed.why, "");
  }
}

TEST(HandedOnTest, HandsNothingOnForALinkThatDoesNotOpen) {
  const char16_t* const table[] = {
      u"",
      u"thunder://",
      u"thunder://@@@@",                              // not Base64
      u"http://h/a.zip",                              // no special link: it could come back
      u"thunder://QUFqYXZhc2NyaXB0OmFsZXJ0KDEpWlo=",  // javascript:alert(1)
      u"thunder://QUFodHRwOi8vYS5leGFtcGxlL+KArmdwai5leGVaWg==",  // U+202E in the name
      // this computer: 127.1:6800 (aria2's own port), [::1], localhost. inside qqdl
      u"thunder://QUFodHRwOi8vMTI3LjE6NjgwMC9qc29ucnBjP21ldGhvZD1hcmlhMi5hZGRVcmlaWg==",
      u"thunder://QUFodHRwOi8vWzo6MV0veFpa",
      u"qqdl://dGh1bmRlcjovL1FVRm9kSFJ3T2k4dmJHOWpZV3hvYjNOMExpOWhXbG89",
      // this computer by the names resolvers make up for it
      u"thunder://QUFodHRwOi8vbG9jYWxob3N0Ni5sb2NhbGRvbWFpbjY6NjgwMC9qc29ucnBjWlo=",
      // ed2k: a server, a server list and a source here
      u"thunder://QUFlZDJrOi8vfHNlcnZlcnwxMjcuMC4wLjF8NDY2MXwvWlo=",
      u"thunder://QUFlZDJrOi8vfHNlcnZlcmxpc3R8aHR0cDovL2xvY2FsaG9zdC5sb2NhbGRvbWFpbjo2ODAwL2pzb25y"
      u"cGN8L1pa",
      u"thunder://QUFlZDJrOi8vfGZpbGV8YS56aXB8MXwwMTIzNDU2Nzg5QUJDREVGMDEyMzQ1Njc4OUFCQ0RFRnwvfHNv"
      u"dXJjZXMsMTI3LjAuMC4xOjY4MDB8L1pa",
      // plain addresses that only carry a link: a search for it, a script
      u"http://search.example/?q=qqdl://ZnRwOi8vaC9hLnppcA==",
      u"javascript:alert(1)//qqdl://ZnRwOi8vaC9hLnppcA==",
      u"x qqdl://ZnRwOi8vaC9hLnppcA==",
  };
  for (const char16_t* link : table) {
    const HandedOn handed = HandOn(link);
    EXPECT_EQ(handed.uri, "") << ToUtf8(link);
    EXPECT_NE(handed.why, "") << ToUtf8(link);
  }
  EXPECT_EQ(HandOn(u"thunder://QUFodHRwOi8vWzo6MV0veFpa").why,
            "the address is on this computer, where a link from elsewhere must not lead");
}

TEST(HandedOnTest, RefusesWhatThisMachineKnowsAsItself) {
  // http://vm:6800/jsonrpc?method=aria2.addUri, where vm is this machine's own name.
  const char16_t* const link =
      u"thunder://QUFodHRwOi8vdm06NjgwMC9qc29ucnBjP21ldGhvZD1hcmlhMi5hZGRVcmlaWg==";
  EXPECT_EQ(HandOn(link).uri, "http://vm:6800/jsonrpc?method=aria2.addUri");
  const HandedOn handed = HandOn(link, lists::ThisMachine({u"vm"}, {}));
  EXPECT_EQ(handed.uri, "");
  EXPECT_EQ(handed.why,
            "the address is on this computer, where a link from elsewhere must not lead");
}

TEST(HandedOnTest, ACarrierOfALinkIsNoLink) {
  EXPECT_EQ(HandOn(u"http://search.example/?q=qqdl://ZnRwOi8vaC9hLnppcA==").why,
            "the text is not a special link");
}

}  // namespace
}  // namespace zentrova::handler
