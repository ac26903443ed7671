#include "ui/frm_main_controls.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "ui/graphic_controls.h"
#include "ui/qt_text.h"

namespace zentrova::ui {
namespace {

QColor ToColor(std::uint32_t rgb) {
  return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QFont ToFont(const FontSpec& spec) {
  QFont font(QString::fromUtf8(spec.family.data(), static_cast<qsizetype>(spec.family.size())));
  font.setPointSizeF(spec.pointSize);
  font.setWeight(static_cast<QFont::Weight>(spec.weight));
  return font;
}

QString Name(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

void SetColor(QWidget& widget, QPalette::ColorRole role, std::uint32_t rgb) {
  QPalette palette = widget.palette();
  palette.setColor(role, ToColor(rgb));
  widget.setPalette(palette);
}

QWidget* MakeLabel(const ControlSpec& spec, QWidget* parent) {
  auto* label = new QLabel(ToQString(spec.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (spec.foreColor) SetColor(*label, QPalette::WindowText, *spec.foreColor);
  if (spec.backColor) {
    label->setAutoFillBackground(true);
    SetColor(*label, QPalette::Window, *spec.backColor);
  }
  return label;
}

QWidget* MakeControl(const ControlSpec& spec, QWidget* parent) {
  switch (spec.kind) {
    case ControlKind::kButton: {
      auto* button = new QPushButton(ToQString(spec.text), parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
    case ControlKind::kTextBox: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setTabChangesFocus(true);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      return edit;
    }
    case ControlKind::kPictureBox: {
      auto* box = new QWidget(parent);
      box->setAutoFillBackground(true);
      if (spec.backColor) SetColor(*box, QPalette::Window, *spec.backColor);
      return box;
    }
    case ControlKind::kLabel:
      return MakeLabel(spec, parent);
    case ControlKind::kImage: {
      auto* image = new QLabel(parent);
      image->setPixmap(QPixmap(Name(spec.picture)));
      image->setAttribute(Qt::WA_TransparentForMouseEvents);
      return image;
    }
    case ControlKind::kShape:
      return new GraphicControl(GraphicControl::Figure::kRectangle,
                                ToColor(spec.foreColor.value_or(0)), parent);
    case ControlKind::kLine:
      return new GraphicControl(GraphicControl::Figure::kLine, ToColor(spec.foreColor.value_or(0)),
                                parent);
  }
  return nullptr;
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::kButton || kind == ControlKind::kTextBox;
}

}  // namespace

int ToPixels(int twips) { return static_cast<int>(std::lround(twips / double{kTwipsPerPixel})); }

void ApplyWindowProperties(QWidget& window) {
  const WindowSpec& spec = MainWindow();
  window.setObjectName(Name(spec.name));
  window.setWindowTitle(ToQString(spec.caption));
  window.setFont(ToFont(spec.font));
  QIcon icon;
  for (const char* size : {"48", "32", "16"}) {
    icon.addFile(QStringLiteral(":/icons/app-%1.png").arg(QLatin1String(size)));
  }
  window.setWindowIcon(icon);
  window.setFixedSize(ToPixels(spec.clientWidth), ToPixels(spec.clientHeight));
  window.setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
}

FrmMainControls BuildControls(QWidget& window) {
  std::map<std::string_view, QWidget*> made;
  std::vector<std::pair<int, QWidget*>> tabOrder;
  for (const ControlSpec& spec : MainWindowControls()) {
    QWidget* parent = spec.container.empty() ? &window : made.at(spec.container);
    QWidget* widget = MakeControl(spec, parent);
    widget->setObjectName(Name(spec.name));
    if (spec.font) widget->setFont(ToFont(*spec.font));
    widget->move(ToPixels(spec.left), ToPixels(spec.top));
    if (spec.kind == ControlKind::kLine) {
      widget->resize(ToPixels(spec.width) + 1, ToPixels(spec.height) + 1);
    } else {
      widget->resize(ToPixels(spec.width), ToPixels(spec.height));
    }
    if (spec.autoSize) widget->adjustSize();
    if (TakesFocus(spec.kind)) {
      tabOrder.emplace_back(spec.tabIndex.value_or(0), widget);
    } else {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    made[spec.name] = widget;
  }

  // Buttons, text boxes and the banner are windows of their own and stand above the labels,
  // frames, line and images drawn on the window's face.
  for (const ControlSpec& spec : MainWindowControls()) {
    if (TakesFocus(spec.kind) || spec.kind == ControlKind::kPictureBox) made.at(spec.name)->raise();
  }
  std::sort(tabOrder.begin(), tabOrder.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < tabOrder.size(); ++i) {
    QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
  }

  auto button = [&](std::string_view name) { return static_cast<QPushButton*>(made.at(name)); };
  auto edit = [&](std::string_view name) { return static_cast<QPlainTextEdit*>(made.at(name)); };
  return {button("cmdExit"),       button("cmdAbout"),      button("cmdDecodecmd"),
          button("cmdEncodeToXF"), button("cmdEncodeToXL"), button("cmdEncodeToFG"),
          edit("TxtOut"),          edit("TxtRes")};
}

}  // namespace zentrova::ui
