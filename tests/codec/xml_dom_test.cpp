// The codec against hosts whose XML DOM component is missing, faulty or watched.
#include "codec/xml_dom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "codec/base64.h"
#include "event_recorder.h"
#include "watched_component.h"

namespace zentrova {
namespace {

using testing::ComponentLog;
using ::testing::ElementsAre;
using testing::EventRecorder;
using testing::WatchedDocument;

class ComponentTest : public ::testing::Test {
 protected:
  void TearDown() override { xml::ComponentRegistry::RestoreDefaults(); }

  void Watch(std::function<void()> failCreate = {}) {
    testing::WatchComponent(log, &watched, std::move(failCreate));
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
