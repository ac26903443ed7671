#include "qt/frm_main_controls.h"

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

void SetColor(QWidget& widget, QPalette::ColorRole role, std::uint32_t rgb) {
  QPalette palette = widget.palette();
  palette.setColor(role, ToColor(rgb));
  widget.setPalette(palette);
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
  if (entry.foreColor) SetColor(*label, QPalette::WindowText, *entry.foreColor);
  if (entry.backColor) {
    label->setAutoFillBackground(true);
    SetColor(*label, QPalette::Window, *entry.backColor);
  }
  return label;
}

QWidget* MakeControl(const ControlEntry& entry, QWidget* parent) {
  switch (entry.kind) {
    case ControlKind::kButton: {
      auto* button = new QPushButton(ToQString(entry.text), parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      new EnterClicks(*button);
      return button;
    }
    case ControlKind::kTextBox: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setTabChangesFocus(true);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      new LongWordWrap(*edit);
      return edit;
    }
    case ControlKind::kPictureBox: {
      auto* box = new QWidget(parent);
      box->setAutoFillBackground(true);
      if (entry.backColor) SetColor(*box, QPalette::Window, *entry.backColor);
      return box;
    }
    case ControlKind::kLabel:
      return MakeLabel(entry, parent);
    case ControlKind::kImage: {
      auto* image = new QLabel(parent);
      image->setPixmap(QPixmap(QStringLiteral(":/icons/%1.png").arg(ToQString(entry.picture))));
      image->setAttribute(Qt::WA_TransparentForMouseEvents);
      return image;
    }
    case ControlKind::kShape:
      return new GraphicControl(GraphicControl::Figure::kRectangle,
                                ToColor(entry.foreColor.value_or(0)), parent);
    case ControlKind::kLine:
      return new GraphicControl(GraphicControl::Figure::kLine, ToColor(entry.foreColor.value_or(0)),
                                parent);
  }
  return nullptr;
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

  auto button = [&](std::string_view name) { return static_cast<QPushButton*>(made.at(name)); };
  auto edit = [&](std::string_view name) { return static_cast<QPlainTextEdit*>(made.at(name)); };
  return {button("cmdExit"),       button("cmdAbout"),      button("cmdDecodecmd"),
          button("cmdEncodeToXF"), button("cmdEncodeToXL"), button("cmdEncodeToFG"),
          edit("TxtOut"),          edit("TxtRes")};
}

}  // namespace zentrova::ui
