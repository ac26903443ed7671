// Word wrap that stays linear in the length of a text. Qt looks for a word's end across the
// whole rest of a line that has none, once for every row it lays out, which makes one long
// unbroken address quadratic to show (1 MB took 33 s). A word far wider than the box is broken
// anywhere either way, so once a text holds such a word the box wraps anywhere: the rows look
// the same and cost one pass.
#pragma once

#include <QObject>
#include <QPlainTextEdit>

namespace zentrova {

class LongWordWrap : public QObject {
 public:
  explicit LongWordWrap(QPlainTextEdit& edit);

 private:
  void Changed(int position, int added);
  void WrapWordsIfShort();

  QPlainTextEdit& edit_;
};

// Shows `text` in `edit` in place of what it holds, wrapping anywhere from the start when the
// text holds a long word: the box lays a new text out while it takes it (at once when it has
// the focus), before any signal could change its mode.
void SetPlainTextWrapped(QPlainTextEdit& edit, const QString& text);

}  // namespace zentrova
