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

TEST(Base64TransformTest, DescriptionsNameThePositionAndCharacter) {
  const DecodeFailure failure{DecodeFailure::Kind::kOutsideAlphabet, 12, u'#'};
  const std::u16string description = DescribeFailure(failure);
  EXPECT_NE(description.find(u"第 12 个字符"), std::u16string::npos);
  EXPECT_NE(description.find(u"U+0023 '#'"), std::u16string::npos);
  EXPECT_EQ(DescribeFailure(DecodeFailure{}), u"");
}

}  // namespace
}  // namespace zentrova::base64
