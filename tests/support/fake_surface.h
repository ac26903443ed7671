// Text boxes and a clipboard that write down every call they get, so that "untouched" and
// "cleared before set" are checked rather than assumed.
#pragma once

#include <string>
#include <vector>

#include "codec/utf8.h"
#include "links/link_commands.h"

namespace zentrova::testing {

class FakeTextBox : public TextBox {
 public:
  explicit FakeTextBox(std::u16string text = {}) : text_(std::move(text)) {}
  std::u16string Text() const override {
    ++reads;
    return text_;
  }
  void SetText(const std::u16string& text) override {
    writes.push_back(text);
    text_ = text;
  }
  const std::u16string& current() const { return text_; }

  mutable int reads = 0;
  std::vector<std::u16string> writes;

 private:
  std::u16string text_;
};

class FakeClipboard : public Clipboard {
 public:
  explicit FakeClipboard(std::u16string text = {}) : text_(std::move(text)) {}
  std::u16string GetText() override {
    calls.push_back("GetText");
    return text_;
  }
  void Clear() override {
    calls.push_back("Clear");
    text_.clear();
  }
  void SetText(const std::u16string& text) override {
    calls.push_back("SetText " + ToUtf8(text));
    text_ = text;
  }
  const std::u16string& current() const { return text_; }

  std::vector<std::string> calls;

 private:
  std::u16string text_;
};

}  // namespace zentrova::testing
