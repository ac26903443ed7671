#include "qt/show_centred.h"

#include <QEvent>
#include <QScreen>

namespace zentrova {
namespace {

QPoint CentredFrameOrigin(const QWidget& window) {
  const QRect area = window.screen()->availableGeometry();
  const QSize frame = window.frameGeometry().size();
  return {area.x() + (area.width() - frame.width()) / 2,
          area.y() + (area.height() - frame.height()) / 2};
}

// A window manager adds the frame only once the window is shown. When Qt learns its size,
// the whole window, frame included, is moved to the centre, once.
class FrameCentring : public QObject {
 public:
  explicit FrameCentring(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if ((event->type() == QEvent::Move || event->type() == QEvent::Show) &&
        window_.frameGeometry().size() != window_.size()) {
      window_.removeEventFilter(this);
      window_.move(CentredFrameOrigin(window_));  // a window's position is its frame's
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
};

}  // namespace

void ShowCentred(QWidget& window) {
  // Until the frame is known, the client area is centred, which is right where there is none.
  window.move(CentredFrameOrigin(window));
  new FrameCentring(window);
  window.show();
}

}  // namespace zentrova
