// The program's entry: it hands over to the window, which is the start-up object.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "qt/app_record.h"
#include "qt/frm_main.h"
#include "qt/show_centred.h"
#include "ui/common_controls.h"
#include "ui/identity.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  application.setApplicationName(
      QString::fromUtf8(zentrova::app::kTitle.data(), zentrova::app::kTitle.size()));
  // Wayland compositors find the window's icon and name through its desktop entry.
  QGuiApplication::setDesktopFileName(
      QString::fromUtf8(zentrova::identity::kAppId.data(), zentrova::identity::kAppId.size()));
  const QLocale locale(
      QString::fromUtf8(zentrova::app::kLocaleName.data(), zentrova::app::kLocaleName.size()));
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
