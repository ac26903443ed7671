#include "qt/tahoma.h"

#include <QFontDatabase>
#include <QStringList>

namespace zentrova {

void ProvideTahoma() {
  static const bool provided = [] {
    const QString family = QStringLiteral("Tahoma");
    if (QFontDatabase::families().contains(family)) return true;
    bool loaded = false;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
      const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
      loaded = QFontDatabase::addApplicationFont(path) >= 0 || loaded;
    }
    return loaded;
  }();
  (void)provided;
}

}  // namespace zentrova
