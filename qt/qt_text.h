// Texts cross between the link commands (UTF-16 strings) and Qt (QString) unchanged.
#pragma once

#include <QString>
#include <string>

namespace zentrova::ui {

inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }
inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }

}  // namespace zentrova::ui
