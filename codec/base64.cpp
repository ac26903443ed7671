#include "codec/base64.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string_view>

#include "codec/code_page.h"
#include "codec/xml_dom.h"

namespace zentrova {
namespace {

constexpr std::int32_t kDefaultBlockSize = 1048576;
constexpr std::int32_t kEncodeUnit = 54;   // bytes in one full line of encoded text
constexpr std::int32_t kDecodeUnit = 584;  // eight full lines with their line feeds

}  // namespace

Base64::Base64() {
  const std::u16string progId(xml::kDomDocumentProgId);
  document_ = CreateObjectSafe(progId);
  ClearError();
  available_ = document_ ? kTrue16 : kFalse16;
  if (available_) {
    // Not absorbed: a document that cannot make its element leaves no usable codec.
    try {
      element_ = document_->CreateElement(u"TmpBase64");
      element_->SetDataType(xml::kBinBase64);
    } catch (const std::bad_alloc&) {
      throw CodecError(errors::kOutOfMemory, std::u16string(errors::texts::kOutOfMemory));
    }
  } else {
    RaiseError(errors::kComponentMissing,
               errors::Described(errors::texts::kComponentMissing, {progId}));
  }
  BlockSize(kDefaultBlockSize);
}

Base64::~Base64() {
  element_.reset();
  document_.reset();
}

std::u16string Base64::Encode(const std::u16string& strIn) {
  return Convert(strIn, [&](std::u16string& result) {
    element_->SetNodeTypedValue(codepage::ToNarrow(strIn));
    result = element_->TakeText();
  });
}

std::u16string Base64::Decode(const std::u16string& strIn) {
  return Convert(strIn, [&](std::u16string& result) {
    element_->SetText(strIn);
    result = codepage::FromNarrow(element_->NodeTypedValue());
    element_->SetText(u"");
  });
}

std::u16string Base64::Convert(const std::u16string& strIn,
                               const std::function<void(std::u16string&)>& steps) {
  std::u16string result;
  if (strIn.empty() || !available_) return result;
  // The caller never sees a failure: it is recorded, and the result reached so far returned.
  try {
    steps(result);
  } catch (const CodecError& e) {
    RaiseError(e.code(), e.description());
  } catch (const std::bad_alloc&) {
    RaiseError(errors::kOutOfMemory, std::u16string(errors::texts::kOutOfMemory));
  }
  return result;
}

std::int32_t Base64::LastErrorCode() const { return errorCode_; }

std::u16string Base64::LastErrorDescription() const { return errorDescription_; }

void Base64::BlockSize(std::int32_t lngBytes) {
  // Each size is the multiple of its unit that is not below lngBytes (for lngBytes >= 1);
  // both are computed before either is stored, so an overflow leaves both as they were.
  auto roundUp = [&](std::int32_t unit) {
    return std::int64_t{lngBytes / unit} * unit + (IsMultiple(lngBytes, unit) ? 0 : unit);
  };
  const std::int64_t encode = roundUp(kEncodeUnit);
  const std::int64_t decode = roundUp(kDecodeUnit);
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (encode > kMax || decode > kMax)
    throw CodecError(errors::kOverflow, std::u16string(errors::texts::kOverflow));
  encodeBlockSize_ = static_cast<std::int32_t>(encode);
  decodeBlockSize_ = static_cast<std::int32_t>(decode);
}

void Base64::ClearError() {
  errorCode_ = 0;
  errorDescription_.clear();
}

void Base64::Attach(Base64Events& listener) {
  if (std::find(listeners_.begin(), listeners_.end(), &listener) == listeners_.end()) {
    listeners_.push_back(&listener);
  }
}

void Base64::Detach(Base64Events& listener) { std::erase(listeners_, &listener); }

Bool16 Base64::IsMultiple(std::int32_t& value, std::int32_t& divisor) {
  return value % divisor == 0 ? kTrue16 : kFalse16;
}

void Base64::RaiseError(std::int32_t code, std::u16string description) {
  errorCode_ = code;
  errorDescription_ = description;
  Raise([&](Base64Events& listener) { listener.ErrorOccured(code, description); });
}

std::unique_ptr<xml::DomDocument> Base64::CreateObjectSafe(const std::u16string& progId) {
  try {
    return xml::ComponentRegistry::Create(progId);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace zentrova
