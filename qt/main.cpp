// The program's entry: it hands over to the window, which is the start-up object.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "qt/app_record.h"
#include "qt/frm_main.h"
#include "qt/qt_text.h"
#include "qt/show_centred.h"
#include "ui/common_controls.h"
#include "ui/identity.h"

int main(int, char* argv[]) {
  // The program reads no command line, so Qt is given none: its own options (-qwindowtitle,
  // -style, ...) would change the window. The environment still sets the display and scaling.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  application.setApplicationName(zentrova::ui::ToQString(zentrova::identity::kName));
  // Wayland compositors find the window's icon and name through its desktop entry.
  QGuiApplication::setDesktopFileName(zentrova::ui::ToQString(zentrova::identity::kAppId));
  const QLocale locale(zentrova::ui::ToQString(zentrova::app::kLocaleName));
  QLocale::setDefault(locale);
  // Qt's own Simplified-Chinese texts, so that standard buttons read as on a Chinese desktop.
  QTranslator qtTexts;
  if (qtTexts.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  zentrova::CommonControls commonControls;
  auto* window = new zentrova::FrmMain(commonControls);
  window->setAttribute(Qt::WA_DeleteOnClose);
  zentrova::ShowCentred(*window);
  return QApplication::exec();
}
