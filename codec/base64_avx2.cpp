// The AVX2 loops of the Base64 transform, after the method that Wojciech Muła and Daniel
// Lemire describe in "Faster Base64 Encoding and Decoding Using AVX2 Instructions" (ACM
// Transactions on the Web, 2018): 24 bytes become 32 characters, and 32 characters 24 bytes,
// by shuffles, multiplications and nibble lookups instead of one table lookup a character.
#include "codec/base64_simd.h"

#if defined(__GNUC__) && defined(__x86_64__)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#define ZENTROVA_AVX2 __attribute__((target("avx2")))

namespace zentrova::base64::simd::avx2 {
namespace {

// --- Encoding ---------------------------------------------------------------------------------

// The 32 characters of the 24 bytes loaded into `v`: the first 12 at bytes `lowFirst` to
// `lowFirst` + 11 of the low half, the other 12 at bytes 0 to 11 of the high half.
template <int lowFirst>
ZENTROVA_AVX2 inline __m256i EncodeLoaded(__m256i v) {
  // Each group of three bytes b0 b1 b2 into a 32-bit lane as b1 b0 b2 b1, so that each of its
  // four 6-bit fields lies within one 16-bit half.
  constexpr int o = lowFirst;
  v = _mm256_shuffle_epi8(
      v, _mm256_setr_epi8(o + 1, o, o + 2, o + 1, o + 4, o + 3, o + 5, o + 4, o + 7, o + 6, o + 8,
                          o + 7, o + 10, o + 9, o + 11, o + 10, 1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7,
                          10, 9, 11, 10));
  // Fields 1 and 3 shifted down by a high multiplication, fields 2 and 4 up by a low one, each
  // into a byte of its own: a lane then holds the four 6-bit values in order.
  const __m256i first = _mm256_mulhi_epu16(_mm256_and_si256(v, _mm256_set1_epi32(0x0FC0FC00)),
                                           _mm256_set1_epi32(0x04000040));
  const __m256i second = _mm256_mullo_epi16(_mm256_and_si256(v, _mm256_set1_epi32(0x003F03F0)),
                                            _mm256_set1_epi32(0x01000010));
  const __m256i values = _mm256_or_si256(first, second);
  // Each value's distance to its character depends only on its range: 0-25 'A', 26-51 'a',
  // 52-61 '0', 62 '+', 63 '/'. The ranges are numbered 13, 0, 1-10, 11, 12 and looked up.
  __m256i range = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
  const __m256i capitals = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
  range = _mm256_or_si256(range, _mm256_and_si256(capitals, _mm256_set1_epi8(13)));
  const __m256i shift = _mm256_shuffle_epi8(
      _mm256_setr_epi8(71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 65, 0, 0, 71, -4, -4,
                       -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 65, 0, 0),
      range);
  return _mm256_add_epi8(values, shift);
}

// The 32 characters of the 24 bytes at `in`; reads 28 bytes from `in`.
ZENTROVA_AVX2 inline __m256i EncodeBlock(const unsigned char* in) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12));
  return EncodeLoaded<0>(_mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1));
}

// The same in one load, from 4 bytes before `in`, which must be readable.
ZENTROVA_AVX2 inline __m256i EncodeBlockAfter(const unsigned char* in) {
  return EncodeLoaded<4>(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in - 4)));
}

ZENTROVA_AVX2 inline void Store(char* out, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
}

// The 32 characters `v` at `out` with a line feed after the first `before` of them (8, 16 or
// 24): all of them one place on first, then the ones before the feed over them where they
// belong.
template <int before>
ZENTROVA_AVX2 inline void StoreAcrossLineEnd(char* out, __m256i v) {
  Store(out + 1, v);
  const __m128i low = _mm256_castsi256_si128(v);
  if constexpr (before == 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), low);
  } else {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
    if constexpr (before == 24) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(v, 1));
    }
  }
  out[before] = '\n';
}

