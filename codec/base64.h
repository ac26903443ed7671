// The link converter's Base64 codec: texts through the narrow code page, whole files block by
// block, an error state and synchronous events for progress and cancel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codec/codec_error.h"

namespace zentrova {

namespace xml {
class DomDocument;
class DomElement;
}  // namespace xml
namespace base64 {
class Decoder;
}  // namespace base64
namespace fileio {
class InputFile;
class OutputFile;
}  // namespace fileio

using Bool16 = std::int16_t;           // booleans crossing the interface
inline constexpr Bool16 kTrue16 = -1;  // true is -1
inline constexpr Bool16 kFalse16 = 0;

// Outgoing interface of `Base64`. Every handler defaults to doing nothing, so a listener
// overrides only what it cares about. Events are synchronous calls on the caller's thread, in
// attach order; the run goes on when the handler returns.
//
// A file run raises, when it completes: BeforeFileOpenIn, BeforeFileOpenOut, one BlockRead per
// block, AfterFileCloseOut, AfterFileCloseIn, then FileEncodeComplete or FileDecodeComplete.
// `bCancel` starts each run false; a handler that makes it non-zero cancels the run:
//  - in BeforeFileOpenIn: nothing is opened, nothing more is raised; the run returns false;
//  - in BeforeFileOpenOut: the input is closed again (without AfterFileCloseIn) and the output
//    never touched; the run returns false;
//  - in BlockRead: no further block is read, but the run still closes both files with their
//    events, raises the completion event and returns true: a cancelled run that got this far
//    is a completed one whose output holds the blocks written so far.
// A cancel is no error: the error state stays as it was.
class Base64Events {
 public:
  virtual ~Base64Events() = default;
  // After each block's text is written. `lngCurrentBlock` counts from 1 to `lngTotalBlocks`;
  // `lBlockMode` is 0 while encoding and 1 while decoding.
  virtual void BlockRead(std::int32_t /*lngCurrentBlock*/, std::int32_t /*lngTotalBlocks*/,
                         std::int32_t /*lBlockMode*/, Bool16& /*bCancel*/) {}
  // The last step of a completed DecodeFile or EncodeFile run; the names are the very
  // variables the caller passed.
  virtual void FileDecodeComplete(std::u16string& /*strOriginalFile*/,
                                  std::u16string& /*strDecodedFile*/) {}
  virtual void FileEncodeComplete(std::u16string& /*strOriginalFile*/,
                                  std::u16string& /*strEncodedFile*/) {}
  // Whenever the error state is set: a text or block that cannot be converted (the run goes
  // on), a missing input (90002), or a failure of the file layer (the run ends, false, and
  // raises nothing more; both files are already closed, so the handler may remove the output).
  virtual void ErrorOccured(std::int32_t /*lngCode*/, const std::u16string& /*strDescription*/) {}
  // Once the input has been found, before it is opened.
  virtual void BeforeFileOpenIn(const std::u16string& /*strFileName*/, Bool16& /*bCancel*/) {}
  // Once the input is open, before the output is opened (and created if missing).
  virtual void BeforeFileOpenOut(const std::u16string& /*strFileName*/, Bool16& /*bCancel*/) {}
  // Right after the input, or the output, has been closed at the end of a run.
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
  // Convert a whole file block by block; kTrue16 when the run reached its end (also after a
  // cancel in BlockRead), kFalse16 for a missing input, an early cancel or a failure.
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
  // Where a block stands in its run: its number, the run's total, and whether the text
  // ends with it.
  struct BlockPlace {
    std::int32_t number;
    std::int32_t total;
    bool last;
  };
  // Converts one block of a file run and returns the result, which stands in `scratch` (a
  // buffer kept for the run, grown and never cleared); a block that fails is recorded and
  // skipped, so the run goes on.
  std::string_view ConvertBlock(Bool16 bEncode, std::string_view bytes, BlockPlace place,
                                base64::Decoder& decoder, std::string& scratch);
  // Converts the open input, `length` bytes long, to the output in blocks of `blockSize`,
  // raising BlockRead after each, until the input ends or a listener cancels.
  void ConvertBlocks(Bool16 bEncode, std::int32_t blockSize, std::int64_t length,
                     fileio::InputFile& input, fileio::OutputFile& output);

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
