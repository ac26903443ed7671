#include "codec/base64_transform.h"

#include <gtest/gtest.h>

#include <random>

namespace zentrova::base64 {
namespace {

std::string EncodeText(std::string_view bytes) {
  std::string out;
  EncodeAppend(bytes, out);
  return out;
}

// Decodes `text` fed in pieces of `piece` characters, as a file run feeds its blocks.
std::string DecodeInPieces(std::string_view text, std::size_t piece, DecodeFailure* failure) {
  Decoder decoder;
  std::string out;
  for (std::size_t at = 0; at < text.size() && !*failure; at += piece) {
    *failure = decoder.Feed(text.substr(at, piece), out);
  }
  if (!*failure) *failure = decoder.Finish(out);
  return out;
}

TEST(Base64TransformTest, EncodedLengthCountsLineFeedsBetweenLines) {
  const std::pair<std::size_t, std::size_t> rows[] = {{0, 0},   {1, 4},   {3, 4},     {53, 72},
                                                      {54, 72}, {55, 77}, {108, 145}, {109, 150}};
  for (const auto& [bytes, chars] : rows) {
    EXPECT_EQ(EncodedLength(bytes), chars) << bytes;
    EXPECT_EQ(EncodeText(std::string(bytes, 'q')).size(), chars) << bytes;
  }
}

TEST(Base64TransformTest, MatchesRfc4648Vectors) {
  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\xfd", 3), "//79"},
  };
  for (const auto& [bytes, text] : rows) {
    EXPECT_EQ(EncodeText(bytes), text);
    DecodeFailure failure;
    EXPECT_EQ(DecodeInPieces(text, 1000, &failure), bytes);
    EXPECT_FALSE(failure);
  }
}

TEST(Base64TransformTest, DecodesTheSameHoweverTheTextIsSplit) {
  std::mt19937 random(11);
  std::string bytes(1000, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  std::string text = EncodeText(bytes);
  std::string crlf;  // the same text with CR LF line ends and 76 columns, as other tools write it
  std::string flat;
  for (char c : text) {
    if (c != '\n') flat += c;
  }
  for (std::size_t i = 0; i < flat.size(); ++i) {
    if (i > 0 && i % 76 == 0) crlf += "\r\n";
    crlf += flat[i];
  }
  for (const std::string* encoded : {&text, &flat, &crlf}) {
    for (const std::size_t piece : {1u, 2u, 3u, 5u, 73u, 584u, 100000u}) {
      DecodeFailure failure;
      EXPECT_EQ(DecodeInPieces(*encoded, piece, &failure), bytes) << piece;
      EXPECT_FALSE(failure) << piece;
    }
  }
}

TEST(Base64TransformTest, ReportsTheKindAndPositionOfAFault) {
  using Kind = DecodeFailure::Kind;
  struct Row {
    std::string text;
    Kind kind;
    std::size_t position;
  };
  const Row rows[] = {
      {"Zm9v!", Kind::kOutsideAlphabet, 5},     {"Zg==Zg==", Kind::kAfterPadding, 5},
      {"Zg=a", Kind::kAfterPadding, 4},         {"=Zm9", Kind::kMisplacedPadding, 1},
      {"Z===", Kind::kMisplacedPadding, 2},     {"Zm9vY", Kind::kIncompleteGroup, 5},
      {"Zm9v\n\nZ", Kind::kIncompleteGroup, 7}, {"Zm8=\n=", Kind::kAfterPadding, 6},
  };
  for (const auto& row : rows) {
    for (const std::size_t piece : {1u, 3u, 100u}) {
      DecodeFailure failure;
      DecodeInPieces(row.text, piece, &failure);
      EXPECT_EQ(failure.kind, row.kind) << row.text << " in pieces of " << piece;
      EXPECT_EQ(failure.position, row.position) << row.text << " in pieces of " << piece;
    }
  }
}

TEST(Base64TransformTest, DescriptionsNameTheRealCharacterAndItsPosition) {
  struct Row {
    const char* name;
    std::string bytes;     // fed as bytes, as a file is
    std::u16string text;   // fed as text, as Decode is; unused when empty
    std::u16string where;  // expected in the description
  };
  const Row rows[] = {
      {"ascii", "Zm9v#", u"", u"第 5 个字节（U+0023 '#'）"},
      {"utf-8 han", "Zm9v\xe4\xb8\xad", u"", u"第 5 个字节（U+4E2D '中'）"},
      {"byte-order mark inside", "Zm9v\xef\xbb\xbf", u"", u"第 5 个字节（U+FEFF）"},
      {"four-byte utf-8", "Zm\xf0\x9f\x98\x80", u"", u"第 3 个字节（U+1F600 '\U0001F600'）"},
      {"lone byte", "Zm9v\xff", u"", u"第 5 个字节（字节 0xFF）"},
      {"gbk han", "Zm9v\xd6\xd0", u"", u"第 5 个字节（字节 0xD6）"},
      {"text han", "", u"Zm9v中", u"第 5 个字符（U+4E2D '中'）"},
      {"text pair", "", u"Z\U0001F600", u"第 2 个字符（U+1F600 '\U0001F600'）"},
      {"text lone surrogate", "", u"Z\xdc80", u"第 2 个字符（U+DC80）"},
  };
  for (const auto& row : rows) {
    Decoder decoder;
    std::string out;
    const DecodeFailure failure = row.text.empty() ? decoder.Feed(std::string_view(row.bytes), out)
                                                   : decoder.Feed(row.text, out);
    const std::u16string description = DescribeFailure(failure);
    EXPECT_NE(description.find(row.where), std::u16string::npos) << row.name;
  }
  EXPECT_EQ(DescribeFailure(DecodeFailure{}), u"");
}

TEST(Base64TransformTest, AfterAFaultTheNextChunkDecodesInStepWithTheText) {
  // "YWJj" "ZGVm" "Z2hp" "amts": abc def ghi jkl. The fault stands in the second group; the
  // chunks end inside groups, as they do in texts of 76 columns.
  struct Row {
    const char* name;
    std::string first, second;
    std::string expected;  // what the second chunk gives
  };
  const Row rows[] = {
      {"bad character in place of a good one", "YWJjZG!mZ2", "hpamts", "ghijkl"},
      {"bad character in the group that straddles", "YWJjZGVmZ!", "hpamts", "jkl"},
      {"whitespace does not count", "YWJj ZG!m\r\nZ2", "hp amts", "ghijkl"},
      {"misplaced padding holds a place", "YWJjZG=mZ2", "hpamts", "ghijkl"},
      {"padding that closed a group early", "YWJjZg==Z2", "hpamts", "ghijkl"},
  };
  for (const auto& row : rows) {
    Decoder decoder;
    std::string out;
    EXPECT_TRUE(decoder.Feed(std::string_view(row.first), out)) << row.name;
    decoder.Resync();
    out.clear();
    EXPECT_FALSE(decoder.Feed(std::string_view(row.second), out)) << row.name;
    EXPECT_FALSE(decoder.Finish(out)) << row.name;
    EXPECT_EQ(out, row.expected) << row.name;
  }
}

TEST(Base64TransformTest, ByteOrderMarkIsSkippedOnlyAtTheVeryStart) {
  Decoder decoder;
  std::string out;
  EXPECT_FALSE(decoder.Feed(std::string_view("\xef\xbb\xbfYWJj"), out));
  EXPECT_FALSE(decoder.Finish(out));
  EXPECT_EQ(out, "abc");
  Decoder later;
  out.clear();
  EXPECT_FALSE(later.Feed(std::string_view("YWJj"), out));
  EXPECT_EQ(later.Feed(std::string_view("\xef\xbb\xbf"), out).kind,
            DecodeFailure::Kind::kOutsideAlphabet);
}

}  // namespace
}  // namespace zentrova::base64
