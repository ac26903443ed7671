#include "qt/graphic_controls.h"

#include <QPainter>

namespace zentrova::ui {

GraphicControl::GraphicControl(Figure figure, QWidget* parent) : QWidget(parent), figure_(figure) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void GraphicControl::setColor(QColor color) {
  color_ = color;
  update();
}

void GraphicControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(color_, 1));
  if (figure_ == Figure::kRectangle) {
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  } else {
    painter.drawLine(0, 0, width() - 1, height() - 1);
  }
}

}  // namespace zentrova::ui
