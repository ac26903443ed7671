// One line handed off as every front end reports it: its result in the form, the failure's
// reason and the form's note in the front end's words, the download as data.
#include "lists/handed_line.h"

#include <gtest/gtest.h>

#include "codec/code_page.h"

namespace zentrova::lists {
namespace {

// A front end whose language writes every sentence in capitals, its details in place.
std::string Shouted(const std::string& english) {
  std::string words = english;
  for (char& c : words) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return words;
}

TEST(HandedLineTest, FailuresAndNotesAreSaidInTheFrontEndsWordsWithTheirDetails) {
  ASSERT_TRUE(codepage::SetNarrowCodePage(936));
  HandOff handOff(HandOffForm::kAria2, ListMode::kDecode);
  std::string out;

  const HandedLine failed =
      HandLineOff(handOff, 1, OpenFoundLink(u"thunder://!!!!", Charset::kAuto), &Shouted, out);
  EXPECT_TRUE(failed.failure);
  EXPECT_FALSE(failed.note);
  EXPECT_EQ(out, "");

  // The detail goes in as it is, after the words are translated.
  const LineResult unsafe = OpenFoundLink(u"http://h/a\u202Eb", Charset::kAuto);
  ASSERT_EQ(unsafe.kind, LineResult::Kind::kFailed);
  const HandedLine named = HandLineOff(handOff, 2, unsafe, &Shouted, out);
  EXPECT_EQ(named.failure, "THE ADDRESS HOLDS THE INVISIBLE OR DIRECTION CHARACTER U+202E");

  const HandedLine leftOut = HandLineOff(
      handOff, 3, OpenFoundLink(u"ed2k://|file|x|1|h|/", Charset::kAuto), &Shouted, out);
  EXPECT_FALSE(leftOut.failure);
  EXPECT_EQ(leftOut.note, "ARIA2 CANNOT DOWNLOAD THE ED2K ADDRESS; LEFT OUT");
  EXPECT_FALSE(leftOut.download);

  const HandedLine written =
      HandLineOff(handOff, 4, OpenFoundLink(u"http://h/a.zip", Charset::kAuto), &Shouted, out);
  EXPECT_FALSE(written.failure || written.note);
  ASSERT_TRUE(written.download);
  EXPECT_EQ(written.download->uri, "http://h/a.zip");
  EXPECT_EQ(written.download->name, u"a.zip");
  EXPECT_EQ(out, "http://h/a.zip\n  out=a.zip\n");
}

}  // namespace
}  // namespace zentrova::lists
