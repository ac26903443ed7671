// UTF-8 both ways, with ASCII runs against every other kind of character on either side of them:
// the conversions take ASCII a run at a time and the rest a character at a time.
#include "codec/utf8.h"

#include <gtest/gtest.h>

namespace zentrova {
namespace {

TEST(Utf8Test, ConvertsBothWaysWhereverAsciiRunsMeetOtherCharacters) {
  const struct {
    const char* name;
    std::u16string text;
    std::string utf8;
  } rows[] = {
      {"empty", u"", ""},
      {"ASCII only", u"http://a/b", "http://a/b"},
      {"CJK between ASCII", u"a/中文/b", "a/\xe4\xb8\xad\xe6\x96\x87/b"},
      {"two-byte at both ends", u"é-x-é", "\xc3\xa9-x-\xc3\xa9"},
      {"pair after ASCII", u"x\U0001F600", "x\xf0\x9f\x98\x80"},
      {"pair before ASCII", u"\U0001F600x", "\xf0\x9f\x98\x80x"},
      {"DEL and U+0080", u"\x7f\x80", "\x7f\xc2\x80"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToUtf8(row.text), row.utf8) << row.name;
    std::string appended = "kept";
    AppendUtf8(row.text, appended);
    EXPECT_EQ(appended, "kept" + row.utf8) << row.name;
    EXPECT_EQ(FromUtf8(row.utf8), row.text) << row.name;
    EXPECT_EQ(FromValidUtf8(row.utf8), row.text) << row.name;
  }
}

TEST(Utf8Test, LoneSurrogatesAndBadBytesBecomeReplacementCharacters) {
  const struct {
    const char* name;
    std::u16string text;
    std::string utf8;
  } lone[] = {
      {"high surrogate before ASCII",
       u"a\xd83d"
       u"b",
       "a\xef\xbf\xbd"
       "b"},
      {"low surrogate after ASCII", u"a\xde00", "a\xef\xbf\xbd"},
      {"high surrogate at the end", u"\xd83d", "\xef\xbf\xbd"},
  };
  for (const auto& row : lone) EXPECT_EQ(ToUtf8(row.text), row.utf8) << row.name;

  const struct {
    const char* name;
    std::string utf8;
    std::u16string text;
  } bad[] = {
      {"stray continuation between ASCII",
       "a\x80"
       "b",
       u"a\xfffd"
       u"b"},
      {"cut-off sequence before ASCII",
       "\xe4\xb8"
       "b",
       u"\xfffd\xfffd"
       u"b"},
      {"overlong slash", "a\xc0\xaf", u"a\xfffd\xfffd"},
  };
  for (const auto& row : bad) {
    EXPECT_EQ(FromUtf8(row.utf8), row.text) << row.name;
    EXPECT_FALSE(FromValidUtf8(row.utf8)) << row.name;
  }
}

// The second byte each lead may take, straight from the grammar of RFC 3629 (section 4);
// {0, 0} for a byte that leads nothing.
struct SecondBytes {
  int low, high, length;
};
SecondBytes AllowedAfter(int lead) {
  if (lead < 0x80) return {0, 0, 1};
  if (lead >= 0xC2 && lead <= 0xDF) return {0x80, 0xBF, 2};
  if (lead == 0xE0) return {0xA0, 0xBF, 3};
  if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) return {0x80, 0xBF, 3};
  if (lead == 0xED) return {0x80, 0x9F, 3};
  if (lead == 0xF0) return {0x90, 0xBF, 4};
  if (lead >= 0xF1 && lead <= 0xF3) return {0x80, 0xBF, 4};
  if (lead == 0xF4) return {0x80, 0x8F, 4};
  return {0, 0, 0};
}

TEST(Utf8Test, EveryLeadAndSecondByteIsTakenExactlyAsTheGrammarAllows) {
  for (int lead = 0; lead < 0x100; ++lead) {
    const SecondBytes allowed = AllowedAfter(lead);
    for (int second = 0; second < 0x100; ++second) {
      const std::string bytes = {static_cast<char>(lead), static_cast<char>(second), '\x80',
                                 '\x80'};
      const auto character = FirstUtf8Character(bytes);
      const bool valid = allowed.length == 1 ||
                         (allowed.length > 1 && second >= allowed.low && second <= allowed.high);
      ASSERT_EQ(character.has_value(), valid) << std::hex << lead << " " << second;
      if (valid) {
        EXPECT_EQ(character->length, static_cast<std::size_t>(allowed.length));
      }
    }
  }
}

TEST(Utf8Test, BoundarySequencesGiveTheirCharactersOrNone) {
  const struct {
    const char* bytes;
    char32_t value;  // 0: no character
  } rows[] = {
      {"\xc2\x80", 0x80},
      {"\xdf\xbf", 0x7FF},
      {"\xe0\xa0\x80", 0x800},
      {"\xed\x9f\xbf", 0xD7FF},
      {"\xee\x80\x80", 0xE000},
      {"\xef\xbf\xbf", 0xFFFF},
      {"\xf0\x90\x80\x80", 0x10000},
      {"\xf4\x8f\xbf\xbf", 0x10FFFF},
      {"\xc0\x80", 0},
      {"\xc1\xbf", 0},
      {"\xe0\x9f\xbf", 0},
      {"\xed\xa0\x80", 0},
      {"\xed\xbf\xbf", 0},
      {"\xf0\x8f\xbf\xbf", 0},
      {"\xf4\x90\x80\x80", 0},
      {"\xf5\x80\x80", 0},
      {"\xf7\xa1\xb0\xa1", 0},
      {"\xf8\x88\x80\x80\x80", 0},
      {"\xff", 0},
      {"\xe5\x80", 0},
  };
  for (const auto& row : rows) {
    const auto character = FirstUtf8Character(row.bytes);
    EXPECT_EQ(character ? character->value : 0, row.value) << row.bytes;
  }
}

TEST(Utf8Test, NamesThatAreNotUtf8KeepEveryByte) {
  // F5 80 80 once came back as the name E5 80 80 (倀), another file's.
  for (const std::string name :
       {"\xf5\x80\x80", "\xf7\xa1\xb0\xa1.txt", "a\xc0\xaf" "b", "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
    const std::u16string wide = FromNativeName(name);
    EXPECT_EQ(ToNativeName(wide), name);
    EXPECT_NE(ToNativeName(wide), std::string("\xe5\x80\x80"));
    EXPECT_FALSE(FromValidUtf8(name));
  }
  EXPECT_EQ(FromNativeName("\xf5\x80\x80"), std::u16string(u"\xdcf5\xdc80\xdc80"));
}

}  // namespace
}  // namespace zentrova
