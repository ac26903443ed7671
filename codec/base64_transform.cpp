#include "codec/base64_transform.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "codec/base64_simd.h"
#include "codec/codec_error.h"
#include "codec/utf8.h"

namespace zentrova::base64 {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for every 12 bits of input: one lookup per half group.
struct PairTable {
  std::array<std::array<char, 2>, 4096> pairs{};
  constexpr PairTable() {
    for (unsigned i = 0; i < 4096; ++i) pairs[i] = {kAlphabet[i >> 6], kAlphabet[i & 63]};
  }
};
constexpr PairTable kPairs;

constexpr std::uint8_t kSkip = 0x80;
constexpr std::uint8_t kPad = 0x81;
constexpr std::uint8_t kBad = 0xFF;

struct DecodeTable {
  std::array<std::uint8_t, 256> values{};
  constexpr DecodeTable() {
    for (auto& v : values) v = kBad;
    for (unsigned i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
    values['\r'] = values['\n'] = values[' '] = values['\t'] = kSkip;
    values['='] = kPad;
  }
};
constexpr DecodeTable kValues;

inline std::uint8_t ValueOf(char c) { return kValues.values[static_cast<unsigned char>(c)]; }
inline std::uint8_t ValueOf(char16_t c) { return c < 256 ? kValues.values[c] : kBad; }

template <typename Char>
inline Char* PutGroup(std::uint32_t v, Char* out) {
  const auto& hi = kPairs.pairs[v >> 12];
  const auto& lo = kPairs.pairs[v & 0xFFF];
  out[0] = static_cast<Char>(hi[0]);
  out[1] = static_cast<Char>(hi[1]);
  out[2] = static_cast<Char>(lo[0]);
  out[3] = static_cast<Char>(lo[1]);
  return out + 4;
}

// Encodes one line's worth (at most 54 bytes), padding the last group when it is short.
template <typename Char>
Char* EncodeLine(const unsigned char* in, std::size_t n, Char* out) {
  for (; n >= 3; n -= 3, in += 3) {
    out = PutGroup((std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2], out);
  }
  if (n > 0) {
    const std::uint32_t v = (std::uint32_t{in[0]} << 16) | (n == 2 ? std::uint32_t{in[1]} << 8 : 0);
    out = PutGroup(v, out);
    out[-1] = static_cast<Char>('=');
    if (n == 1) out[-2] = static_cast<Char>('=');
  }
  return out;
}

constexpr std::size_t kLineWithFeed = kLineChars + 1;

// Encodes up to `lines` whole lines, each with its line feed, on the vector path; returns how
// many (none on the plain path).
std::size_t EncodeLinesOnVectors(const unsigned char* in, std::size_t lines, char* out) {
  return simd::ActiveKernels().encodeLines(in, lines, out);
}

std::size_t EncodeLinesOnVectors(const unsigned char* in, std::size_t lines, char16_t* out) {
  // The vector loops write bytes: a few lines at a time, then widened to UTF-16 while they are
  // still in the cache.
  constexpr std::size_t kLinesAtATime = 56;
  char buffer[kLinesAtATime * kLineWithFeed];
  std::size_t done = 0;
  while (done < lines) {
    const std::size_t now = simd::ActiveKernels().encodeLines(
        in + done * kLineBytes, std::min(kLinesAtATime, lines - done), buffer);
    if (now == 0) break;
    std::copy(buffer, buffer + now * kLineWithFeed, out + done * kLineWithFeed);
    done += now;
  }
  return done;
}

template <typename Char>
Char* EncodeRaw(std::string_view bytes, Char* dst) {
  auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  if (left > kLineBytes) {
    // Every line but the last ends in a line feed; the vector loop takes whole lines of those,
    // as long as 4 bytes follow the line for it to read.
    std::size_t lines = (left - 1) / kLineBytes;
    if (left - lines * kLineBytes < 4) --lines;
    const std::size_t done = EncodeLinesOnVectors(in, lines, dst);
    in += done * kLineBytes;
    dst += done * kLineWithFeed;
    left -= done * kLineBytes;
  }
  while (left > kLineBytes) {
    dst = EncodeLine(in, kLineBytes, dst);
    *dst++ = static_cast<Char>('\n');
    in += kLineBytes;
    left -= kLineBytes;
  }
  return EncodeLine(in, left, dst);
}

template <typename String>
void EncodeInto(std::string_view bytes, String& out) {
  const std::size_t start = out.size();
  out.resize(start + EncodedLength(bytes.size()));
  EncodeRaw(bytes, out.data() + start);
}

simd::DecodeStep DecodeOnVectors(const char* text, std::size_t size, char* out) {
  return simd::ActiveKernels().decodeChars(text, size, out);
}

simd::DecodeStep DecodeOnVectors(const char16_t* text, std::size_t size, char* out) {
  return simd::ActiveKernels().decodeUnits(text, size, out);
}

}  // namespace

std::size_t EncodedLength(std::size_t byteCount) {
  if (byteCount == 0) return 0;
  const std::size_t lines = (byteCount + kLineBytes - 1) / kLineBytes;
  return (byteCount + 2) / 3 * 4 + (lines - 1);
}

void EncodeAppend(std::string_view bytes, std::string& out) { EncodeInto(bytes, out); }
void EncodeAppend(std::string_view bytes, std::u16string& out) { EncodeInto(bytes, out); }

std::size_t EncodeTo(std::string_view bytes, char* out) {
  return static_cast<std::size_t>(EncodeRaw(bytes, out) - out);
}

template <typename Char>
DecodeFailure Decoder::Fail(DecodeFailure::Kind kind, const Char* text, std::size_t size,
                            std::size_t index) {
  DecodeFailure failure{kind, consumed_ + index + 1, static_cast<char32_t>(text[index]),
                        sizeof(Char) == 1, false};
  if constexpr (sizeof(Char) == 1) {
    // Name the character the bytes begin, read as UTF-8, or else the byte itself.
    const auto character = FirstUtf8Character(std::string_view(text + index, size - index));
    failure.character = character ? character->value : static_cast<unsigned char>(text[index]);
    failure.byte = !character;
  } else {
    const char32_t c = static_cast<char16_t>(text[index]);
    if (c >= 0xD800 && c < 0xDC00 && index + 1 < size && text[index + 1] >= 0xDC00 &&
        text[index + 1] < 0xE000) {
      failure.character = 0x10000 + ((c - 0xD800) << 10) + (text[index + 1] - 0xDC00);
    }
  }
  failure_ = failure;
  return failure;
}

char* Decoder::FlushPartial(char* dst) {
  const std::uint32_t v = (pending_[0] << 18) | (pending_[1] << 12) | (pending_[2] << 6);
  if (!tainted_) {
    *dst++ = static_cast<char>(v >> 16);
    if (pendingCount_ == 3) *dst++ = static_cast<char>(v >> 8);
  }
  pendingCount_ = 0;
  tainted_ = false;
  return dst;
}

template <typename Char>
void Decoder::CountRest(const Char* text, std::size_t size) {
  // Padding already seen held places of the group it stood in.
  if (closed_) {
    pendingCount_ = 0;
  } else if (padding_ > 0) {
    pendingCount_ += padding_;
    tainted_ = true;
  }
  padding_ = 0;
  closed_ = false;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t v = ValueOf(text[i]);
    if (v == kSkip) continue;
    if (v < 64) {
      pending_[pendingCount_] = v;
    } else {
      pending_[pendingCount_] = 0;
      tainted_ = true;
    }
    if (++pendingCount_ == 4) {
      bytesInChunk_ += 3;
      pendingCount_ = 0;
      tainted_ = false;
    }
  }
}

