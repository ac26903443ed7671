// The XML DOM component the codec does its Base64 work through: a document that makes
// elements, and an element whose "bin.base64" data type ties its typed value (bytes) to its
// text (encoded text). Components are made by ProgID through a registry, so that a host
// without the component, or with a faulty one, can be reproduced.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zentrova::xml {

inline constexpr std::u16string_view kDomDocumentProgId = u"MSXML.DomDocument";
inline constexpr std::u16string_view kBinBase64 = u"bin.base64";

class DomElement {
 public:
  virtual ~DomElement() = default;
  // "dataType", written. Throws CodecError for a type the element does not know.
  virtual void SetDataType(std::u16string_view dataType) = 0;
  // "nodetypedvalue", written: the text becomes the encoded text of `bytes`.
  virtual void SetNodeTypedValue(std::string_view bytes) = 0;
  // "nodetypedvalue", read: the bytes the text stands for.
  virtual const std::string& NodeTypedValue() const = 0;
  // "Text", read.
  virtual const std::u16string& Text() const = 0;
  // "Text", read and then written empty, in one step that does not copy the text.
  virtual std::u16string TakeText() = 0;
  // "Text", written. Throws CodecError when the text is not valid Base64; then the element
  // holds nothing.
  virtual void SetText(std::u16string_view text) = 0;
};

class DomDocument {
 public:
  virtual ~DomDocument() = default;
  // "createElement". Throws CodecError when the element cannot be made.
  virtual std::unique_ptr<DomElement> CreateElement(std::u16string_view name) = 0;
};

// The host's component registry, keyed by ProgID.
class ComponentRegistry {
 public:
  using Factory = std::function<std::unique_ptr<DomDocument>()>;

  // Returns a new object of the component registered under `progId`. Throws CodecError when
  // none is registered or its factory fails.
  static std::unique_ptr<DomDocument> Create(std::u16string_view progId);
  // Replaces the factory under `progId`; an empty factory removes the registration.
  static void Register(std::u16string_view progId, Factory factory);
  // Puts back the components a fresh process has.
  static void RestoreDefaults();
};

// The built-in document, as registered under "MSXML.DomDocument".
std::unique_ptr<DomDocument> MakeDomDocument();

}  // namespace zentrova::xml
