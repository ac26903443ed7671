// The Base64 transform itself: RFC 4648 alphabet and padding, output broken into lines of 72
// characters separated by single line feeds. No Qt, no code page: bytes in, characters out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova::base64 {

inline constexpr std::size_t kLineChars = 72;
inline constexpr std::size_t kLineBytes = 54;  // bytes that fill exactly one line

// Returns the number of characters `Encode` writes for `byteCount` bytes, line feeds included.
std::size_t EncodedLength(std::size_t byteCount);

// Appends the encoded text of `bytes` to `out` (char or char16_t), lines of 72 characters
// joined by "\n", no line feed after the last line.
void EncodeAppend(std::string_view bytes, std::string& out);
void EncodeAppend(std::string_view bytes, std::u16string& out);

// Writes the encoded text of `bytes` to `out`, which has room for EncodedLength(bytes.size())
// characters, and returns that length: for a caller that keeps its own buffer.
std::size_t EncodeTo(std::string_view bytes, char* out);

// Why a text failed to decode, and where: `position` is 1-based and counts the characters of a
// text, or the bytes of a byte chunk. `character` is the code point found there; `byte` says it
// is a single byte that starts no UTF-8 character.
struct DecodeFailure {
  enum class Kind { kNone, kOutsideAlphabet, kAfterPadding, kMisplacedPadding, kIncompleteGroup };
  Kind kind = Kind::kNone;
  std::size_t position = 0;
  char32_t character = 0;
  bool inBytes = false;
  bool byte = false;
  explicit operator bool() const { return kind != Kind::kNone; }
};

// Carries an unfinished group of characters from one chunk of text to the next, so that text
// split anywhere decodes as if it were whole.
class Decoder {
 public:
  // Appends the bytes of `text` to `out`. Skips CR, LF, space and tab, and a UTF-8 byte-order
  // mark at the very start of a byte text; stops writing at the first fault and reports it.
  // `Finish` must follow the last chunk.
  DecodeFailure Feed(std::u16string_view text, std::string& out);
  DecodeFailure Feed(std::string_view text, std::string& out);
  // Ends the text: a final group of two or three characters may lack its "=" padding.
  DecodeFailure Finish(std::string& out);
  // The same into a caller's buffer, which has room for MostBytesFor(text.size()) bytes (two
  // for Finish); `written` says how many were written.
  static std::size_t MostBytesFor(std::size_t chars) { return (chars + 3) / 4 * 3 + 3; }
  DecodeFailure FeedTo(std::string_view text, char* out, std::size_t& written);
  DecodeFailure FinishTo(char* out, std::size_t& written);
  // Forgets a fault so that the next chunk decodes again. The rest of the faulty chunk has
  // still been counted, every character but whitespace standing for one place in a group
  // (a bad character most often took a good one's place), so the next chunk starts in step with
  // the text; a group that holds a bad character gives no bytes.
  void Resync();
  // Bytes the last chunk stood for: what it gave before its fault and the whole groups after.
  std::size_t BytesInLastChunk() const { return bytesInChunk_; }

 private:
  template <typename Char>
  DecodeFailure FeedChars(const Char* text, std::size_t size, char* out, std::size_t& written);
  template <typename Char>
  DecodeFailure FeedString(const Char* text, std::size_t size, std::string& out);
  template <typename Char>
  void CountRest(const Char* text, std::size_t size);
  template <typename Char>
  DecodeFailure Fail(DecodeFailure::Kind kind, const Char* text, std::size_t size,
                     std::size_t index);
  char* FlushPartial(char* dst);  // bytes of a group that ended early

  std::uint32_t pending_[4] = {};
  std::size_t pendingCount_ = 0;
  std::size_t padding_ = 0;   // "=" seen so far in the closing group
  std::size_t consumed_ = 0;  // characters fed before the current chunk
  std::size_t bytesInChunk_ = 0;
  bool closed_ = false;   // a padded group has ended the data
  bool tainted_ = false;  // the pending group holds a bad character
  bool inBytes_ = false;  // the text comes as bytes, not characters
  DecodeFailure failure_;
};

// Describes a failure in words for the error state.
std::u16string DescribeFailure(const DecodeFailure& failure);

}  // namespace zentrova::base64
