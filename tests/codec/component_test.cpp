// The codec against hosts whose XML DOM component is missing, faulty or watched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "codec/base64.h"
#include "codec/xml_dom.h"
#include "event_recorder.h"

namespace zentrova {
namespace {

using ::testing::ElementsAre;
using testing::EventRecorder;

// Wraps the real component and writes down what the codec does with it.
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

class ComponentTest : public ::testing::Test {
 protected:
  void TearDown() override { xml::ComponentRegistry::RestoreDefaults(); }

  void Watch(std::function<void()> failCreate = {}) {
    xml::ComponentRegistry::Register(xml::kDomDocumentProgId, [this, failCreate] {
      auto document = std::make_unique<WatchedDocument>(log, failCreate);
      watched = document.get();
      return document;
    });
  }

  ComponentLog log;
  WatchedDocument* watched = nullptr;
};

TEST_F(ComponentTest, MissingComponentLeavesTheCodecUnavailable) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId, nullptr);
  Base64 codec;
  EXPECT_EQ(codec.LastErrorCode(), 90001);
  EXPECT_EQ(codec.LastErrorDescription(), u"错误,建立必须 'MSXML.DomDocument' 对象");

  EventRecorder recorder;
  codec.Attach(recorder);
  for (const std::u16string text : {u"abc", u"YWJj", u"!!!", u""}) {
    EXPECT_EQ(codec.Encode(text), u"");
    EXPECT_EQ(codec.Decode(text), u"");
  }
  EXPECT_EQ(codec.LastErrorCode(), 90001);
  codec.ClearError();
  EXPECT_EQ(codec.Encode(u"abc"), u"");
  EXPECT_EQ(codec.Decode(u"!!!"), u"");
  EXPECT_EQ(codec.LastErrorCode(), 0);
  EXPECT_EQ(codec.LastErrorDescription(), u"");
  EXPECT_TRUE(recorder.events.empty());

  // The component is not tried again, even once it is back.
  xml::ComponentRegistry::RestoreDefaults();
  EXPECT_EQ(codec.Encode(u"abc"), u"");
}

TEST_F(ComponentTest, FactoryThatFailsCountsAsMissing) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId,
                                   []() -> std::unique_ptr<xml::DomDocument> {
                                     throw std::runtime_error("class not registered");
                                   });
  Base64 codec;
  EXPECT_EQ(codec.LastErrorCode(), 90001);
}

TEST_F(ComponentTest, ElementThatCannotBeMadeFailsConstruction) {
  Watch([] { throw CodecError(-2147024882, u"内存不足，无法完成此操作"); });
  try {
    Base64 codec;
    ADD_FAILURE() << "construction succeeded";
  } catch (const CodecError& e) {
    EXPECT_EQ(e.code(), -2147024882);
    EXPECT_EQ(e.description(), u"内存不足，无法完成此操作");
  }
  // The document that was made is released again.
  EXPECT_THAT(log.calls, ElementsAre("createElement TmpBase64", "~document"));
}

TEST_F(ComponentTest, DocumentAndElementAreMadeOnceAndReleasedElementFirst) {
  Watch();
  {
    Base64 codec;
    EXPECT_EQ(codec.Encode(u"abc"), u"YWJj");
    EXPECT_EQ(codec.Decode(u"YWJj"), u"abc");
    EXPECT_EQ(codec.Decode(u"#"), u"");
    EXPECT_EQ(codec.Encode(u"abc"), u"YWJj");
  }
  EXPECT_THAT(log.calls, ElementsAre("createElement TmpBase64", "dataType",              //
                                     "set nodetypedvalue", "get Text", "set Text \"\"",  // Encode
                                     "set Text", "get nodetypedvalue", "set Text \"\"",  // Decode
                                     "set Text",                                         // refused
                                     "set nodetypedvalue", "get Text", "set Text \"\"",  // Encode
                                     "~element", "~document"));
}

TEST_F(ComponentTest, ElementTextIsEmptyAfterEveryConversion) {
  Watch();
  Base64 codec;
  for (const std::u16string text : {u"abc", u"中文", u"x"}) {
    codec.Encode(text);
    EXPECT_EQ(watched->last->real().Text(), u"");
    codec.Decode(u"YWJj");
    EXPECT_EQ(watched->last->real().Text(), u"");
    EXPECT_EQ(watched->last->real().NodeTypedValue(), "");
  }
}

}  // namespace
}  // namespace zentrova
