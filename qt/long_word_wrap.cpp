#include "qt/long_word_wrap.h"

#include <QTextDocument>
#include <algorithm>

namespace zentrova {
namespace {

// A word of this many characters is wider than either box many times over.
constexpr int kLongWord = 1024;
// Below this size even the quadratic search costs nothing a person notices.
constexpr int kShortText = 4 * kLongWord;

template <typename CharAt>
bool HoldsLongWord(int from, int to, CharAt charAt) {
  int run = 0;
  for (int i = from; i < to; ++i) {
    run = charAt(i).isSpace() ? 0 : run + 1;
    if (run >= kLongWord) return true;
  }
  return false;
}

}  // namespace

void SetPlainTextWrapped(QPlainTextEdit& edit, const QString& text) {
  if (text.size() >= kShortText &&
      HoldsLongWord(0, static_cast<int>(text.size()), [&](int i) { return text.at(i); })) {
    edit.setWordWrapMode(QTextOption::WrapAnywhere);
  }
  // A short text takes the box's mode for a moment; LongWordWrap puts word wrap back.
  edit.setPlainText(text);
}

LongWordWrap::LongWordWrap(QPlainTextEdit& edit) : QObject(&edit), edit_(edit) {
  edit_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  connect(edit_.document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { Changed(position, added); });
}

void LongWordWrap::Changed(int position, int added) {
  const QTextDocument& document = *edit_.document();
  if (document.characterCount() < kShortText) {
    // Later, once the edit is whole: replacing a long text empties the box first, and a box
    // switched back to word wrap at that moment would lay out the new long text word by word.
    if (edit_.wordWrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere) {
      QMetaObject::invokeMethod(this, &LongWordWrap::WrapWordsIfShort, Qt::QueuedConnection);
    }
    return;
  }
  if (edit_.wordWrapMode() == QTextOption::WrapAnywhere) return;
  // Only what was added can hold a new long word.
  if (HoldsLongWord(position, std::min(position + added, document.characterCount()),
                    [&](int i) { return document.characterAt(i); })) {
    edit_.setWordWrapMode(QTextOption::WrapAnywhere);
  }
}

void LongWordWrap::WrapWordsIfShort() {
  if (edit_.document()->characterCount() < kShortText) {
    edit_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  }
}

}  // namespace zentrova
