// Reads the codec's write-only block sizes, which only a file run would otherwise reveal.
#pragma once

#include "codec/base64.h"

namespace zentrova {

class Base64Peer {
 public:
  static std::int32_t EncodeBlockSize(const Base64& codec) { return codec.encodeBlockSize_; }
  static std::int32_t DecodeBlockSize(const Base64& codec) { return codec.decodeBlockSize_; }
};

}  // namespace zentrova
