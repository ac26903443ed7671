// The handler's refusal box on Linux desktops. Qt starts only here, on the path that fails: a link
// handed on costs no toolkit.
#include "ui/failure_box.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ui/identity.h"

namespace zentrova::ui {

namespace {

void ShowBox(const std::string& text) {
  int argc = 1;
  char name[] = "zentrova-open";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  // Qt's own words for the button, in the person's language (确定 under a Chinese locale).
  QTranslator qtTexts;
  if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }
  const auto title = QString::fromUtf8(identity::kName.data(), identity::kName.size());
  QMessageBox box(QMessageBox::Critical, title, QString::fromStdString(text), QMessageBox::Ok);
  box.exec();
}

}  // namespace

void ShowFailureBox(const std::string& text) {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!(x11 && *x11) && !(wayland && *wayland)) return;
  // Qt ends the whole process when the display it is told of cannot be reached; the box is shown
  // by a child of its own, so that the program still ends as a refusal does (the reason is on
  // standard error already).
  std::fflush(stderr);
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    ShowBox(text);
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace zentrova::ui
