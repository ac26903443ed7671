// Decoded lists as downloaders take them: the aria2, IDM, JSON and lines forms, each download
// once, what each leaves out, and the downloads written handed back as data.
#include "lists/hand_off.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "codec/code_page.h"
#include "codec/utf8.h"

namespace zentrova::lists {
namespace {

using links::LinkKind;

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
};

LineResult Opened(std::u16string_view line) { return OpenFoundLink(line, Charset::kAuto); }

std::string Written(HandOffForm form, ListMode mode, const std::vector<LineResult>& results,
                    std::vector<std::string>* notes = nullptr) {
  HandOff handOff(form, mode);
  std::string out;
  long number = 0;
  for (const LineResult& result : results) {
    const Handed handed = handOff.Append(++number, result, out);
    if (handed.note && notes) notes->push_back(std::to_string(number) + ": " + *handed.note);
  }
  return out;
}

// A GBK Thunder link, a UTF-8 QQ link, the same download again, a magnet, an ed2k, a failure, a
// blank line and a plain address.
std::vector<LineResult> MixedList() {
  return {
      Opened(u"下载：thunder://QUFodHRwOi8vaC+159OwILXaMbyvLm1rdlpa 谢谢"),
      Opened(u"qqdl://aHR0cDovL2gv5Lit5paHLnppcA=="),
      Opened(u"[url]qqdl://aHR0cDovL2gv5Lit5paHLnppcA==[/url]"),
      Opened(u"thunder://QUFtYWduZXQ6P3h0PXVybjpidGloOmFiY1pa"),
      Opened(u"thunder://QUFlZDJrOi8vfGZpbGV8eHwxfGh8L1pa"),
      Opened(u"qqdl://@@"),
      Opened(u""),
      Opened(u"https://h/a.zip"),
  };
}

TEST_F(HandOffTest, Aria2GetsEachDownloadOnceWithItsNameAndNoEd2k) {
  std::vector<std::string> notes;
  EXPECT_EQ(Written(HandOffForm::kAria2, ListMode::kDecode, MixedList(), &notes),
            "http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv\n"
            "  out=电影 第1集.mkv\n"
            "http://h/%E4%B8%AD%E6%96%87.zip\n"
            "  out=中文.zip\n"
            "magnet:?xt=urn:btih:abc\n"
            "https://h/a.zip\n"
            "  out=a.zip\n");
  EXPECT_EQ(notes, std::vector<std::string>{"5: aria2 cannot download the ed2k address; left out"});
}

TEST_F(HandOffTest, IdmExportHoldsOnlyServerDownloadsWithCrLf) {
  std::vector<std::string> notes;
  EXPECT_EQ(Written(HandOffForm::kEf2, ListMode::kDecode, MixedList(), &notes),
            "<\r\nhttp://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv\r\n>\r\n"
            "<\r\nhttp://h/%E4%B8%AD%E6%96%87.zip\r\n>\r\n"
            "<\r\nhttps://h/a.zip\r\n>\r\n");
  EXPECT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].substr(0, 3), "4: ");
  EXPECT_EQ(notes[1].substr(0, 3), "5: ");
}

TEST_F(HandOffTest, JsonHasAnObjectForEveryLine) {
  const std::string json = Written(HandOffForm::kJson, ListMode::kDecode, MixedList());
  const std::string lines[] = {
      R"({"line":1,"address":"http://h/电影 第1集.mkv","uri":"http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv","name":"电影 第1集.mkv","link":"thunder://QUFodHRwOi8vaC+159OwILXaMbyvLm1rdlpa","kind":"thunder","charset":"936"})",
      R"({"line":2,"address":"http://h/中文.zip","uri":"http://h/%E4%B8%AD%E6%96%87.zip","name":"中文.zip","link":"qqdl://aHR0cDovL2gv5Lit5paHLnppcA==","kind":"qqdl","charset":"utf-8"})",
      R"({"line":3,"address":"http://h/中文.zip","uri":"http://h/%E4%B8%AD%E6%96%87.zip","name":"中文.zip","link":"qqdl://aHR0cDovL2gv5Lit5paHLnppcA==","kind":"qqdl","charset":"utf-8"})",
      R"({"line":4,"address":"magnet:?xt=urn:btih:abc","uri":"magnet:?xt=urn:btih:abc","name":null,"link":"thunder://QUFtYWduZXQ6P3h0PXVybjpidGloOmFiY1pa","kind":"thunder","charset":"ascii"})",
      R"({"line":5,"address":"ed2k://|file|x|1|h|/","uri":"ed2k://|file|x|1|h|/","name":"x","link":"thunder://QUFlZDJrOi8vfGZpbGV8eHwxfGh8L1pa","kind":"thunder","charset":"ascii"})",
      R"({"line":6,"error":"the link holds no Base64 text"})",
      R"({"line":7})",
      R"({"line":8,"address":"https://h/a.zip","uri":"https://h/a.zip","name":"a.zip","link":null,"kind":"plain","charset":null})",
  };
  std::string expected;
  for (const std::string& line : lines) expected += line + "\n";
  EXPECT_EQ(json, expected);

  // Quotes and backslashes in an address, and a made link.
  EXPECT_EQ(
      Written(HandOffForm::kJson, ListMode::kThunder,
              {MakeFoundLink(LinkKind::kThunder, u"http://h/\"a\\b\"", Charset::kAuto)}),
      R"({"line":1,"address":"http://h/\"a\\b\"","link":"thunder://QUFodHRwOi8vaC8iYVxiIlpa","kind":"thunder","charset":"ascii"})"
      "\n");
}

