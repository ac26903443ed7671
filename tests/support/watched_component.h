// Wraps the real XML DOM component and writes down what the codec does with it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codec/xml_dom.h"

namespace zentrova::testing {

struct ComponentLog {
  std::vector<std::string> calls;
  std::vector<std::u16string> textAfterEachCall;
};

class WatchedElement : public xml::DomElement {
 public:
  WatchedElement(std::unique_ptr<xml::DomElement> real, ComponentLog& log)
      : real_(std::move(real)), log_(log) {}
  ~WatchedElement() override { log_.calls.push_back("~element"); }
  void SetDataType(std::u16string_view type) override {
    log_.calls.push_back("dataType");
    real_->SetDataType(type);
  }
  void SetNodeTypedValue(std::string_view bytes) override {
    log_.calls.push_back("set nodetypedvalue");
    real_->SetNodeTypedValue(bytes);
  }
  const std::string& NodeTypedValue() const override {
    log_.calls.push_back("get nodetypedvalue");
    return real_->NodeTypedValue();
  }
  const std::u16string& Text() const override {
    log_.calls.push_back("get Text");
    return real_->Text();
  }
  // One step that reads the text and then empties it, logged as the two it stands for.
  std::u16string TakeText() override {
    log_.calls.push_back("get Text");
    log_.calls.push_back("set Text \"\"");
    return real_->TakeText();
  }
  void SetText(std::u16string_view text) override {
    log_.calls.push_back(text.empty() ? "set Text \"\"" : "set Text");
    real_->SetText(text);
  }
  const xml::DomElement& real() const { return *real_; }

 private:
  std::unique_ptr<xml::DomElement> real_;
  ComponentLog& log_;
};

class WatchedDocument : public xml::DomDocument {
 public:
  WatchedDocument(ComponentLog& log, std::function<void()> failCreate)
      : real_(xml::MakeDomDocument()), log_(log), failCreate_(std::move(failCreate)) {}
  ~WatchedDocument() override { log_.calls.push_back("~document"); }
  std::unique_ptr<xml::DomElement> CreateElement(std::u16string_view name) override {
    log_.calls.push_back("createElement " + std::string(name.begin(), name.end()));
    if (failCreate_) failCreate_();
    auto element = std::make_unique<WatchedElement>(real_->CreateElement(name), log_);
    last = element.get();
    return element;
  }
  WatchedElement* last = nullptr;

 private:
  std::unique_ptr<xml::DomDocument> real_;
  ComponentLog& log_;
  std::function<void()> failCreate_;
};

// Registers a watched document under "MSXML.DomDocument"; `*watched` follows the newest one.
inline void WatchComponent(ComponentLog& log, WatchedDocument** watched,
                           std::function<void()> failCreate = {}) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId, [&log, watched, failCreate] {
    auto document = std::make_unique<WatchedDocument>(log, failCreate);
    if (watched) *watched = document.get();
    return document;
  });
}

}  // namespace zentrova::testing