template <typename Char>
DecodeFailure Decoder::FeedChars(const Char* text, std::size_t size, char* out,
                                 std::size_t& written) {
  written = 0;
  if (failure_) return failure_;
  inBytes_ = sizeof(Char) == 1;
  char* dst = out;
  std::size_t i = 0;
  if constexpr (sizeof(Char) == 1) {
    // Notepad starts its UTF-8 files with a byte-order mark.
    if (consumed_ == 0 && size >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF) {
      i = 3;
    }
  }
  DecodeFailure result;
  while (i < size) {
    // Whole groups of four alphabet characters take the fast path: the vector loop as far as
    // it goes, then one test for all four.
    if (pendingCount_ == 0 && !closed_) {
      const simd::DecodeStep step = DecodeOnVectors(text + i, size - i, dst);
      i += step.taken;
      dst += step.written;
      while (i + 4 <= size) {
        const std::uint32_t a = ValueOf(text[i]), b = ValueOf(text[i + 1]),
                            c = ValueOf(text[i + 2]), d = ValueOf(text[i + 3]);
        if ((a | b | c | d) & 0x80) break;
        const std::uint32_t v = (a << 18) | (b << 12) | (c << 6) | d;
        dst[0] = static_cast<char>(v >> 16);
        dst[1] = static_cast<char>(v >> 8);
        dst[2] = static_cast<char>(v);
        dst += 3;
        i += 4;
      }
      if (i >= size) break;
    }
    const std::uint8_t v = ValueOf(text[i]);
    if (v == kSkip) {
      ++i;
      continue;
    }
    if (closed_) {
      result = Fail(DecodeFailure::Kind::kAfterPadding, text, size, i);
      break;
    }
    if (v == kPad) {
      if (pendingCount_ < 2) {
        result = Fail(DecodeFailure::Kind::kMisplacedPadding, text, size, i);
        break;
      }
      if (pendingCount_ + ++padding_ == 4) {
        dst = FlushPartial(dst);
        closed_ = true;
      }
      ++i;
      continue;
    }
    if (v == kBad) {
      result = Fail(DecodeFailure::Kind::kOutsideAlphabet, text, size, i);
      break;
    }
    if (padding_ > 0) {
      result = Fail(DecodeFailure::Kind::kAfterPadding, text, size, i);
      break;
    }
    pending_[pendingCount_++] = v;
    if (pendingCount_ == 4) {
      const std::uint32_t g =
          (pending_[0] << 18) | (pending_[1] << 12) | (pending_[2] << 6) | pending_[3];
      if (!tainted_) {
        dst[0] = static_cast<char>(g >> 16);
        dst[1] = static_cast<char>(g >> 8);
        dst[2] = static_cast<char>(g);
        dst += 3;
      }
      pendingCount_ = 0;
      tainted_ = false;
    }
    ++i;
  }
  written = static_cast<std::size_t>(dst - out);
  bytesInChunk_ = written;
  if (result) CountRest(text + i, size - i);
  consumed_ += size;
  return result;
}

