#include "codec/xml_dom.h"

#include <map>

#include "codec/base64_transform.h"
#include "codec/codec_error.h"

namespace zentrova::xml {
namespace {

class Base64Element final : public DomElement {
 public:
  void SetDataType(std::u16string_view dataType) override {
    if (dataType != kBinBase64) {
      throw CodecError(errors::kInvalidArgument,
                       errors::Described(errors::texts::kUnsupportedDataType, {dataType}));
    }
    typed_ = true;
  }

  void SetNodeTypedValue(std::string_view bytes) override {
    RequireType();
    text_.clear();
    base64::EncodeAppend(bytes, text_);
    // The bytes are read back from the text when asked for: a long text need not be held
    // twice.
    bytes_.clear();
    bytesStale_ = true;
  }

  const std::string& NodeTypedValue() const override {
    if (bytesStale_) {
      base64::Decoder decoder;
      decoder.Feed(text_, bytes_);
      decoder.Finish(bytes_);
      bytesStale_ = false;
    }
    return bytes_;
  }

  const std::u16string& Text() const override { return text_; }

  std::u16string TakeText() override {
    std::u16string text = std::move(text_);
    text_.clear();
    bytes_.clear();
    bytesStale_ = false;
    return text;
  }

  void SetText(std::u16string_view text) override {
    RequireType();
    bytes_.clear();
    bytesStale_ = false;
    text_.clear();
    base64::Decoder decoder;
    auto failure = decoder.Feed(text, bytes_);
    if (!failure) failure = decoder.Finish(bytes_);
    if (failure) {
      bytes_.clear();
      throw CodecError(errors::kInvalidArgument, base64::DescribeFailure(failure));
    }
    text_.assign(text);
  }

 private:
  void RequireType() const {
    if (!typed_)
      throw CodecError(errors::kInvalidArgument, std::u16string(errors::texts::kNoDataType));
  }

  bool typed_ = false;
  mutable std::string bytes_;
  mutable bool bytesStale_ = false;
  std::u16string text_;
};

class Document final : public DomDocument {
 public:
  std::unique_ptr<DomElement> CreateElement(std::u16string_view name) override {
    if (name.empty())
      throw CodecError(errors::kInvalidArgument, std::u16string(errors::texts::kEmptyElementName));
    return std::make_unique<Base64Element>();
  }
};

std::map<std::u16string, ComponentRegistry::Factory, std::less<>>& Registrations() {
  static std::map<std::u16string, ComponentRegistry::Factory, std::less<>> registrations = {
      {std::u16string(kDomDocumentProgId), MakeDomDocument}};
  return registrations;
}

}  // namespace

std::unique_ptr<DomDocument> MakeDomDocument() { return std::make_unique<Document>(); }

std::unique_ptr<DomDocument> ComponentRegistry::Create(std::u16string_view progId) {
  const auto& registrations = Registrations();
  const auto found = registrations.find(progId);
  auto document = found == registrations.end() ? nullptr : found->second();
  if (!document)
    throw CodecError(errors::kCannotCreateObject,
                     errors::Described(errors::texts::kCannotCreateObject, {progId}));
  return document;
}

void ComponentRegistry::Register(std::u16string_view progId, Factory factory) {
  auto& registrations = Registrations();
  if (factory) {
    registrations.insert_or_assign(std::u16string(progId), std::move(factory));
  } else if (const auto found = registrations.find(progId); found != registrations.end()) {
    registrations.erase(found);
  }
}

void ComponentRegistry::RestoreDefaults() { Register(kDomDocumentProgId, MakeDomDocument); }

}  // namespace zentrova::xml
