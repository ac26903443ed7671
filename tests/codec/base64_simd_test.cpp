// Every path of the transform that this processor can run gives exactly what the plain path
// gives: the same text, the same bytes, the same fault at the same place, the same state after
// it. Texts of every length, and blanks, padding and faults at every place of a vector block.
#include "codec/base64_simd.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/base64_transform.h"

namespace zentrova::base64 {
namespace {

using simd::Path;

// Runs the test body on every path this processor has, the plain one last so that what it
// leaves behind is the default again.
class VectorPathTest : public ::testing::Test {
 protected:
  void TearDown() override { simd::UsePath(simd::PathsOfThisProcessor().back()); }

  static std::vector<Path> VectorPaths() {
    std::vector<Path> paths = simd::PathsOfThisProcessor();
    paths.erase(paths.begin());  // the plain one, which the others are compared with
    return paths;
  }
};

std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(byte(random));
  return bytes;
}

// All a decoding run shows: the bytes, each chunk's fault and byte count, and what the decoder
// does after resynchronising on the next chunk.
template <typename Text>
std::string DecodeRecord(const Text& text, const std::vector<std::size_t>& cuts) {
  Decoder decoder;
  std::string out, record;
  std::size_t from = 0;
  auto feed = [&](std::size_t to) {
    const std::basic_string_view<typename Text::value_type> view(text);
    const DecodeFailure failure = decoder.Feed(view.substr(from, to - from), out);
    record += "[";
    record += std::to_string(static_cast<int>(failure.kind)) + " " +
              std::to_string(failure.position) + " " + std::to_string(failure.character) + " " +
              std::to_string(failure.byte) + " " + std::to_string(decoder.BytesInLastChunk()) + "]";
    if (failure) decoder.Resync();
    from = to;
  };
  for (const std::size_t cut : cuts) feed(cut);
  feed(text.size());
  const DecodeFailure end = decoder.Finish(out);
  record += "{";
  record += std::to_string(static_cast<int>(end.kind)) + " " + std::to_string(end.position) + "}";
  return record + out;
}

template <typename Text>
std::string DecodeOnEveryPath(const Text& text, const std::vector<std::size_t>& cuts,
                              const std::vector<Path>& paths, const std::string& what) {
  simd::UsePath(Path::kScalar);
  const std::string expected = DecodeRecord(text, cuts);
  for (const Path path : paths) {
    simd::UsePath(path);
    EXPECT_EQ(DecodeRecord(text, cuts), expected) << simd::NameOf(path) << ": " << what;
  }
  return expected;
}

std::u16string Wide(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(VectorPathTest, EncodesEveryLengthAsThePlainPathDoes) {
  const std::vector<Path> paths = VectorPaths();
  if (paths.empty()) GTEST_SKIP() << "this processor has no vector path";
  std::mt19937 random(7);
  std::vector<std::size_t> lengths;
  for (std::size_t n = 0; n <= 4096; ++n) lengths.push_back(n);
  for (const std::size_t n : {54u * 1000, 54u * 1000 + 1, 1u << 20}) lengths.push_back(n);
  for (const std::size_t n : lengths) {
    const std::string bytes = RandomBytes(random, n);
    simd::UsePath(Path::kScalar);
    std::string plain;
    std::u16string plainWide;
    EncodeAppend(bytes, plain);
    EncodeAppend(bytes, plainWide);
    for (const Path path : paths) {
      simd::UsePath(path);
      std::string vector = "kept";  // appended to, as the plain path does
      std::u16string vectorWide = u"kept";
      EncodeAppend(bytes, vector);
      EncodeAppend(bytes, vectorWide);
      ASSERT_EQ(vector, "kept" + plain) << simd::NameOf(path) << ", " << n << " bytes";
      ASSERT_EQ(vectorWide, u"kept" + plainWide) << simd::NameOf(path) << ", " << n << " bytes";
    }
  }
}

TEST_F(VectorPathTest, DecodesEveryLengthAndLayoutAsThePlainPathDoes) {
  const std::vector<Path> paths = VectorPaths();
  if (paths.empty()) GTEST_SKIP() << "this processor has no vector path";
  std::mt19937 random(11);
  for (std::size_t n = 0; n <= 4096; n += (n < 300 ? 1 : 37)) {
    std::string text;
    EncodeAppend(RandomBytes(random, n), text);
    const std::string crlf = [&] {
      std::string t;
      for (const char c : text) t += c == '\n' ? std::string("\r\n") : std::string(1, c);
      return t;
    }();
    std::string unbroken = text;
    std::erase(unbroken, '\n');
    std::string spaced = unbroken;  // a blank every 29 characters, never at a group's end
    for (std::size_t at = 29; at < spaced.size(); at += 30) spaced.insert(at, 1, " \t"[at % 2]);
    const std::vector<std::pair<const char*, std::string>> layouts = {
        {"lines", text}, {"CR LF", crlf}, {"one line", unbroken}, {"spaced", spaced}};
    for (const auto& [layout, t] : layouts) {
      const std::string what = std::string(layout) + ", " + std::to_string(n) + " bytes";
      DecodeOnEveryPath(t, {}, paths, what);
      DecodeOnEveryPath(Wide(t), {}, paths, what + ", UTF-16");
      const std::size_t cut = t.empty() ? 0 : random() % t.size();
      DecodeOnEveryPath(t, {cut}, paths, what + ", cut at " + std::to_string(cut));
    }
  }
}

TEST_F(VectorPathTest, FaultsPaddingAndBlanksAtEveryPlaceOfABlockAsThePlainPathDoes) {
  const std::vector<Path> paths = VectorPaths();
  if (paths.empty()) GTEST_SKIP() << "this processor has no vector path";
  std::mt19937 random(13);
  std::string text;
  EncodeAppend(RandomBytes(random, 300), text);  // five lines and a bit
  const std::vector<std::pair<const char*, std::string>> inserts = {
      {"bad", "@"},        {"high byte", "\xe4\xb8\xad"},
      {"padding", "="},    {"two pads", "=="},
      {"space", " "},      {"CR LF", "\r\n"},
      {"tab", "\t"},       {"NUL", std::string(1, '\0')},
      {"minus", "-"},      {"letters", "QUJD"},
      {"one letter", "Q"}, {"DEL", "\x7f"},
  };
  for (std::size_t at = 0; at <= 140; ++at) {
    for (const auto& [name, insert] : inserts) {
      std::string t = text;
      t.insert(at, insert);
      const std::string what = std::string(name) + " at " + std::to_string(at);
      DecodeOnEveryPath(t, {}, paths, what);
      DecodeOnEveryPath(Wide(t), {}, paths, what + ", UTF-16");
      DecodeOnEveryPath(t, {at / 2, at + 3}, paths, what + ", in three chunks");
      // A character only UTF-16 text can hold, and a replaced character rather than an
      // inserted one.
      std::u16string wide = Wide(text);
      wide.insert(at, 1, u'\u0141');
      DecodeOnEveryPath(wide, {}, paths, "U+0141 at " + std::to_string(at));
      std::string replaced = text;
      if (at < replaced.size()) replaced[at] = insert[0];
      DecodeOnEveryPath(replaced, {}, paths,
                        std::string(name) + " replacing " + std::to_string(at));
    }
  }
  // A byte-order mark starts a byte text; a padded text ends where its padding stands.
  DecodeOnEveryPath("\xef\xbb\xbf" + text, {}, paths, "byte-order mark");
  DecodeOnEveryPath(text + "=" + text, {}, paths, "text after padding");
}

}  // namespace
}  // namespace zentrova::base64
