// The core as the web pages see it: the layout table, the About and failure texts, the four
// link commands over the page's text boxes and clipboard, whole lists, and the catalogue of
// the pages' words. Only converts data between JavaScript and the core; every decision stays
// in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/base64.h"
#include "codec/utf8.h"
#include "links/link_commands.h"
#include "ui/about.h"
#include "ui/accessible_names.h"
#include "ui/handler_guard.h"
#include "ui/layout.h"
#include "web/catalogue.h"
#include "web/list_job.h"

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
  emscripten::function(
      "translate", +[](const std::string& english, bool chinese) {
        return std::string(web::Translate(english, chinese));
      });
  emscripten::class_<web::ListJob>("ListJob")
      .constructor<const std::string&, const std::string&, bool, double>()
      .constructor<const std::string&, const std::string&, bool, double, const std::string&>()
      .function("feedBytes", &web::ListJob::FeedBytes)
      .function("feedText", &web::ListJob::FeedText)
      .function("finish", &web::ListJob::Finish);
}
