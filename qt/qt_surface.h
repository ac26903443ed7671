// The text boxes and the clipboard of the link commands, provided by Qt.
#pragma once

#include <QClipboard>
#include <QPlainTextEdit>

#include "links/link_commands.h"

namespace zentrova::ui {

class QtTextBox : public TextBox {
 public:
  explicit QtTextBox(QPlainTextEdit& edit) : edit_(edit) {}
  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;

 private:
  QPlainTextEdit& edit_;
};

class QtClipboard : public Clipboard {
 public:
  explicit QtClipboard(QClipboard& clipboard) : clipboard_(clipboard) {}
  std::u16string GetText() override;
  void Clear() override;
  void SetText(const std::u16string& text) override;

 private:
  QClipboard& clipboard_;
};

}  // namespace zentrova::ui
