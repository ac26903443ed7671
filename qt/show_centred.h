// Shows a window centred on its screen, as the run-time shows the start-up window.
#pragma once

#include <QWidget>

namespace zentrova {

void ShowCentred(QWidget& window);

}  // namespace zentrova
