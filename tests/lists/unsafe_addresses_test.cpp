// Characters no one could see, refused in every address whatever reading made its text: the
// link's bytes read as UTF-8 count as much as the reading a list or the window chose.
#include <gtest/gtest.h>

#include <memory>

#include "codec/base64.h"
#include "codec/base64_transform.h"
#include "codec/code_page.h"
#include "codec/utf8.h"
#include "links/lazy_codec.h"
#include "links/link_formats.h"
#include "links/unsafe_characters.h"
#include "lists/found_links.h"

namespace zentrova::lists {
namespace {

using links::FirstUnsafeCharacter;
using links::FirstUnsafeUtf8Character;
using links::OpenSpecialLink;
using links::Through;

class UnsafeAddressesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
};

std::u16string ThunderOf(std::string_view addressBytes) {
  std::u16string encoded;
  base64::EncodeAppend("AA" + std::string(addressBytes) + "ZZ", encoded);
  std::erase(encoded, u'\n');
  return u"thunder://" + encoded;
}

// Every character that hides, reorders or splits what a person reads.
const char16_t kUnseen[] = {
    0x0085, 0x009B, 0x061C, 0x115F, 0x1160, 0x180E, 0x200B, 0x200E, 0x200F, 0x202A,
    0x202B, 0x202C, 0x202D, 0x202E, 0x2028, 0x2029, 0x2060, 0x2061, 0x2062, 0x2063,
    0x2064, 0x2066, 0x2067, 0x2068, 0x2069, 0x3164, 0xFEFF, 0xFFA0,
};

TEST_F(UnsafeAddressesTest, EachUnseenCharacterIsRefusedWhateverTheReading) {
  for (const char16_t c : kUnseen) {
    const std::string name = CodePointName(c);
    const std::u16string address = u"http://a.example/x" + std::u16string(1, c) + u"y.zip";
    const std::u16string link = ThunderOf(ToUtf8(address));
    for (const Charset charset : {Charset::kAuto, Charset::kCodePage, Charset::kUtf8}) {
      const LineResult result = OpenFoundLink(link, charset);
      EXPECT_EQ(result.kind, LineResult::Kind::kFailed) << name << " " << int(charset);
      EXPECT_NE(Reason(result).find(name), std::string::npos) << Reason(result);
      EXPECT_NE(Reason(result).find(c < 0xA0 ? "control" : "invisible or direction"),
                std::string::npos)
          << Reason(result);
    }
    // Typed or pasted, inside an address.
    const LineResult plain = OpenFoundLink(address, Charset::kAuto);
    EXPECT_EQ(plain.kind, LineResult::Kind::kFailed) << name;
    EXPECT_NE(Reason(plain).find(name), std::string::npos) << Reason(plain);
    EXPECT_TRUE(FirstUnsafeCharacter(address)) << name;
  }
}

TEST_F(UnsafeAddressesTest, DisguisesThatReadAsChineseInCodePage936AreRefused) {
  const struct {
    std::u16string address;
    const char* named;
  } rows[] = {
      {u"http://a.example/\u202egpj.exe", "U+202E"},
      {u"http://a.example/x\u0085y.zip", "U+0085"},
      {u"http://a.example/x\u2028y.zip", "U+2028"},
      {u"http://a.example/\u200finvoice\u200e.pdf", "U+200F"},
      {u"http://a.example/\u3164.exe", "U+3164"},
  };
  std::unique_ptr<Base64> codec;
  int whole = 0;
  for (const auto& row : rows) {
    const std::string bytes = ToUtf8(row.address);
    // Read in code page 936 they are characters a name might hold: nothing shows the mark.
    ASSERT_FALSE(FirstUnsafeCharacter(codepage::FromNarrow(bytes))) << row.named;
    for (const Charset charset : {Charset::kAuto, Charset::kCodePage}) {
      const LineResult result = OpenFoundLink(ThunderOf(bytes), charset);
      EXPECT_EQ(result.kind, LineResult::Kind::kFailed) << row.named;
      EXPECT_NE(Reason(result).find(row.named), std::string::npos) << Reason(result);
    }
    // The window reads every link in the code page; where that gives the bytes back (a byte it
    // cannot read shows as U+FFFD, which hides nothing), they count too.
    if (codepage::ToNarrow(codepage::FromNarrow(bytes)) == bytes) {
      ++whole;
      EXPECT_EQ(OpenSpecialLink(ThunderOf(bytes), Through(codec, &Base64::Decode)), std::nullopt)
          << row.named;
    }
  }
  EXPECT_GE(whole, 3);  // the window is asked at all
}

TEST_F(UnsafeAddressesTest, NamesAndMarksThatShowStayAccepted) {
  const struct {
    std::u16string address;
    bool gbk;  // written in code page 936, else UTF-8
  } rows[] = {
      {u"http://h/👨\u200d👩\u200d👧.png", false},  // joiners inside an emoji sequence
      {u"http://h/café—2024.zip", false},
      {u"http://h/中文 电影\u3000第1集.mkv", false},
      {u"http://h/中文 电影\u3000第1集.mkv", true},
      {u"http://h/水.mp3", true},
      {u"http://h/新聞.zip", true},  // GBK bytes D0 C2 C2 84: a UTF-8 C1 control only when cut
      {u"http://h/陣營.zip", true},
  };
  std::unique_ptr<Base64> codec;
  for (const auto& row : rows) {
    const std::string bytes = row.gbk ? codepage::ToNarrow(row.address) : ToUtf8(row.address);
    const LineResult result = OpenFoundLink(ThunderOf(bytes), Charset::kAuto);
    EXPECT_EQ(result.kind, LineResult::Kind::kConverted) << Reason(result);
    EXPECT_EQ(ToUtf8(result.text), ToUtf8(row.address));
    EXPECT_FALSE(FirstUnsafeUtf8Character(bytes)) << ToUtf8(row.address);
    if (row.gbk) {
      EXPECT_EQ(OpenSpecialLink(ThunderOf(bytes), Through(codec, &Base64::Decode)), row.address);
    }
  }
}

TEST_F(UnsafeAddressesTest, BlanksAroundAnAddressStayBlanks) {
  for (const char16_t blank : {char16_t{0x200B}, char16_t{0xFEFF}, char16_t{0x00A0}}) {
    const std::u16string around(1, blank);
    const LineResult result = OpenFoundLink(around + u"http://a/b" + around, Charset::kAuto);
    EXPECT_EQ(result.kind, LineResult::Kind::kPassedThrough) << CodePointName(blank);
    EXPECT_EQ(result.text, u"http://a/b");
    const LineResult link =
        OpenFoundLink(around + u"thunder://QUFodHRwOi8vYS9iWlo=" + around, Charset::kAuto);
    EXPECT_EQ(link.text, u"http://a/b") << CodePointName(blank);
  }
}

}  // namespace
}  // namespace zentrova::lists
