#include "ui/graphic_controls.h"

#include <QPainter>

namespace zentrova::ui {
namespace {

void MakeLightweight(QWidget& widget) {
  widget.setFocusPolicy(Qt::NoFocus);
  widget.setAttribute(Qt::WA_TransparentForMouseEvents);
  widget.setAttribute(Qt::WA_NoSystemBackground);
}

}  // namespace

ShapeWidget::ShapeWidget(QColor border, QWidget* parent) : QWidget(parent), border_(border) {
  MakeLightweight(*this);
}

void ShapeWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(border_, 1));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

LineWidget::LineWidget(QColor color, QWidget* parent) : QWidget(parent), color_(color) {
  MakeLightweight(*this);
}

void LineWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(color_, 1));
  painter.drawLine(0, 0, width() - 1, height() - 1);
}

}  // namespace zentrova::ui
