// The core as the web pages see it: the layout table, the About and failure texts, the four
// link commands over the page's text boxes and clipboard, and whole lists. Only converts data
// between JavaScript and the core; every decision stays in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/base64.h"
#include "codec/utf8.h"
#include "links/found_links.h"
#include "links/link_commands.h"
#include "links/list_lines.h"
#include "ui/about.h"
#include "ui/accessible_names.h"
#include "ui/handler_guard.h"
#include "ui/layout.h"

namespace zentrova::web {
namespace {

using emscripten::val;

// The page's field, as the window's: made on first need, released by Exit.
std::unique_ptr<Base64> gCodec;

class PageTextBox final : public TextBox {
 public:
  explicit PageTextBox(std::u16string text = {}) : text_(std::move(text)) {}
  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string& text) override {
    text_ = text;
    set_ = true;
  }
  bool set() const { return set_; }

 private:
  std::u16string text_;
  bool set_ = false;
};

// The browser's clipboard is asynchronous and the commands are not: the page reads it before a
// command that needs it and carries out what the command did to it afterwards, in order.
class PageClipboard final : public Clipboard {
 public:
  PageClipboard(std::optional<std::u16string> text, std::string refusal)
      : text_(std::move(text)), refusal_(std::move(refusal)), actions_(val::array()) {}
  std::u16string GetText() override {
    if (!text_) throw std::runtime_error(refusal_);
    return *text_;
  }
  void Clear() override { actions_.call<void>("push", val::null()); }
  void SetText(const std::u16string& text) override { actions_.call<void>("push", val(text)); }
  const val& actions() const { return actions_; }

 private:
  std::optional<std::u16string> text_;
  std::string refusal_;
  val actions_;  // null: clear; a string: set that text
};

val Font(const ui::FontEntry& font) {
  val entry = val::object();
  entry.set("family", std::string(font.family));
  entry.set("pointSize", font.pointSize);
  entry.set("weight", font.weight);
  return entry;
}

const char* KindName(ui::ControlKind kind) {
  switch (kind) {
    case ui::ControlKind::kButton:
      return "button";
    case ui::ControlKind::kPictureBox:
      return "pictureBox";
    case ui::ControlKind::kLabel:
      return "label";
    case ui::ControlKind::kTextBox:
      return "textBox";
    case ui::ControlKind::kImage:
      return "image";
    case ui::ControlKind::kLine:
      return "line";
    case ui::ControlKind::kShape:
      return "shape";
  }
  return "";
}

// Returns the window and its controls as the layout table has them; a field the table leaves
// out is null.
val Layout() {
  const ui::WindowEntry& window = ui::MainWindow();
  val result = val::object();
  val frame = val::object();
  frame.set("name", std::string(window.name));
  frame.set("caption", window.caption);
  frame.set("clientWidth", window.clientWidth);
  frame.set("clientHeight", window.clientHeight);
  frame.set("font", Font(window.font));
  result.set("window", frame);
  val controls = val::array();
  for (const ui::ControlEntry& control : ui::MainWindowControls()) {
    val entry = val::object();
    entry.set("name", std::string(control.name));
    entry.set("kind", std::string(KindName(control.kind)));
    entry.set("text", control.text);
    entry.set("left", control.left);
    entry.set("top", control.top);
    entry.set("width", control.width);
    entry.set("height", control.height);
    entry.set("tabIndex", control.tabIndex ? val(*control.tabIndex) : val::null());
    entry.set("container", std::string(control.container));
    entry.set("font", control.font ? Font(*control.font) : val::null());
    entry.set("foreColor", control.foreColor ? val(*control.foreColor) : val::null());
    entry.set("backColor", control.backColor ? val(*control.backColor) : val::null());
    entry.set("picture", std::string(control.picture));
    entry.set("autoSize", control.autoSize);
    entry.set("accessibleName", ui::AccessibleName(control));
    const char16_t key = ui::AccessKey(control);
    entry.set("accessKey", key ? val(std::u16string(1, key)) : val::null());
    controls.call<void>("push", entry);
  }
  result.set("controls", controls);
  return result;
}

// Runs the command of the button `name` on the page's boxes. `clipboard` is the clipboard's
// text when the page could read it, null otherwise, with `refusal` saying why. Returns what the
// command left: TxtOut's new text (null when untouched), the clipboard actions, and the report
// of a failure that stopped it (null when none did).
val RunCommand(const std::string& name, const std::u16string& txtRes, const val& clipboard,
               const std::string& refusal) {
  void (*command)(LinkSurface&) = nullptr;
  if (name == "cmdEncodeToXL") command = EncodeToXL;
  if (name == "cmdEncodeToFG") command = EncodeToFG;
  if (name == "cmdEncodeToXF") command = EncodeToXF;
  if (name == "cmdDecodecmd") command = DecodeToPlain;
  if (!command) throw std::invalid_argument("no command belongs to " + name);

  std::optional<std::u16string> clipboardText;
  if (clipboard.isString()) clipboardText = clipboard.as<std::u16string>();
  const PageTextBox TxtRes(txtRes);
  PageTextBox TxtOut;
  PageClipboard pageClipboard(std::move(clipboardText), refusal);
  const auto failure = ui::RunGuarded([&] {
    LinkSurface surface{TxtRes, TxtOut, pageClipboard, gCodec};
    command(surface);
  });
  val result = val::object();
  result.set("txtOut", TxtOut.set() ? val(TxtOut.Text()) : val::null());
  result.set("clipboard", pageClipboard.actions());
  result.set("failure",
             failure ? val(ui::FailureReport(failure->code, failure->description)) : val::null());
  return result;
}

// Exit: the codec goes before the page does.
void ReleaseCodec() { gCodec.reset(); }

links::Charset CharsetOf(const std::string& name) {
  if (name == "auto") return links::Charset::kAuto;
  if (name == "936") return links::Charset::kCodePage;
  if (name == "utf-8") return links::Charset::kUtf8;
  throw std::invalid_argument("no charset is called " + name);
}

// One converter of list lines, as `zentrova-cli batch` converts them.
class ListRun {
 public:
  ListRun(const std::string& mode, const std::string& charset) : charset_(CharsetOf(charset)) {
    if (mode == "thunder")
      make_ = links::LinkKind::kThunder;
    else if (mode == "flashget")
      make_ = links::LinkKind::kFlashGet;
    else if (mode == "qqdl")
      make_ = links::LinkKind::kQQWhirlwind;
    else if (mode != "decode")
      throw std::invalid_argument("no list mode is called " + mode);
  }