// Four lines, 216 bytes, are nine whole blocks of 24 bytes and so 288 characters with no
// character computed twice; three of the blocks hold a line end.
ZENTROVA_AVX2 inline void EncodeFourLines(const unsigned char* in, char* out) {
  Store(out, EncodeBlockAfter(in));
  Store(out + 32, EncodeBlockAfter(in + 24));
  StoreAcrossLineEnd<8>(out + 64, EncodeBlockAfter(in + 48));
  Store(out + 97, EncodeBlockAfter(in + 72));
  StoreAcrossLineEnd<16>(out + 129, EncodeBlockAfter(in + 96));
  Store(out + 162, EncodeBlockAfter(in + 120));
  StoreAcrossLineEnd<24>(out + 194, EncodeBlockAfter(in + 144));
  Store(out + 227, EncodeBlockAfter(in + 168));
  Store(out + 259, EncodeBlockAfter(in + 192));
  out[291] = '\n';
}

// One line in three blocks, the last overlapping the second by 18 bytes and so by 24
// characters.
ZENTROVA_AVX2 inline void EncodeLine(const unsigned char* in, __m256i first, char* out) {
  Store(out, first);
  Store(out + 32, EncodeBlockAfter(in + 24));
  Store(out + 40, EncodeBlockAfter(in + 30));
  out[72] = '\n';
}

// --- Decoding ---------------------------------------------------------------------------------

// Non-zero bytes where the 32 characters in `v` are not in the alphabet (AlphabetMask: a bit set
// for each that is). The characters fall into classes by their high nibble, and for each class a
// low-nibble table says which low nibbles are out of the alphabet: a character is in it when its
// class bit and its low nibble's bits have nothing in common. Bytes from 0x80 up are in no class
// that allows any.
ZENTROVA_AVX2 inline __m256i Clash(__m256i v, __m256i& high) {
  high = _mm256_and_si256(_mm256_srli_epi32(v, 4), _mm256_set1_epi8(0x0F));
  const __m256i low = _mm256_and_si256(v, _mm256_set1_epi8(0x0F));
  // Classes: 0x01 no alphabet characters (high nibble 0, 1, 8-F), 0x02 "+" and "/" (2),
  // 0x04 digits (3), 0x08 "A"-"O" and "a"-"o" (4, 6), 0x10 "P"-"Z" and "p"-"z" (5, 7).
  const __m256i classOf =
      _mm256_setr_epi8(0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x08, 0x10, 0x01, 0x01, 0x01, 0x01, 0x01,
                       0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x08, 0x10, 0x01, 0x01,
                       0x01, 0x01, 0x01, 0x01, 0x01, 0x01);
  const __m256i refusedBy =
      _mm256_setr_epi8(0x0B, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x07, 0x15, 0x17,
                       0x17, 0x17, 0x15, 0x0B, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
                       0x07, 0x15, 0x17, 0x17, 0x17, 0x15);
  return _mm256_and_si256(_mm256_shuffle_epi8(classOf, high), _mm256_shuffle_epi8(refusedBy, low));
}

ZENTROVA_AVX2 inline std::uint32_t AlphabetMask(__m256i v, __m256i& high) {
  return static_cast<std::uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(Clash(v, high), _mm256_setzero_si256())));
}

// The 24 bytes of 32 alphabet characters `v` (whose high nibbles are `high`) into `out`.
ZENTROVA_AVX2 inline void DecodeBlock(__m256i v, __m256i high, char* out) {
  // The distance of each character to its value, by its high nibble; "/" shares "+"'s nibble
  // and is told apart by one comparison.
  const __m256i slash = _mm256_cmpeq_epi8(v, _mm256_set1_epi8('/'));
  const __m256i shift = _mm256_shuffle_epi8(
      _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4, -65,
                       -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0),
      _mm256_add_epi8(high, slash));
  const __m256i values = _mm256_add_epi8(v, shift);
  // Four 6-bit values into 24 bits: pairs first, then the pairs of pairs.
  const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
  const __m256i groups = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
  // The three bytes of each group, high byte first, packed together in each half, then the
  // halves side by side.
  __m256i bytes = _mm256_shuffle_epi8(
      groups, _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6,
                               5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
  bytes = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(bytes, 1));
}

