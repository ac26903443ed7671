// The link converter's Base64 codec: texts through the narrow code page, whole files block by
// block, an error state and synchronous events for progress and cancel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova {

namespace xml {
class DomDocument;
class DomElement;
}  // namespace xml
namespace base64 {
class Decoder;
}  // namespace base64

using Bool16 = std::int16_t;           // booleans crossing the interface
inline constexpr Bool16 kTrue16 = -1;  // true is -1
inline constexpr Bool16 kFalse16 = 0;

// A failure that reaches a caller: construction of a codec whose element cannot be made, or a
// block size that overflows.
class CodecError : public std::runtime_error {
 public:
  CodecError(std::int32_t code, std::u16string description);
  std::int32_t code() const noexcept;
  const std::u16string& description() const noexcept;

 private:
  std::int32_t code_;
  std::u16string description_;
};

// Outgoing interface of `Base64`. Every handler defaults to doing nothing, so a listener
// overrides only what it cares about.
class Base64Events {
 public:
  virtual ~Base64Events() = default;
  virtual void BlockRead(std::int32_t /*lngCurrentBlock*/, std::int32_t /*lngTotalBlocks*/,
                         std::int32_t /*lBlockMode*/, Bool16& /*bCancel*/) {}
  virtual void FileDecodeComplete(std::u16string& /*strOriginalFile*/,
                                  std::u16string& /*strDecodedFile*/) {}
  virtual void FileEncodeComplete(std::u16string& /*strOriginalFile*/,
                                  std::u16string& /*strEncodedFile*/) {}
  virtual void ErrorOccured(std::int32_t /*lngCode*/, const std::u16string& /*strDescription*/) {}
  virtual void BeforeFileOpenIn(const std::u16string& /*strFileName*/, Bool16& /*bCancel*/) {}
  virtual void BeforeFileOpenOut(const std::u16string& /*strFileName*/, Bool16& /*bCancel*/) {}
  virtual void AfterFileCloseIn(const std::u16string& /*strFileName*/) {}
  virtual void AfterFileCloseOut(const std::u16string& /*strFileName*/) {}
};

class Base64 {
 public:
  Base64();  // throws CodecError if the element cannot be made
  ~Base64();
  Base64(const Base64&) = delete;
  Base64& operator=(const Base64&) = delete;

  // Returns the encoded text of the byte form of `strIn`; "" for an empty text, an unavailable
  // component or a recorded failure.
  std::u16string Encode(const std::u16string& strIn);
  // Returns the decoded bytes of `strIn` read as a text; "" for an empty text, an unavailable
  // component or a recorded failure (text that is not Base64).
  std::u16string Decode(const std::u16string& strIn);
  // Convert a whole file block by block; kTrue16 when the run reached its end.
  Bool16 EncodeFile(std::u16string& strInFile, std::u16string& strOutFile);
  Bool16 DecodeFile(std::u16string& strInFile, std::u16string& strOutFile);
  std::int32_t LastErrorCode() const;
  std::u16string LastErrorDescription() const;
  void BlockSize(std::int32_t lngBytes);  // throws CodecError (code 6, overflow); nothing stored
  void ClearError();

  void Attach(Base64Events& listener);  // events go to every attached listener, in attach order
  void Detach(Base64Events& listener);

 private:
  friend class Base64Peer;  // lets tests read the write-only block sizes

  Bool16 IsMultiple(std::int32_t& value, std::int32_t& divisor);
  void RaiseError(std::int32_t code, std::u16string description);
  std::unique_ptr<xml::DomDocument> CreateObjectSafe(const std::u16string& progId);
  Bool16 ProcessFile(std::u16string& strInFile, std::u16string& strOutFile, Bool16 bEncode);
  // Converts one block of a file run into `text`; a block that fails is recorded and gives
  // what it got to, so the run goes on.
  void ConvertBlock(Bool16 bEncode, std::string_view bytes, bool lastBlock,
                    base64::Decoder& decoder, std::string& text);

  // Runs the component steps of Encode or Decode on a non-empty text, absorbing failures.
  std::u16string Convert(const std::u16string& strIn,
                         const std::function<void(std::u16string&)>& steps);
  template <typename Handler>
  void Raise(Handler&& handler);

  std::unique_ptr<xml::DomDocument> document_;
  std::unique_ptr<xml::DomElement> element_;
  Bool16 available_ = kFalse16;
  std::int32_t errorCode_ = 0;
  std::u16string errorDescription_;
  std::int32_t encodeBlockSize_ = 0;
  std::int32_t decodeBlockSize_ = 0;
  Bool16 cancel_ = kFalse16;
  std::vector<Base64Events*> listeners_;
};

template <typename Handler>
void Base64::Raise(Handler&& handler) {
  // A handler may attach or detach listeners; those it detached hear nothing more.
  const std::vector<Base64Events*> listeners = listeners_;
  for (Base64Events* listener : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
      handler(*listener);
    }
  }
}

}  // namespace zentrova
