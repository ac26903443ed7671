// Encode or Decode of a codec that is made right before its first use, as the commands need.
#pragma once

#include <memory>
#include <string>

#include "codec/base64.h"
#include "links/link_formats.h"

namespace zentrova::links {

using CodecMember = std::u16string (Base64::*)(const std::u16string&);

// Returns `member` of `*codec`, making the codec first if `codec` is empty. The codec's
// construction failure reaches the caller of the transform.
inline TextTransform Through(std::unique_ptr<Base64>& codec, CodecMember member) {
  return [&codec, member](const std::u16string& text) {
    if (!codec) codec = std::make_unique<Base64>();
    return ((*codec).*member)(text);
  };
}

}  // namespace zentrova::links
