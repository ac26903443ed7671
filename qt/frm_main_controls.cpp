#include "qt/frm_main_controls.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <map>
#include <vector>

#include "qt/graphic_controls.h"
#include "qt/long_word_wrap.h"
#include "qt/qt_text.h"
#include "qt/tahoma.h"
#include "ui/accessible_names.h"
#include "ui/colors.h"

namespace zentrova::ui {
namespace {

QColor ToColor(std::uint32_t rgb) {
  return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QFont ToFont(const FontEntry& entry) {
  QFont font(ToQString(entry.family));
  font.setPointSizeF(entry.pointSize);
  font.setWeight(static_cast<QFont::Weight>(entry.weight));
  return font;
}

// Enter on a focused button clicks it, as on Windows, although no button is the default.
class EnterClicks : public QObject {
 public:
  explicit EnterClicks(QPushButton& button) : QObject(&button), button_(button) {
    button.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    button_.click();
    return true;
  }

 private:
  QPushButton& button_;
};

QWidget* MakeLabel(const ControlEntry& entry, QWidget* parent) {
  auto* label = new QLabel(ToQString(entry.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAutoFillBackground(entry.backColor.has_value());
  return label;
}

// A button icon at the size the screen needs, 16 pixels times the device pixel ratio: the
// picture drawn at that size where there is one, else the next larger one scaled down, never an
// upscaled 16-pixel one.
QPixmap ButtonIcon(std::string_view picture) {
  const qreal ratio = qApp->devicePixelRatio();
  const int side = qRound(16 * ratio);
  const QString name = ToQString(picture);
  QString file = QStringLiteral(":/icons/%1.png").arg(name);
  for (const int drawn : {20, 24, 32}) {
    if (side <= 16) break;
    file = QStringLiteral(":/icons/%1@%2.png").arg(name).arg(drawn);
    if (drawn >= side) break;
  }
  QPixmap pixmap(file);
  if (pixmap.width() != side) {
    pixmap = pixmap.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QWidget* MakeControl(const ControlEntry& entry, QWidget* parent) {
  switch (entry.kind) {
    case ControlKind::kButton: {
      auto* button = new QPushButton(ToQString(entry.text), parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      new EnterClicks(*button);
      button->setAccessibleName(ToQString(AccessibleName(entry)));
      return button;
    }
    case ControlKind::kTextBox: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setTabChangesFocus(true);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      new LongWordWrap(*edit);
      edit->setAccessibleName(ToQString(AccessibleName(entry)));
      return edit;
    }
    case ControlKind::kPictureBox: {
      auto* box = new QWidget(parent);
      box->setAutoFillBackground(true);
      return box;
    }
    case ControlKind::kLabel:
      return MakeLabel(entry, parent);
    case ControlKind::kImage: {
      auto* image = new QLabel(parent);
      image->setPixmap(ButtonIcon(entry.picture));
      image->setAttribute(Qt::WA_TransparentForMouseEvents);
      return image;
    }
    case ControlKind::kShape:
      return new GraphicControl(GraphicControl::Figure::kRectangle, parent);
    case ControlKind::kLine:
      return new GraphicControl(GraphicControl::Figure::kLine, parent);
  }
  return nullptr;
}

QColor Resolve(const Color& color, const QPalette& palette) {
  if (const auto* rgb = std::get_if<std::uint32_t>(&color)) return ToColor(*rgb);
  switch (std::get<SystemColor>(color)) {
    case SystemColor::kText:
      return palette.color(QPalette::WindowText);
    case SystemColor::kFace:
      return palette.color(QPalette::Window);
    case SystemColor::kHighlight:
      return palette.color(QPalette::Highlight);
    case SystemColor::kHighlightText:
      return palette.color(QPalette::HighlightedText);
  }
  return {};
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::kButton || kind == ControlKind::kTextBox;
}

}  // namespace

void ApplyWindowProperties(QWidget& window) {
  ProvideTahoma();
  const WindowEntry& entry = MainWindow();
  window.setObjectName(ToQString(entry.name));
  window.setWindowTitle(ToQString(entry.caption));
  window.setFont(ToFont(entry.font));
  // The icon file holds the whole group: 48, 32 and 16 pixels at 256 colours and at 32 bits.
  window.setWindowIcon(QIcon(QStringLiteral(":/icons/app.ico")));
  window.setFixedSize(ToPixels(entry.clientWidth), ToPixels(entry.clientHeight));
  window.setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
}

void ApplyColors(QWidget& window) {
  const QPalette& palette = window.palette();
  const bool systemColors = FaceHidesLayoutColors(palette.color(QPalette::Window).rgb() & 0xFFFFFF);
  for (const ControlEntry& entry : MainWindowControls()) {
    auto* widget = window.findChild<QWidget*>(ToQString(entry.name));
    if (!widget) continue;
    const ControlColors colors = ColorsOf(entry, systemColors);
    if (auto* graphic = qobject_cast<GraphicControl*>(widget)) {
      graphic->setColor(Resolve(colors.fore.value_or(SystemColor::kText), palette));
      continue;
    }
    // Every role is set from the window's palette again, so a role the layout colours no more
    // follows the new palette too.
    QPalette own = palette;
    if (colors.fore) own.setColor(QPalette::WindowText, Resolve(*colors.fore, palette));
    if (colors.back) own.setColor(QPalette::Window, Resolve(*colors.back, palette));
    if (colors.fore || colors.back || entry.foreColor || entry.backColor) widget->setPalette(own);
  }
}

FrmMainControls BuildControls(QWidget& window) {
  std::map<std::string_view, QWidget*> made;
  std::vector<std::pair<int, QWidget*>> tabOrder;
  for (const ControlEntry& entry : MainWindowControls()) {
    QWidget* parent = entry.container.empty() ? &window : made.at(entry.container);
    QWidget* widget = MakeControl(entry, parent);
    widget->setObjectName(ToQString(entry.name));
    if (entry.font) widget->setFont(ToFont(*entry.font));
    widget->move(ToPixels(entry.left), ToPixels(entry.top));
    if (entry.kind == ControlKind::kLine) {
      widget->resize(ToPixels(entry.width) + 1, ToPixels(entry.height) + 1);
    } else {
      widget->resize(ToPixels(entry.width), ToPixels(entry.height));
    }
    if (entry.autoSize) widget->adjustSize();
    if (TakesFocus(entry.kind)) {
      tabOrder.emplace_back(entry.tabIndex.value_or(0), widget);
    } else {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    made[entry.name] = widget;
  }

  // Buttons, text boxes and the banner are windows of their own and stand above the labels,
  // frames, line and images drawn on the window's face.
  for (const ControlEntry& entry : MainWindowControls()) {
    if (TakesFocus(entry.kind) || entry.kind == ControlKind::kPictureBox)
      made.at(entry.name)->raise();
  }
  std::sort(tabOrder.begin(), tabOrder.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < tabOrder.size(); ++i) {
    QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
  }

  ApplyColors(window);

  auto button = [&](std::string_view name) { return static_cast<QPushButton*>(made.at(name)); };
  auto edit = [&](std::string_view name) { return static_cast<QPlainTextEdit*>(made.at(name)); };
  return {button("cmdExit"),       button("cmdAbout"),      button("cmdDecodecmd"),
          button("cmdEncodeToXF"), button("cmdEncodeToXL"), button("cmdEncodeToFG"),
          edit("TxtOut"),          edit("TxtRes")};
}

}  // namespace zentrova::ui