TEST_F(HandOffTest, LinesAreTheReadableResultsWithBlankLinesForFailures) {
  EXPECT_EQ(Written(HandOffForm::kLines, ListMode::kDecode, MixedList()),
            "http://h/电影 第1集.mkv\nhttp://h/中文.zip\nhttp://h/中文.zip\n"
            "magnet:?xt=urn:btih:abc\ned2k://|file|x|1|h|/\n\n\nhttps://h/a.zip\n");
}

TEST_F(HandOffTest, AddressesOnThisMachineAreLeftOutOfDownloadersFormsOnly) {
  const char16_t* const lines[] = {
      u"thunder://QUFodHRwOi8vMTI3LjE6NjgwMC9qc29ucnBjP21ldGhvZD1hcmlhMi5hZGRVcmlaWg==",
      u"http://localhost/a.zip",
      u"https://user:pw@[::1]:8080/a.zip",
      u"ftp://2130706433/a.zip",
      u"http://%6c%6fcalhost./a.zip",
      u"http://127.example.com/a.zip",
  };
  std::vector<LineResult> results;
  for (const char16_t* line : lines) results.push_back(Opened(line));
  ASSERT_EQ(results[0].text, u"http://127.1:6800/jsonrpc?method=aria2.addUri");
  const std::string note =
      ": the address names this machine, which a downloader would reach past the protections a "
      "browser gives; left out";
  const std::vector<std::string> leftOut = {"1" + note, "2" + note, "3" + note, "4" + note,
                                            "5" + note};
  std::vector<std::string> notes;
  EXPECT_EQ(Written(HandOffForm::kAria2, ListMode::kDecode, results, &notes),
            "http://127.example.com/a.zip\n  out=a.zip\n");
  EXPECT_EQ(notes, leftOut);
  notes.clear();
  EXPECT_EQ(Written(HandOffForm::kEf2, ListMode::kDecode, results, &notes),
            "<\r\nhttp://127.example.com/a.zip\r\n>\r\n");
  EXPECT_EQ(notes, leftOut);

  // A page may link there without us: the readable forms keep every address.
  notes.clear();
  const std::string plain = Written(HandOffForm::kLines, ListMode::kDecode, results, &notes);
  EXPECT_NE(plain.find("http://127.1:6800/jsonrpc"), std::string::npos);
  EXPECT_NE(plain.find("https://user:pw@[::1]:8080/a.zip"), std::string::npos);
  const std::string json = Written(HandOffForm::kJson, ListMode::kDecode, results, &notes);
  EXPECT_NE(json.find(R"("uri":"ftp://2130706433/a.zip")"), std::string::npos);
  EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 6);
  EXPECT_TRUE(notes.empty());

  // The downloader is given the bytes: those count even where the text read names elsewhere.
  LineResult differs = Opened(u"http://h/a.zip");
  differs.bytes = "http://127.0.0.1/a.zip";
  notes.clear();
  EXPECT_EQ(Written(HandOffForm::kAria2, ListMode::kDecode, {differs}, &notes), "");
  EXPECT_EQ(notes.size(), 1u);
}

TEST_F(HandOffTest, DownloadsWrittenAreHandedBackAsData) {
  const auto downloads = [](HandOffForm form) {
    HandOff handOff(form, ListMode::kDecode);
    std::string out;
    std::vector<std::pair<std::string, std::optional<std::u16string>>> given;
    long number = 0;
    for (const LineResult& result : MixedList()) {
      const Handed handed = handOff.Append(++number, result, out);
      if (handed.download) given.emplace_back(handed.download->uri, handed.download->name);
    }
    return given;
  };
  using Given = std::vector<std::pair<std::string, std::optional<std::u16string>>>;
  EXPECT_EQ(downloads(HandOffForm::kAria2),
            (Given{{"http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv", u"电影 第1集.mkv"},
                   {"http://h/%E4%B8%AD%E6%96%87.zip", u"中文.zip"},
                   {"magnet:?xt=urn:btih:abc", std::nullopt},
                   {"https://h/a.zip", u"a.zip"}}));
  // IDM's export names no file.
  EXPECT_EQ(downloads(HandOffForm::kEf2), (Given{{"http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv", {}},
                                                 {"http://h/%E4%B8%AD%E6%96%87.zip", {}},
                                                 {"https://h/a.zip", {}}}));
  EXPECT_TRUE(downloads(HandOffForm::kJson).empty());
  EXPECT_TRUE(downloads(HandOffForm::kLines).empty());
}

TEST_F(HandOffTest, MadeLinksOnlyGoToLinesOrJson) {
  for (const ListMode make : {ListMode::kThunder, ListMode::kFlashGet, ListMode::kQQWhirlwind}) {
    EXPECT_TRUE(FormHolds(HandOffForm::kLines, make));
    EXPECT_TRUE(FormHolds(HandOffForm::kJson, make));
    EXPECT_FALSE(FormHolds(HandOffForm::kAria2, make));
    EXPECT_FALSE(FormHolds(HandOffForm::kEf2, make));
  }
  for (const HandOffForm form :
       {HandOffForm::kLines, HandOffForm::kAria2, HandOffForm::kEf2, HandOffForm::kJson}) {
    EXPECT_TRUE(FormHolds(form, ListMode::kDecode));
  }
}

// An address of about three pieces whose text has `at` (a character, a pair, a lone half, a
// quote) just where a piece of its field ends.
std::u16string LongAddress(std::u16string_view at, std::u16string_view filler = u"a") {
  std::u16string address = u"http://h/";
  while (address.size() < kSpillPiece - 1) address += filler;
  address.resize(kSpillPiece - 1);
  address += at;
  while (address.size() < 3 * kSpillPiece) address += filler;
  return address + u".mkv";
}

TEST_F(HandOffTest, LongEntriesSpilledInPiecesAreTheEntriesWhole) {
  const auto plain = [](std::u16string_view at, std::u16string_view filler = u"a") {
    return LineResult{.kind = LineResult::Kind::kPassedThrough,
                      .text = LongAddress(at, filler),
                      .bytes = ToUtf8(LongAddress(at, filler))};
  };
  const auto thunder = [](std::u16string_view at, std::u16string_view filler = u"a") {
    const LineResult made =
        MakeFoundLink(LinkKind::kThunder, LongAddress(at, filler), Charset::kUtf8);
    return Opened(made.text);
  };
  struct Row {
    const char* name;
    LineResult result;
    ListMode mode = ListMode::kDecode;
  };
  const Row rows[] = {
      {"an ASCII address", plain(u"b")},
      {"a pair across the cut", plain(u"\U0001F600")},
      {"a lone half at the cut", plain(u"\xD800")},
      {"a quote at the cut", plain(u"\"")},
      {"Chinese throughout", plain(u"影", u"电")},
      {"a Thunder link", thunder(u"\U0001F600", u"电")},
      {"a link made", MakeFoundLink(LinkKind::kThunder, LongAddress(u"影"), Charset::kAuto),
       ListMode::kThunder},
  };
  for (const Row& row : rows) {
    for (const HandOffForm form :
         {HandOffForm::kLines, HandOffForm::kAria2, HandOffForm::kEf2, HandOffForm::kJson}) {
      if (!FormHolds(form, row.mode)) continue;
      SCOPED_TRACE(std::string(row.name) + ", form " + std::to_string(static_cast<int>(form)));
      ASSERT_NE(row.result.kind, LineResult::Kind::kFailed) << row.result.why;
      const std::string whole = Written(form, row.mode, {row.result});
      HandOff handOff(form, row.mode);
      std::string spilled;
      std::size_t spills = 0;
      std::size_t largest = 0;
      handOff.SpillTo([&](std::string& out) {
        spilled += out;
        largest = std::max(largest, out.size());
        ++spills;
        out.clear();
      });
      std::string out;
      handOff.Append(1, row.result, out);
      EXPECT_EQ(spilled + out, whole);
      // Three bytes of UTF-8 a unit, or six of an escape, and a field's name at most.
      EXPECT_GE(spills, 3u);
      EXPECT_LE(largest, 6 * kSpillPiece + 64);
    }
  }
}

}  // namespace
}  // namespace zentrova::lists
