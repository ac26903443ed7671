// Texts cross between the link commands (UTF-16 strings) and Qt (QString) unchanged.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zentrova::ui {

inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }
inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }
// The program's own UTF-8 names (controls, fonts, identity).
inline QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace zentrova::ui
