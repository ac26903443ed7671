// The window's purely graphic controls: a rectangle with a one-pixel border and no fill, and a
// one-pixel line. Neither takes the focus or the mouse, like the lightweight controls they are.
#pragma once

#include <QColor>
#include <QWidget>

namespace zentrova::ui {

class ShapeWidget : public QWidget {
  Q_OBJECT

 public:
  ShapeWidget(QColor border, QWidget* parent);
  QColor borderColor() const { return border_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor border_;
};

class LineWidget : public QWidget {
  Q_OBJECT

 public:
  LineWidget(QColor color, QWidget* parent);
  QColor lineColor() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};

}  // namespace zentrova::ui
