#include "codec/base64.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "base64_peer.h"
#include "codec/code_page.h"
#include "codec/utf8.h"
#include "event_recorder.h"

namespace zentrova {
namespace {

using ::testing::ElementsAre;
using testing::EventRecorder;
using ::testing::HasSubstr;

class Base64Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
  Base64 codec;
};

struct TextVector {
  std::u16string text;
  std::u16string encoded;
};

TEST_F(Base64Test, EncodesAndDecodesKnownTexts) {
  const TextVector vectors[] = {
      {u"abc", u"YWJj"},
      {u"a", u"YQ=="},
      {u"ab", u"YWI="},
      {u"foobar", u"Zm9vYmFy"},
      {u"中", u"1tA="},  // GBK D6 D0
      {u"http://a/b", u"aHR0cDovL2EvYg=="},
      {u"AAhttp://a/bZZ", u"QUFodHRwOi8vYS9iWlo="},
      {u"AAhttp://a/中ZZ", u"QUFodHRwOi8vYS/W0Fpa"},
      {std::u16string(1, u'\0'), u"AA=="},
  };
  for (const auto& v : vectors) {
    SCOPED_TRACE(testing::Narrow(v.encoded));
    EXPECT_EQ(codec.Encode(v.text), v.encoded);
    EXPECT_EQ(codec.Decode(v.encoded), v.text);
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

TEST_F(Base64Test, BreaksEncodedTextIntoLinesOf72) {
  const std::u16string line54(54, u'x');
  EXPECT_EQ(codec.Encode(line54).size(), 72u);
  EXPECT_EQ(codec.Encode(line54).find(u'\n'), std::u16string::npos);

  const std::u16string text55(55, u'x');
  const std::u16string encoded = codec.Encode(text55);
  ASSERT_EQ(encoded.size(), 77u);
  EXPECT_EQ(encoded[72], u'\n');
  EXPECT_EQ(encoded.substr(73), u"eA==");
  EXPECT_EQ(codec.Decode(encoded), text55);
  EXPECT_EQ(codec.Decode(encoded + u"\n"), text55);

  // 27 Chinese characters are 54 bytes in GBK: one line, whatever the character count.
  const std::u16string chinese(27, u'中');
  EXPECT_EQ(codec.Encode(chinese).size(), 72u);

  const std::u16string text108(108, u'y');
  const std::u16string two = codec.Encode(text108);
  EXPECT_EQ(two.size(), 145u);
  EXPECT_EQ(two[72], u'\n');
  EXPECT_NE(two.back(), u'\n');
}

TEST_F(Base64Test, DecodeSkipsWhitespaceAndMissingPadding) {
  const TextVector accepted[] = {
      {u"abc", u"YW\r\nJj"}, {u"abc", u" Y W J j "}, {u"abc", u"\tYWJj\t"}, {u"a", u"YQ"},
      {u"ab", u"YWI"},       {u"a", u"YQ=\n="},      {u"a", u"YQ="},        {u"abc", u"YWJj\r\n"},
  };
  for (const auto& v : accepted) {
    SCOPED_TRACE(testing::Narrow(v.encoded));
    EXPECT_EQ(codec.Decode(v.encoded), v.text);
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

TEST_F(Base64Test, RefusesTextThatIsNotBase64WithOneEvent) {
  struct Bad {
    std::u16string text;
    std::string where;  // the description names the faulty position
  };
  const Bad refused[] = {
      {u"YW#j", "第 3 个字符"},  {u"YQ==YQ==", "第 5 个字符"}, {u"Y", "第 1 个字符"},
      {u"=YWJ", "第 1 个字符"},  {u"YQ=a", "第 4 个字符"},     {u"YWJj中", "第 5 个字符"},
      {u"YWJjY", "第 5 个字符"}, {u"YW-j", "第 3 个字符"},     {u"YWJj===", "第 5 个字符"},
  };
  for (const auto& bad : refused) {
    SCOPED_TRACE(testing::Narrow(bad.text));
    Base64 fresh;
    EventRecorder recorder;
    fresh.Attach(recorder);
    EXPECT_EQ(fresh.Decode(bad.text), u"");
    EXPECT_NE(fresh.LastErrorCode(), 0);
    EXPECT_THAT(recorder.events,
                ElementsAre("ErrorOccured " + std::to_string(fresh.LastErrorCode())));
    EXPECT_EQ(recorder.lastDescription, fresh.LastErrorDescription());
    EXPECT_THAT(ToUtf8(fresh.LastErrorDescription()), HasSubstr(bad.where));
  }
}

TEST_F(Base64Test, EmptyTextTouchesNothing) {
  EventRecorder recorder;
  codec.Decode(u"#");  // leave an error in place
  codec.Attach(recorder);
  const auto code = codec.LastErrorCode();
  const auto description = codec.LastErrorDescription();
  EXPECT_EQ(codec.Encode(u""), u"");
  EXPECT_EQ(codec.Decode(u""), u"");
  EXPECT_EQ(codec.LastErrorCode(), code);
  EXPECT_EQ(codec.LastErrorDescription(), description);
  EXPECT_TRUE(recorder.events.empty());
}

TEST_F(Base64Test, SuccessKeepsTheLastErrorUntilCleared) {
  EXPECT_EQ(codec.Decode(u"not base64!"), u"");
  const auto code = codec.LastErrorCode();
  const auto description = codec.LastErrorDescription();
  ASSERT_NE(code, 0);
  EXPECT_EQ(codec.Encode(u"abc"), u"YWJj");
  EXPECT_EQ(codec.Decode(u"YWJj"), u"abc");
  EXPECT_EQ(codec.LastErrorCode(), code);
  EXPECT_EQ(codec.LastErrorDescription(), description);

  EventRecorder recorder;
  codec.Attach(recorder);
  codec.ClearError();
  EXPECT_EQ(codec.LastErrorCode(), 0);
  EXPECT_EQ(codec.LastErrorDescription(), u"");
  EXPECT_TRUE(recorder.events.empty());
}

TEST_F(Base64Test, ErrorStateIsSetBeforeTheEventIsRaised) {
  EventRecorder recorder;
  std::int32_t seenCode = 0;
  std::u16string seenDescription;
  recorder.onError = [&](std::int32_t) {
    seenCode = codec.LastErrorCode();
    seenDescription = codec.LastErrorDescription();
  };
  codec.Attach(recorder);
  codec.Decode(u"@@@@");
  EXPECT_EQ(seenCode, recorder.lastCode);
  EXPECT_EQ(seenDescription, recorder.lastDescription);
  EXPECT_NE(seenCode, 0);
}

TEST_F(Base64Test, EventsReachEveryListenerInAttachOrder) {
  EventRecorder first("first"), second("second");
  codec.Attach(first);
  codec.Attach(second);
  codec.Attach(first);  // attaching twice does not deliver twice
  std::vector<std::string> order;
  first.onError = [&](std::int32_t) { order.push_back("first"); };
  second.onError = [&](std::int32_t) { order.push_back("second"); };
  codec.Decode(u"!");
  EXPECT_THAT(order, ElementsAre("first", "second"));

  codec.Detach(first);
  codec.Decode(u"!");
  EXPECT_THAT(order, ElementsAre("first", "second", "second"));
}

TEST_F(Base64Test, ListenerDetachedDuringAnEventHearsNothingMore) {
  EventRecorder first("first"), second("second");
  first.onError = [&](std::int32_t) { codec.Detach(second); };
  codec.Attach(first);
  codec.Attach(second);
  codec.Decode(u"!");
  EXPECT_EQ(first.events.size(), 1u);
  EXPECT_TRUE(second.events.empty());
}

struct BlockSizeRow {
  std::int32_t bytes;
  std::int32_t encodeBlock;
  std::int32_t decodeBlock;
};

TEST_F(Base64Test, BlockSizeRoundsUpToWholeLines) {
  EXPECT_EQ(Base64Peer::EncodeBlockSize(codec), 1048626);
  EXPECT_EQ(Base64Peer::DecodeBlockSize(codec), 1048864);
  const BlockSizeRow rows[] = {
      {1048576, 1048626, 1048864},
      {1, 54, 584},
      {54, 54, 584},
      {55, 108, 584},
      {584, 594, 584},
      {585, 594, 1168},
      {0, 0, 0},
      {-10, 54, 584},
      {-54, -54, 584},
      {-60, 0, 584},
      {2147483610, 2147483610, 2147483632},
      {std::numeric_limits<std::int32_t>::min(), -2147483556, -2147483048},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    codec.BlockSize(row.bytes);
    EXPECT_EQ(Base64Peer::EncodeBlockSize(codec), row.encodeBlock);
    EXPECT_EQ(Base64Peer::DecodeBlockSize(codec), row.decodeBlock);
  }
}

TEST_F(Base64Test, BlockSizeOverflowThrowsAndStoresNothing) {
  codec.BlockSize(585);
  EventRecorder recorder;
  codec.Attach(recorder);
  for (const std::int32_t bytes : {2147483611, std::numeric_limits<std::int32_t>::max()}) {
    try {
      codec.BlockSize(bytes);
      ADD_FAILURE() << "no overflow for " << bytes;
    } catch (const CodecError& e) {
      EXPECT_EQ(e.code(), 6);
    }
    EXPECT_EQ(Base64Peer::EncodeBlockSize(codec), 594);
    EXPECT_EQ(Base64Peer::DecodeBlockSize(codec), 1168);
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
  EXPECT_TRUE(recorder.events.empty());
}

TEST_F(Base64Test, RoundTripsEveryTextTheCodePageHolds) {
  std::mt19937 random(7);
  // ASCII, GBK's Chinese block and its full-width punctuation.
  std::uniform_int_distribution<int> pick(0, 2);
  std::uniform_int_distribution<int> ascii(0x20, 0x7E), hanzi(0x4E00, 0x9FA5), wide(0xFF01, 0xFF5E);
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    const int length = 1 + round * 3;
    for (int i = 0; i < length; ++i) {
      const int kind = pick(random);
      text += static_cast<char16_t>(kind == 0   ? ascii(random)
                                    : kind == 1 ? hanzi(random)
                                                : wide(random));
    }
    ASSERT_EQ(codec.Decode(codec.Encode(text)), text) << "round " << round;
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

TEST_F(Base64Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(codec.Decode(codec.Encode(u"a\u0E01b")), u"a?b");       // Thai
  EXPECT_EQ(codec.Decode(codec.Encode(u"x\U0001F600y")), u"x??y");  // one surrogate pair
}

TEST_F(Base64Test, DecodedBytesThatFormNoCharacterStillGiveOneCharacterEach) {
  // 0x81 opens a two-byte character in GBK; 0xFF never does, and stands for U+F8F5. Windows's
  // own code page says "?" for a lone 0x81 (taking the byte after it along); the code page
  // elsewhere says U+FFFD for each byte that is no character.
  const std::u16string ff = u"\uF8F5";
#ifdef _WIN32
  const std::u16string lone = u"?", badPair = u"?";
#else
  const std::u16string lone = u"\uFFFD", badPair = u"\uFFFD ";
#endif
  EXPECT_EQ(codec.Decode(u"gQ=="), lone);            // 81
  EXPECT_EQ(codec.Decode(u"/w=="), ff);              // FF
  EXPECT_EQ(codec.Decode(u"gSA="), badPair);         // 81 20
  EXPECT_EQ(codec.Decode(u"/4FA"), ff + u"\u4E02");  // FF, then 81 40
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

}  // namespace
}  // namespace zentrova