ZENTROVA_AVX2 inline __m256i Load(const char* text) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
}

// 32 UTF-16 code units as bytes: those above 0xFF become 0xFF or 0x00, neither in the alphabet.
ZENTROVA_AVX2 inline __m256i Load(const char16_t* text) {
  const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
  const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 16));
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

template <typename Char>
bool IsBlank(Char c) {
  return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

template <typename Char>
ZENTROVA_AVX2 DecodeStep DecodeRuns(const Char* text, std::size_t size, char* out) {
  constexpr std::size_t kBlock = 32;
  std::size_t i = 0;
  char* dst = out;
  while (size - i >= kBlock) {
    // A line as the encoder writes it, 72 characters and a line feed, in three blocks; the last
    // one overlaps the second, and so do the bytes they give.
    while (size - i > 72 && text[i + 72] == '\n') {
      __m256i high0, high1, high2;
      const __m256i v0 = Load(text + i), v1 = Load(text + i + 32), v2 = Load(text + i + 40);
      const __m256i clash =
          _mm256_or_si256(_mm256_or_si256(Clash(v0, high0), Clash(v1, high1)), Clash(v2, high2));
      if (!_mm256_testz_si256(clash, clash)) break;
      DecodeBlock(v0, high0, dst);
      DecodeBlock(v1, high1, dst + 24);
      DecodeBlock(v2, high2, dst + 30);
      i += 73;
      dst += 54;
    }
    if (size - i < kBlock) break;
    __m256i high;
    const __m256i v = Load(text + i);
    const std::uint32_t alphabet = AlphabetMask(v, high);
    if (alphabet == 0xFFFFFFFFu) {
      DecodeBlock(v, high, dst);
      i += kBlock;
      dst += 24;
      continue;
    }
    // The run of alphabet characters ends inside this block: its whole groups, then the blanks
    // after it, if that is what ends it.
    const unsigned end = static_cast<unsigned>(__builtin_ctz(~alphabet));
    const unsigned whole = end & ~3u;
    if (whole > 0) {
      char block[24];
      DecodeBlock(v, high, block);
      std::memcpy(dst, block, whole / 4 * 3);
      dst += whole / 4 * 3;
      i += whole;
    }
    if (whole != end) break;  // a group that goes on after a blank, or holds a fault
    while (i < size && IsBlank(text[i])) ++i;
    if (i < size && !IsBlank(text[i])) {
      // Go on only where a new run starts; "=" and faults are the plain loop's.
      const Char c = text[i];
      const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '+' || c == '/';
      if (!letter) break;
    }
  }
  return {i, static_cast<std::size_t>(dst - out)};
}

}  // namespace

bool Built() { return true; }

ZENTROVA_AVX2 std::size_t EncodeLines(const unsigned char* in, std::size_t lines, char* out) {
  // Every block but the very first loads from 4 bytes before it; each reads 4 bytes past it.
  if (lines == 0) return 0;
  EncodeLine(in, EncodeBlock(in), out);
  std::size_t line = 1;
  for (; lines - line >= 4; line += 4) EncodeFourLines(in + line * 54, out + line * 73);
  for (; line < lines; ++line)
    EncodeLine(in + line * 54, EncodeBlockAfter(in + line * 54), out + line * 73);
  return lines;
}

DecodeStep DecodeChars(const char* text, std::size_t size, char* out) {
  return DecodeRuns(text, size, out);
}

DecodeStep DecodeUnits(const char16_t* text, std::size_t size, char* out) {
  return DecodeRuns(text, size, out);
}

}  // namespace zentrova::base64::simd::avx2

#else  // no AVX2 kernels in this build: the plain path does everything

namespace zentrova::base64::simd::avx2 {
bool Built() { return false; }
std::size_t EncodeLines(const unsigned char*, std::size_t, char*) { return 0; }
DecodeStep DecodeChars(const char*, std::size_t, char*) { return {0, 0}; }
DecodeStep DecodeUnits(const char16_t*, std::size_t, char*) { return {0, 0}; }
}  // namespace zentrova::base64::simd::avx2

#endif