template <typename Char>
DecodeFailure Decoder::FeedString(const Char* text, std::size_t size, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + MostBytesFor(size));
  std::size_t written = 0;
  const DecodeFailure failure = FeedChars(text, size, out.data() + start, written);
  out.resize(start + written);
  return failure;
}

DecodeFailure Decoder::Feed(std::u16string_view text, std::string& out) {
  return FeedString(text.data(), text.size(), out);
}

DecodeFailure Decoder::Feed(std::string_view text, std::string& out) {
  return FeedString(text.data(), text.size(), out);
}

DecodeFailure Decoder::FeedTo(std::string_view text, char* out, std::size_t& written) {
  return FeedChars(text.data(), text.size(), out, written);
}

DecodeFailure Decoder::Finish(std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 2);
  std::size_t written = 0;
  const DecodeFailure failure = FinishTo(out.data() + start, written);
  out.resize(start + written);
  return failure;
}

DecodeFailure Decoder::FinishTo(char* out, std::size_t& written) {
  written = 0;
  if (failure_ || closed_) return failure_;
  if (pendingCount_ == 1) {
    failure_ = {DecodeFailure::Kind::kIncompleteGroup, consumed_, 0, inBytes_, false};
    return failure_;
  }
  // A final group of two or three characters whose "=" padding was left off, wholly or in
  // part, still stands for whole bytes.
  if (pendingCount_ > 1) written = static_cast<std::size_t>(FlushPartial(out) - out);
  closed_ = true;
  return failure_;
}

void Decoder::Resync() {
  padding_ = 0;
  closed_ = false;
  failure_ = {};
}

std::u16string DescribeFailure(const DecodeFailure& failure) {
  auto number = [](std::size_t n) { return errors::Number(static_cast<std::int64_t>(n)); };
  auto hex = [](char32_t c, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string s;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      s += static_cast<char16_t>(kHex[(c >> shift) & 15]);
    return s;
  };
  // What stands at the failure: a byte, or a character by its name and, where it can be seen,
  // itself.
  auto character = [&](const DecodeFailure& f) {
    if (f.byte) return errors::Described(errors::texts::kRawByte, {hex(f.character, 2)});
    const char32_t c = f.character;
    const std::string name = CodePointName(c);
    std::u16string s(name.begin(), name.end());
    // Show the character itself unless it is invisible or only half of one.
    const bool visible = c > 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) &&
                         !(c >= 0xD800 && c < 0xE000) && c != 0xFEFF;
    if (visible && c < 0x10000) {
      s += std::u16string(u" '") + static_cast<char16_t>(c) + u"'";
    } else if (visible) {
      s += u" '";
      s += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      s += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      s += u"'";
    }
    return s;
  };
  namespace texts = errors::texts;
  const bool bytes = failure.inBytes;
  const std::u16string at = number(failure.position);
  switch (failure.kind) {
    case DecodeFailure::Kind::kOutsideAlphabet:
      return errors::Described(
          bytes ? texts::kOutsideAlphabetByte : texts::kOutsideAlphabetCharacter,
          {at, character(failure)});
    case DecodeFailure::Kind::kAfterPadding:
      return errors::Described(bytes ? texts::kAfterPaddingByte : texts::kAfterPaddingCharacter,
                               {at, character(failure)});
    case DecodeFailure::Kind::kMisplacedPadding:
      return errors::Described(
          bytes ? texts::kMisplacedPaddingByte : texts::kMisplacedPaddingCharacter, {at});
    case DecodeFailure::Kind::kIncompleteGroup:
      return errors::Described(
          bytes ? texts::kIncompleteGroupByte : texts::kIncompleteGroupCharacter, {at});
    case DecodeFailure::Kind::kNone:
      break;
  }
  return {};
}

}  // namespace zentrova::base64
