// The four conversion commands of the main window, over abstract text boxes and clipboard.
#pragma once

#include <memory>
#include <string>

#include "codec/base64.h"

namespace zentrova {

class TextBox {  // what a command may do with a text box
 public:
  virtual ~TextBox() = default;
  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;
};

class Clipboard {  // the system clipboard, plain text
 public:
  virtual ~Clipboard() = default;
  virtual std::u16string GetText() = 0;  // "" when it holds no text
  virtual void Clear() = 0;
  virtual void SetText(const std::u16string& text) = 0;
};

struct LinkSurface {  // what one command works on
  const TextBox& TxtRes;
  TextBox& TxtOut;
  Clipboard& clipboard;
  std::unique_ptr<Base64>& codec;  // the window's field; made on first need
};

void EncodeToXL(LinkSurface& surface);     // cmdEncodeToXL: Thunder
void EncodeToFG(LinkSurface& surface);     // cmdEncodeToFG: FlashGet
void EncodeToXF(LinkSurface& surface);     // cmdEncodeToXF: QQ Whirlwind
void DecodeToPlain(LinkSurface& surface);  // cmdDecodecmd: back to the plain link

}  // namespace zentrova
