// The window's purely graphic controls: a rectangle with a one-pixel border and no fill, or a
// one-pixel line. Neither takes the focus or the mouse, like the lightweight controls they are.
#pragma once

#include <QColor>
#include <QWidget>

namespace zentrova::ui {

class GraphicControl : public QWidget {
  Q_OBJECT

 public:
  enum class Figure { kRectangle, kLine };

  GraphicControl(Figure figure, QWidget* parent);
  Figure figure() const { return figure_; }
  QColor color() const { return color_; }
  void setColor(QColor color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Figure figure_;
  QColor color_;
};

}  // namespace zentrova::ui