  void Add(std::optional<std::u16string> line) {
    links::LineResult result = !line   ? links::LineResult{.kind = links::LineResult::Kind::kFailed,
                                                           .why = "the line is neither UTF-8 nor GBK"}
                               : make_ ? links::MakeFoundLink(*make_, *line, charset_)
                                       : links::OpenFoundLink(*line, charset_);
    ++lines_;
    if (lines_ > 1) text_ += u'\n';
    switch (result.kind) {
      case links::LineResult::Kind::kConverted:
        ++converted_;
        text_ += result.text;
        break;
      case links::LineResult::Kind::kPassedThrough:
        ++passedThrough_;
        text_ += result.text;
        break;
      case links::LineResult::Kind::kFailed: {
        ++failed_;
        val failure = val::object();
        failure.set("line", lines_);
        failure.set("why", links::Reason(result));
        failures_.call<void>("push", failure);
        break;
      }
      case links::LineResult::Kind::kBlank:
        break;
    }
  }

  // Returns the result lines joined by LF, the failures (line number from 1 and reason) and
  // the counts.
  val Result() const {
    val result = val::object();
    result.set("text", text_);
    result.set("lines", lines_);
    result.set("converted", converted_);
    result.set("passedThrough", passedThrough_);
    result.set("failed", failed_);
    result.set("failures", failures_);
    return result;
  }

 private:
  links::Charset charset_;
  std::optional<links::LinkKind> make_;
  std::u16string text_;
  long lines_ = 0, converted_ = 0, passedThrough_ = 0, failed_ = 0;
  val failures_ = val::array();
};

// Calls `take` with each line of `text` without its end: LF, CR LF and a lone CR all end a
// line, and a last line without an end counts too.
template <typename Char, typename Take>
void SplitLines(std::basic_string_view<Char> text, Take take) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != Char('\n') && text[end] != Char('\r')) ++end;
    take(text.substr(start, end - start));
    if (end < text.size() && text[end] == Char('\r') && end + 1 < text.size() &&
        text[end + 1] == Char('\n')) {
      ++end;
    }
    start = end + 1;
  }
}

// A list as typed or pasted into the page.
val ConvertListText(const std::u16string& text, const std::string& mode,
                    const std::string& charset) {
  ListRun run(mode, charset);
  SplitLines(std::u16string_view(text),
             [&](std::u16string_view line) { run.Add(std::u16string(line)); });
  return run.Result();
}

// A list file's bytes (UTF-8 or GBK), read line by line as `batch` reads a file.
val ConvertListBytes(const val& bytes, const std::string& mode, const std::string& charset) {
  const std::vector<std::uint8_t> raw =
      emscripten::convertJSArrayToNumberVector<std::uint8_t>(bytes);
  const std::string_view view(reinterpret_cast<const char*>(raw.data()), raw.size());
  ListRun run(mode, charset);
  links::ListLineReader reader;
  SplitLines(view, [&](std::string_view line) { run.Add(reader.Text(line)); });
  return run.Result();
}

}  // namespace
}  // namespace zentrova::web

EMSCRIPTEN_BINDINGS(zentrova) {
  using namespace zentrova;
  emscripten::function("layout", &web::Layout);
  emscripten::function(
      "aboutTitle", +[] { return std::u16string(ui::kAboutTitle); });
  emscripten::function("aboutText", &ui::AboutText);
  emscripten::function(
      "failureReport", +[](std::int32_t code, const std::u16string& description) {
        return ui::FailureReport(code, description);
      });
  emscripten::function("runCommand", &web::RunCommand);
  emscripten::function("releaseCodec", &web::ReleaseCodec);
  emscripten::function("convertListText", &web::ConvertListText);
  emscripten::function("convertListBytes", &web::ConvertListBytes);
}
