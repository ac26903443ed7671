#include "qt/show_centred.h"

#include <QScreen>

namespace zentrova {

void ShowCentred(QWidget& window) {
  const QRect screen = window.screen()->availableGeometry();
  // The frame is not known before the window is shown, so the client area is centred.
  window.move(screen.center() - window.rect().center());
  window.show();
}

}  // namespace zentrova
