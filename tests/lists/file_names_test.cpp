// Names a downloader is told to give a file: each one creatable on Windows and on Linux, or none.
#include "lists/file_names.h"

#include <gtest/gtest.h>

#include "codec/utf8.h"
#include "lists/download_address.h"

namespace zentrova::lists {
namespace {

TEST(FileNamesTest, DeviceNamesInEverySpelling) {
  for (const char16_t* device :
       {u"CON", u"con", u"Prn", u"AUX", u"NUL", u"nul.txt", u" CON ", u"con.txt", u"COM1",
        u"com9.zip", u"COM1.tar.gz", u"LPT1", u"lpt9.doc", u"COM0", u"COM\u00b9", u"LPT\u00b3.x",
        u"CONIN$", u"conout$.log", u"NUL .txt"}) {
    EXPECT_TRUE(IsDeviceName(device)) << ToUtf8(device);
    EXPECT_EQ(SafeFileName(device), std::nullopt) << ToUtf8(device);
  }
  for (const char16_t* name : {u"CONS", u"console.txt", u"COM10", u"COM", u"LPT", u"null.txt",
                               u"auxiliary", u"a.con", u"xnul", u"COMA", u"my con.txt"}) {
    EXPECT_FALSE(IsDeviceName(name)) << ToUtf8(name);
    EXPECT_EQ(SafeFileName(name), std::u16string(name)) << ToUtf8(name);
  }
}

TEST(FileNamesTest, NamesEverySystemCanCreate) {
  const struct {
    std::u16string name;
    std::optional<std::u16string> safe;
  } rows[] = {
      {u"电影 第1集.mkv", u"电影 第1集.mkv"},
      {u"x.exe.  ", u"x.exe"},  // Windows would drop the dots and spaces itself
      {u"a...", u"a"},
      {u"...", std::nullopt},
      {u" . ", std::nullopt},
      {u"NUL.", std::nullopt},
      {u"C:evil.exe", u"C%3Aevil.exe"},  // not a stream of the file "C"
      {u"\"q\"<>|.txt", u"%22q%22%3C%3E%7C.txt"},
      {u"a?b*c.zip", u"a%3Fb%2Ac.zip"},
      {u"a/b\\c", u"a%2Fb%5Cc"},
      {u"tab\there", u"tab%09here"},
      {u"del\u007f", u"del%7F"},
      {u" leading.txt", u" leading.txt"},
      {u"", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SafeFileName(row.name), row.safe) << ToUtf8(row.name);
  }
}

std::u16string Repeated(std::u16string_view text, int times) {
  std::u16string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(FileNamesTest, LongNamesAreShortenedKeepingTheirExtension) {
  const struct {
    const char* name;
    std::u16string given;
    std::u16string start;  // what the shortened name starts with
    std::u16string end;    // and ends with
  } rows[] = {
      {"ASCII", std::u16string(5000, u'a') + u".zip", u"aaa", u"a.zip"},
      {"three bytes a character", std::u16string(300, u'中') + u".mkv", u"中中", u"中.mkv"},
      {"pairs never cut", std::u16string(u"x").append(Repeated(u"😀", 100)).append(u".png"), u"x😀",
       u"😀.png"},
      {"a cut that ends in dots and spaces",
       std::u16string(250, u'a') + u" . . . . . ." + std::u16string(10, u'b') + u".txt", u"aaa",
       u"a.txt"},
      {"an extension too long to keep", u"a." + std::u16string(400, u'e'), u"a.eee", u"eee"},
      {"escapes count", std::u16string(120, u':') + u".txt", u"%3A%3A", u".txt"},
  };
  for (const auto& row : rows) {
    const auto safe = SafeFileName(row.given);
    ASSERT_TRUE(safe) << row.name;
    const std::string bytes = ToUtf8(*safe);
    EXPECT_LE(bytes.size(), kLongestFileName) << row.name;
    EXPECT_GT(bytes.size(), kLongestFileName - 4) << row.name;  // no more cut than needed
    EXPECT_TRUE(FromValidUtf8(bytes)) << row.name;              // no half of a pair
    EXPECT_TRUE(safe->starts_with(row.start)) << row.name << ": " << bytes;
    EXPECT_TRUE(safe->ends_with(row.end)) << row.name << ": " << bytes;
    EXPECT_NE(safe->back(), u' ') << row.name;
    EXPECT_NE(safe->back(), u'.') << row.name;
  }
  const std::u16string exactly(kLongestFileName, u'a');
  EXPECT_EQ(SafeFileName(exactly), exactly);
}

// Names as long as a line (thousands of characters) come out as whole, exactly: their start
// and their extension, the trailing dots and spaces gone however many there are.
TEST(FileNamesTest, NamesAsLongAsALineKeepTheirStartAndExtension) {
  const std::u16string a(kLongestFileName, u'a');
  const struct {
    const char* name;
    std::u16string given;
    std::u16string safe;
  } rows[] = {
      {"an extension", std::u16string(5000, u'a') + u".mkv", a.substr(0, 251) + u".mkv"},
      {"escapes", std::u16string(2000, u':') + u".txt",
       Repeated(u"%3A", 84).substr(0, 251) + u".txt"},
      {"three bytes a character", std::u16string(5000, u'中') + u".mkv",
       std::u16string(83, u'中') + u".mkv"},
      {"many trailing dots and spaces", std::u16string(5000, u'a') + Repeated(u". ", 400), a},
      {"an extension too long", std::u16string(3000, u'a') + u"." + std::u16string(40, u'e'), a},
      {"the only dot first", u"a." + std::u16string(5000, u'e'),
       u"a." + std::u16string(kLongestFileName - 2, u'e')},
      {"a dot only in the middle", std::u16string(3000, u'a') + u".b" + std::u16string(3000, u'c'),
       a},
  };
  for (const auto& row : rows) EXPECT_EQ(SafeFileName(row.given), row.safe) << row.name;
}

// The names a downloader is handed come through ReadableName, escapes undone first.
TEST(FileNamesTest, AddressesGiveSafeNamesOrNone) {
  const struct {
    std::u16string address;
    std::optional<std::u16string> name;
  } rows[] = {
      {u"http://h/NUL", std::nullopt},
      {u"http://h/%20CON%20", std::nullopt},
      {u"http://h/con.txt?x=1", std::nullopt},
      {u"http://h/x.exe.%20%20", u"x.exe"},
      {u"http://h/C%3Aevil.exe", u"C%3Aevil.exe"},
      {u"http://h/%22q%22%3C%3E%7C.txt", u"%22q%22%3C%3E%7C.txt"},
      {u"http://h/" + std::u16string(5000, u'a') + u".zip",
       std::u16string(kLongestFileName - 4, u'a') + u".zip"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadableName(row.address), row.name) << ToUtf8(row.address).substr(0, 40);
  }
}

}  // namespace
}  // namespace zentrova::lists
