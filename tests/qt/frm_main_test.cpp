// The main window on Qt's offscreen platform: its layout against the table, its keyboard
// behaviour, its lifecycle and its six buttons.
#include "qt/frm_main.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "codec/code_page.h"
#include "codec/xml_dom.h"
#include "qt/graphic_controls.h"
#include "qt/qt_text.h"
#include "qt/show_centred.h"
#include "ui/about.h"
#include "ui/accessible_names.h"
#include "ui/layout.h"
#include "watched_component.h"

using namespace zentrova;

namespace {

// Bounds a wait for the window system; a wait ends as soon as its condition holds, so this is
// generous for a loaded machine or a sanitized build.
constexpr int kPatienceMs = 60000;

// Counts the window initialisations and how many widgets existed at each.
class RecordingCommonControls : public CommonControls {
 public:
  void InitCommonControls() override {
    ++initialisations;
    widgetsAtInit = QApplication::allWidgets().size();
  }
  int initialisations = 0;
  qsizetype widgetsAtInit = -1;
};

QString Name(std::string_view name) { return QString::fromUtf8(name.data(), name.size()); }

QColor ToColor(std::uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Writes "unload" into the log when the window is closed, however that comes about.
class UnloadWatcher : public QObject {
 public:
  UnloadWatcher(QWidget& window, testing::ComponentLog& log) : log_(log) {
    window.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) log_.calls.push_back("unload");
    return false;
  }

 private:
  testing::ComponentLog& log_;
};

// Answers the next message box when it opens, after letting `inspect` look at it.
void AnswerNextMessageBox(std::function<void(QMessageBox&)> inspect) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    poll->stop();
    poll->deleteLater();
    inspect(*box);
    box->done(QMessageBox::Ok);
  });
  poll->start(10);
}

class Window {
 public:
  Window() : window(new FrmMain(commonControls)) { window->setAttribute(Qt::WA_DeleteOnClose); }
  ~Window() { delete window.data(); }
  FrmMain* operator->() { return window.data(); }
  template <typename T = QWidget>
  T* Control(const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  RecordingCommonControls commonControls;
  QPointer<FrmMain> window;
};

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    codepage::SetNarrowCodePage(936);
    QApplication::clipboard()->clear();
  }
  void cleanup() { xml::ComponentRegistry::RestoreDefaults(); }

  void everyControlStandsWhereTheTableSays() {
    Window w;
    QCOMPARE(w->size(), QSize(561, 291));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->windowTitle(), QStringLiteral("Zentrova - By Ovrani"));
    // The icon group's file: a window system takes one image a size, the 32-bit ones here.
    const QIcon icon = w->windowIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
    for (const int side : {16, 32, 48}) {
      // Soft edges: partial transparency, which a 256-colour image cannot have.
      const QImage image = icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
      bool partial = false;
      for (int y = 0; y < image.height() && !partial; ++y) {
        for (int x = 0; x < image.width() && !partial; ++x) {
          const int alpha = qAlpha(image.pixel(x, y));
          partial = alpha > 0 && alpha < 255;
        }
      }
      QVERIFY2(partial, qPrintable(QString::number(side)));
    }

    int seen = 0;
    for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
      QWidget* control = w->findChild<QWidget*>(Name(entry.name));
      QVERIFY2(control, entry.name.data());
      ++seen;
      const QWidget* expectedParent = entry.container.empty()
                                          ? static_cast<QWidget*>(w.window.data())
                                          : w.Control(entry.container.data());
      QCOMPARE(control->parentWidget(), expectedParent);
      const QPoint corner(ui::ToPixels(entry.left), ui::ToPixels(entry.top));
      QCOMPARE(control->pos(), corner);
      if (entry.autoSize) {
        // Sized to its text: whatever the font, nothing of the text is cut off.
        auto* label = qobject_cast<QLabel*>(control);
        QVERIFY(label);
        QCOMPARE(control->width(), label->sizeHint().width());
        QVERIFY(control->geometry().right() < w->width());
      } else if (entry.kind == ui::ControlKind::kLine) {
        QCOMPARE(control->width(), ui::ToPixels(entry.width) + 1);
        QCOMPARE(control->height(), 1);
      } else {
        QCOMPARE(control->size(), QSize(ui::ToPixels(entry.width), ui::ToPixels(entry.height)));
      }
    }
    QCOMPARE(seen, 22);
    // Pixel values of a few controls, so that the conversion itself is checked too.
    QCOMPARE(w.Control("cmdExit")->geometry(), QRect(472, 256, 74, 24));
    QCOMPARE(w.Control("TxtRes")->geometry(), QRect(16, 80, 353, 59));
    QCOMPARE(w.Control("Img(3)")->geometry(), QRect(400, 91, 16, 16));
    QCOMPARE(w.Control("LabMainSet(3)")->pos(), QPoint(56, 11));
  }

  void textsAndKinds() {
    Window w;
    for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
      QWidget* control = w->findChild<QWidget*>(Name(entry.name));
      const QString text = ui::ToQString(entry.text);
      switch (entry.kind) {
        case ui::ControlKind::kButton:
          QCOMPARE(qobject_cast<QPushButton*>(control)->text(), text);
          QVERIFY(!qobject_cast<QPushButton*>(control)->isDefault());
          QVERIFY(!qobject_cast<QPushButton*>(control)->autoDefault());
          break;
        case ui::ControlKind::kLabel:
          QCOMPARE(qobject_cast<QLabel*>(control)->text(), text);
          break;
        case ui::ControlKind::kTextBox:
          QCOMPARE(qobject_cast<QPlainTextEdit*>(control)->toPlainText(), QString());
          break;
        case ui::ControlKind::kImage: {
          auto* image = qobject_cast<QLabel*>(control);
          QCOMPARE(image->pixmap().deviceIndependentSize(), QSizeF(16, 16));
          break;
        }
        case ui::ControlKind::kShape:
          QCOMPARE(qobject_cast<ui::GraphicControl*>(control)->figure(),
                   ui::GraphicControl::Figure::kRectangle);
          break;
        case ui::ControlKind::kLine:
          QCOMPARE(qobject_cast<ui::GraphicControl*>(control)->figure(),
                   ui::GraphicControl::Figure::kLine);
          break;
        case ui::ControlKind::kPictureBox:
          break;
      }
    }
    QCOMPARE(w.Control<QLabel>("LabMainSet(3)")->text(),
             QStringLiteral(
                 "【快车+迅雷+旋风】的专用链接加密与解密   By Ovrani   [www.ovrani.example]"));
    QCOMPARE(w.Control<QLabel>("LabMainSet(4)")->text(),
             QStringLiteral("注：当输入区为空时使用剪切板内的内容，转换完毕自动复制。"));
  }

  void iconsStandBesideTheirButtons() {
    Window w;
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    // Pixels at 96 dpi: each icon 24 pixels left of its button's left edge, 3 below its top.
    const std::tuple<const char*, const char*, const char*, QRect, QRect> rows[] = {
        {"Img(0)", "cmdEncodeToFG", "flashget", {400, 147, 16, 16}, {424, 144, 113, 24}},
        {"Img(1)", "cmdEncodeToXL", "thunder", {400, 179, 16, 16}, {424, 176, 113, 24}},
        {"Img(2)", "cmdEncodeToXF", "qqdl", {400, 211, 16, 16}, {424, 208, 113, 24}},
        {"Img(3)", "cmdDecodecmd", "decode", {400, 91, 16, 16}, {424, 88, 113, 24}},
    };
    for (const auto& [image, button, picture, iconRect, buttonRect] : rows) {
      QCOMPARE(w.Control(image)->geometry(), iconRect);
      QCOMPARE(w.Control(button)->geometry(), buttonRect);
      // What a person sees there: the picture over the window's face, as seen beside it.
      QImage expected(16, 16, QImage::Format_ARGB32);
      expected.fill(shot.pixel(iconRect.left() - 2, iconRect.top() + 8));
      QPainter(&expected).drawImage(0, 0, QImage(QStringLiteral(":/icons/%1.png").arg(picture)));
      const QImage seen = shot.copy(iconRect);
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
          const QRgb a = seen.pixel(x, y), b = expected.pixel(x, y);
          QVERIFY2(qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 &&
                       qAbs(qBlue(a) - qBlue(b)) <= 2,
                   image);
        }
      }
    }
  }

  void fontsAndColours() {
    Window w;
    // The font really used, not only the one asked for: Tahoma, from Wine's fonts if need be.
    QCOMPARE(QFontInfo(w.Control("TxtRes")->font()).family(), QStringLiteral("Tahoma"));
    QCOMPARE(QFontInfo(w.Control("LabMainSet(0)")->font()).family(), QStringLiteral("Tahoma"));
    QCOMPARE(w->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(w->font().pointSizeF(), 8.25);
    QCOMPARE(w->font().weight(), QFont::Normal);
    for (const char* name : {"cmdExit", "TxtRes", "TxtOut", "LabMainSet(4)"}) {
      QCOMPARE(w.Control(name)->font(), w->font());
    }
    for (const char* name : {"LabMainSet(0)", "LabMainSet(1)", "LabMainSet(2)", "LabMainSet(3)"}) {
      const QFont font = w.Control(name)->font();
      QCOMPARE(font.family(), QStringLiteral("Tahoma"));
      QCOMPARE(font.pointSizeF(), 9.0);
      QCOMPARE(font.weight(), QFont::Bold);
    }

    struct Colours {
      const char* name;
      std::uint32_t text;
      std::optional<std::uint32_t> background;  // none: not painted
    };
    const Colours labels[] = {
        {"LabMainSet(0)", 0xFFFFFF, 0x808080},     {"LabMainSet(1)", 0xFFFFFF, 0x808080},
        {"LabMainSet(2)", 0x404040, 0xFFFFFF},     {"LabMainSet(3)", 0xFFFFFF, std::nullopt},
        {"LabMainSet(4)", 0xC00000, std::nullopt},
    };
    for (const auto& row : labels) {
      QWidget* label = w.Control(row.name);
      QCOMPARE(label->palette().color(QPalette::WindowText), ToColor(row.text));
      QCOMPARE(label->autoFillBackground(), row.background.has_value());
      if (row.background) {
        QCOMPARE(label->palette().color(QPalette::Window), ToColor(*row.background));
      }
    }
    QVERIFY(w.Control("Picture1")->autoFillBackground());
    QCOMPARE(w.Control("Picture1")->palette().color(QPalette::Window), QColor(0x80, 0xA0, 0xFF));
    QCOMPARE(w.Control<ui::GraphicControl>("Shape(0)")->color(), QColor(0x80, 0x80, 0x80));
    QCOMPARE(w.Control<ui::GraphicControl>("Shape(1)")->color(), QColor(0x80, 0x80, 0x80));
    QCOMPARE(w.Control<ui::GraphicControl>("Shape(2)")->color(), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(w.Control<ui::GraphicControl>("Line")->color(), QColor(0xFF, 0xFF, 0xFF));
  }

  // Where the face would hide the layout's colours (a dark scheme, a white high-contrast one),
  // the coloured controls take the palette's; on a standard face they keep the layout's.
  void coloursFollowAPaletteThatWouldHideThem() {
    Window w;
    // Qt hands a new application palette to the windows only while its event loop runs, which
    // a test's does not; the window's own palette changes as it would then.
    const QPalette standard = w->palette();
    const struct {
      const char* what;
      QColor face, text, highlight, highlightText;
    } schemes[] = {
        {"dark", QColor(0x2D, 0x2D, 0x2D), Qt::white, QColor(0x30, 0x60, 0xC0), Qt::white},
        {"high contrast black", Qt::black, Qt::yellow, Qt::cyan, Qt::black},
        {"high contrast white", Qt::white, Qt::black, QColor(0x37, 0x00, 0x6E), Qt::white},
    };
    for (const auto& scheme : schemes) {
      QPalette palette = standard;
      palette.setColor(QPalette::Window, scheme.face);
      palette.setColor(QPalette::WindowText, scheme.text);
      palette.setColor(QPalette::Highlight, scheme.highlight);
      palette.setColor(QPalette::HighlightedText, scheme.highlightText);
      w->setPalette(palette);
      const std::tuple<const char*, QPalette::ColorRole, QColor> seen[] = {
          {"LabMainSet(4)", QPalette::WindowText, scheme.text},
          {"LabMainSet(0)", QPalette::WindowText, scheme.text},
          {"LabMainSet(0)", QPalette::Window, scheme.face},
          {"LabMainSet(2)", QPalette::Window, scheme.face},
          {"LabMainSet(3)", QPalette::WindowText, scheme.highlightText},
          {"Picture1", QPalette::Window, scheme.highlight},
      };
      for (const auto& [name, role, colour] : seen) {
        QVERIFY2(w.Control(name)->palette().color(role) == colour,
                 qPrintable(QStringLiteral("%1: %2").arg(scheme.what, name)));
      }
      for (const char* name : {"Shape(0)", "Shape(2)", "Line"}) {
        QVERIFY2(w.Control<ui::GraphicControl>(name)->color() == scheme.text,
                 qPrintable(QStringLiteral("%1: %2").arg(scheme.what, name)));
      }
    }
    w->setPalette(standard);
    QCOMPARE(w.Control("LabMainSet(4)")->palette().color(QPalette::WindowText),
             QColor(0xC0, 0x00, 0x00));
    QCOMPARE(w.Control("Picture1")->palette().color(QPalette::Window), QColor(0x80, 0xA0, 0xFF));
    QCOMPARE(w.Control<ui::GraphicControl>("Line")->color(), QColor(0xFF, 0xFF, 0xFF));
  }

  void screenReadersNameTheBoxesAndButtons() {
    Window w;
    const std::pair<const char*, QString> rows[] = {
        {"TxtRes", QStringLiteral("输入区域")},
        {"TxtOut", QStringLiteral("输出区域")},
        {"cmdEncodeToFG", QStringLiteral("转换成快车链接")},
        {"cmdEncodeToXL", QStringLiteral("转换成迅雷链接")},
        {"cmdEncodeToXF", QStringLiteral("转换成旋风链接")},
        {"cmdDecodecmd", QStringLiteral("转换成普通链接")},
        {"cmdAbout", QStringLiteral("关于(A)")},
        {"cmdExit", QStringLiteral("退出(E)")},
    };
    for (const auto& [name, expected] : rows) {
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w.Control(name));
      QVERIFY2(accessible, name);
      QCOMPARE(accessible->text(QAccessible::Name), expected);
    }
  }

  // Run at QT_SCALE_FACTOR 1.25 and 2 as well: each icon is the picture drawn at that size.
  void buttonIconsSuitTheScale() {
    Window w;
    const qreal ratio = qApp->devicePixelRatio();
    const int side = qRound(16 * ratio);
    for (const auto& [image, picture] : {std::pair{"Img(0)", "flashget"},
                                         {"Img(1)", "thunder"},
                                         {"Img(2)", "qqdl"},
                                         {"Img(3)", "decode"}}) {
      const QPixmap shown = w.Control<QLabel>(image)->pixmap();
      QCOMPARE(shown.size(), QSize(side, side));
      const QString file = side == 16 ? QStringLiteral(":/icons/%1.png").arg(picture)
                                      : QStringLiteral(":/icons/%1@%2.png").arg(picture).arg(side);
      QImage seen = shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
      seen.setDevicePixelRatio(1);
      QCOMPARE(seen, QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
  }

  void paintedPixels() {
    Window w;
    const QImage image = w->grab().toImage();
    const std::tuple<QPoint, QColor, const char*> samples[] = {
        {{3, 3}, QColor(0x80, 0xA0, 0xFF), "banner"},
        {{10, 57}, QColor(0x80, 0x80, 0x80), "input frame title"},
        {{10, 153}, QColor(0x80, 0x80, 0x80), "output frame title"},
        {{545, 57}, QColor(0xFF, 0xFF, 0xFF), "operations frame title"},
        {{8, 70}, QColor(0x80, 0x80, 0x80), "input frame's left border"},
        {{450, 128}, QColor(0xFF, 0xFF, 0xFF), "divider"},
    };
    for (const auto& [point, colour, what] : samples) {
      QVERIFY2(image.pixelColor(point) == colour, what);
    }
  }

  void tabOrderAndFocus() {
    Window w;
    ShowCentred(*w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window.data(), kPatienceMs));
    QCOMPARE(QApplication::focusWidget(), w.Control("TxtRes"));
    const char* order[] = {"TxtOut",       "cmdEncodeToFG", "cmdEncodeToXL", "cmdEncodeToXF",
                           "cmdDecodecmd", "cmdAbout",      "cmdExit",       "TxtRes"};
    for (const char* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    for (const ui::ControlEntry& entry : ui::MainWindowControls()) {
      const bool focusable =
          entry.kind == ui::ControlKind::kButton || entry.kind == ui::ControlKind::kTextBox;
      QCOMPARE(w->findChild<QWidget*>(Name(entry.name))->focusPolicy() != Qt::NoFocus, focusable);
    }
  }

  void enterStartsANewLineAndClicksNothing() {
    Window w;
    ShowCentred(*w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window.data(), kPatienceMs));
    for (const char* name : {"TxtRes", "TxtOut"}) {
      auto* box = w.Control<QPlainTextEdit>(name);
      box->setFocus();
      QTest::keyClicks(box, QStringLiteral("http://a/b"));
      QTest::keyClick(box, Qt::Key_Return);
      QTest::keyClicks(box, QStringLiteral("x"));
      QCOMPARE(box->toPlainText(), QStringLiteral("http://a/b\nx"));
    }
    QCOMPARE(w->codecObject(), nullptr);  // no conversion ran
  }

  void windowIsCentredAndInitialisedOnceBeforeItsControls() {
    const qsizetype before = QApplication::allWidgets().size();
    Window w;
    QCOMPARE(w.commonControls.initialisations, 1);
    QCOMPARE(w.commonControls.widgetsAtInit, before + 1);  // the window alone
    ShowCentred(*w.window);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.data(), kPatienceMs));
    // The frame is the platform's: its centre may be off by its own thickness, no more.
    const QPoint centre = w->frameGeometry().center();
    const QPoint screen = w->screen()->availableGeometry().center();
    const int margin = (w->frameGeometry().width() - w->width()) / 2 + 1;
    QVERIFY2(
        std::abs(centre.x() - screen.x()) <= margin && std::abs(centre.y() - screen.y()) <= margin,
        qPrintable(QStringLiteral("window centre %1,%2, screen centre %3,%4")
                       .arg(centre.x())
                       .arg(centre.y())
                       .arg(screen.x())
                       .arg(screen.y())));
    QCOMPARE(w->codecObject(), nullptr);
    QCOMPARE(w.commonControls.initialisations, 1);
  }

  void aboutShowsTheCreditAndChangesNothing() {
    QCOMPARE(ui::ToQString(ui::AboutText()),
             QStringLiteral("By Ovrani  -  QQ:10000000\r\n\r\nwww.ovrani.example"));
    Window w;
    w.Control<QPlainTextEdit>("TxtRes")->setPlainText(QStringLiteral("http://a/b"));
    w.Control<QPushButton>("cmdEncodeToFG")->click();
    const Base64* codec = w->codecObject();
    QVERIFY(codec);
    for (int round = 0; round < 3; ++round) {
      int shown = 0;
      AnswerNextMessageBox([&](QMessageBox& box) {
        ++shown;
        QCOMPARE(box.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(box.text(), ui::ToQString(ui::AboutText()));
        QCOMPARE(box.icon(), QMessageBox::Information);
        QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.buttons().size(), 1);
        QVERIFY(box.isModal());
      });
      w.Control<QPushButton>("cmdAbout")->click();
      QCOMPARE(shown, 1);
    }
    QCOMPARE(w->codecObject(), codec);
    QCOMPARE(w.Control<QPlainTextEdit>("TxtOut")->toPlainText(),
             QStringLiteral("flashget://aHR0cDovL2EvYg=="));
  }

  void accessKeysClickAboutAndExit() {
    Window w;
    ShowCentred(*w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window.data(), kPatienceMs));
    int shown = 0;
    AnswerNextMessageBox([&](QMessageBox&) { ++shown; });
    QTest::keyClick(w.window.data(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(shown, 1, kPatienceMs);
    w->activateWindow();  // a window manager hands the focus back when the box closes
    QVERIFY(QTest::qWaitForWindowActive(w.window.data(), kPatienceMs));
    QTest::keyClick(w.window.data(), Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(w.window.isNull(), kPatienceMs);
  }

  void exitBeforeAnyConversion() {
    Window w;
    ShowCentred(*w.window);
    w.Control<QPushButton>("cmdExit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.window.isNull(), kPatienceMs);
  }

  void exitReleasesTheCodecBeforeTheWindow() {
    testing::ComponentLog log;
    testing::WatchComponent(log, nullptr);
    Window w;
    UnloadWatcher watcher(*w.window, log);
    ShowCentred(*w.window);
    w.Control<QPlainTextEdit>("TxtRes")->setPlainText(QStringLiteral("http://a/b"));
    for (const char* button : {"cmdEncodeToXL", "cmdEncodeToFG", "cmdEncodeToXF", "cmdDecodecmd"}) {
      w.Control<QPushButton>(button)->click();
    }
    w.Control<QPushButton>("cmdExit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.window.isNull(), kPatienceMs);
    const std::vector<std::string> tail(log.calls.end() - 3, log.calls.end());
    QCOMPARE(tail, (std::vector<std::string>{"~element", "~document", "unload"}));
    QCOMPARE(std::count(log.calls.begin(), log.calls.end(), "createElement TmpBase64"), 1);
  }

  void closingThroughTheTitleBarReleasesTheCodecWithTheWindow() {
    testing::ComponentLog log;
    testing::WatchComponent(log, nullptr);
    Window w;
    UnloadWatcher watcher(*w.window, log);
    w.Control<QPlainTextEdit>("TxtRes")->setPlainText(QStringLiteral("http://a/b"));
    w.Control<QPushButton>("cmdEncodeToXF")->click();
    ShowCentred(*w.window);
    w->close();  // what the close button does: no handler of the window runs
    QTRY_VERIFY_WITH_TIMEOUT(w.window.isNull(), kPatienceMs);
    // The window is unloaded first; its codec goes with it.
    const std::vector<std::string> tail(log.calls.end() - 3, log.calls.end());
    QCOMPARE(tail, (std::vector<std::string>{"unload", "~element", "~document"}));
  }

  void buttonsConvertThroughTheClipboard() {
    Window w;
    QClipboard* clipboard = QApplication::clipboard();
    auto* TxtRes = w.Control<QPlainTextEdit>("TxtRes");
    auto* TxtOut = w.Control<QPlainTextEdit>("TxtOut");
    const std::tuple<const char*, QString, QString> rows[] = {
        {"cmdEncodeToXL", QStringLiteral("http://a/b"),
         QStringLiteral("thunder://QUFodHRwOi8vYS9iWlo=")},
        {"cmdEncodeToFG", QStringLiteral("http://a/b"),
         QStringLiteral("flashget://aHR0cDovL2EvYg==")},
        {"cmdEncodeToXF", QStringLiteral("http://a/b"), QStringLiteral("qqdl://aHR0cDovL2EvYg==")},
        {"cmdDecodecmd", QStringLiteral("thunder://QUFodHRwOi8vYS/W0Fpa"),
         QStringLiteral("http://a/中")},
    };
    for (const auto& [button, source, result] : rows) {
      TxtRes->setPlainText(source);
      w.Control<QPushButton>(button)->click();
      QCOMPARE(TxtOut->toPlainText(), result);
      QCOMPARE(clipboard->text(), result);
      QCOMPARE(TxtRes->toPlainText(), source);

      TxtRes->setPlainText(QStringLiteral("   "));  // spaces only: the clipboard is the source
      clipboard->setText(source);
      w.Control<QPushButton>(button)->click();
      QCOMPARE(TxtOut->toPlainText(), result);
      QCOMPARE(clipboard->text(), result);
    }

    TxtRes->clear();
    clipboard->setText(QStringLiteral("https://a/b"));
    w.Control<QPushButton>("cmdEncodeToXL")->click();
    QCOMPARE(TxtOut->toPlainText(), QStringLiteral("剪切板文本不是HTTP链接"));
    QCOMPARE(clipboard->text(), QStringLiteral("https://a/b"));
  }

  void textBoxesGiveTheCommandsTheirTextAsItStands() {
    Window w;
    auto* TxtRes = w.Control<QPlainTextEdit>("TxtRes");
    auto* TxtOut = w.Control<QPlainTextEdit>("TxtOut");
    struct Row {
      const char* name;
      QString typed;  // as a person would type or paste it
      QString link;
    };
    const Row rows[] = {
        // U+00A0 and U+2028 are not in code page 936: each becomes "?", never a space or a
        // line feed.
        {"no-break space", QStringLiteral("http://a/b\u00A0x"),
         QStringLiteral("flashget://aHR0cDovL2EvYj94")},
        {"line separator", QStringLiteral("http://a/b\u2028x"),
         QStringLiteral("flashget://aHR0cDovL2EvYj94")},
        {"Enter", QStringLiteral("http://a/b\nx"),
         QStringLiteral("flashget://aHR0cDovL2EvYg0KeA==")},
        {"pasted CR LF", QStringLiteral("http://a/b\r\nx"),
         QStringLiteral("flashget://aHR0cDovL2EvYg0KeA==")},
        {"tab", QStringLiteral("http://a/b\tx"), QStringLiteral("flashget://aHR0cDovL2EvYgl4")},
    };
    for (const auto& row : rows) {
      TxtRes->clear();
      TxtRes->insertPlainText(row.typed);
      w.Control<QPushButton>("cmdEncodeToFG")->click();
      QVERIFY2(TxtOut->toPlainText() == row.link, row.name);
    }
    // A result is shown as it is: its line breaks are the box's, nothing else changes.
    TxtRes->setPlainText(QStringLiteral("http://a/b\r\nx\u3000y"));
    w.Control<QPushButton>("cmdDecodecmd")->click();
    QCOMPARE(TxtOut->document()->toRawText(), QStringLiteral("http://a/b\u2029x\u3000y"));
    // The same line break carried inside a link is refused: pasted, it would end a command.
    TxtRes->setPlainText(QStringLiteral("flashget://aHR0cDovL2EvYg0KeKGheQ=="));  // "\r\nx　y"
    w.Control<QPushButton>("cmdDecodecmd")->click();
    QCOMPARE(TxtOut->toPlainText(), QStringLiteral("剪切板文本不是专用链接"));
  }

  void longLinksAreShownWhole() {
    Window w;
    ShowCentred(*w.window);
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    auto* TxtRes = w.Control<QPlainTextEdit>("TxtRes");
    auto* TxtOut = w.Control<QPlainTextEdit>("TxtOut");
    // One unbroken line in each box: a 16 MB address encoded, and addresses of 4 MB and then
    // 16 MB decoded, the second replacing the first. Laid out word by word, such a line never
    // ended, and a long text replacing another once was laid out that way.
    QString address = QStringLiteral("http://h/") + QString(16000000, QLatin1Char('a'));
    TxtRes->setPlainText(address);
    w.Control<QPushButton>("cmdEncodeToFG")->click();
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("flashget://")));
    // As a person leaves it after copying from it: emptied, a short text, the focus there.
    TxtOut->clear();
    QCoreApplication::processEvents();
    TxtOut->setPlainText(QStringLiteral("http://a/b"));
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    TxtOut->setFocus();
    QTRY_VERIFY(TxtOut->hasFocus());
    for (const int size : {4000000, 16000000}) {
      address = QStringLiteral("http://h/") + QString(size, QLatin1Char('a'));
      TxtRes->setPlainText(QStringLiteral("flashget://") + address.toLatin1().toBase64());
      w.Control<QPushButton>("cmdDecodecmd")->click();
    }
    // Shown means laid out and painted: the box scrolls to its very end.
    TxtOut->moveCursor(QTextCursor::End);
    TxtOut->ensureCursorVisible();
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    TxtOut->repaint();
    QCOMPARE(QApplication::clipboard()->text(), address);
    QCOMPARE(TxtOut->document()->characterCount() - 1, address.size());
  }

  void failureThatReachesAHandlerIsShownAndTheProgramGoesOn() {
    class NoElement : public xml::DomDocument {
     public:
      std::unique_ptr<xml::DomElement> CreateElement(std::u16string_view) override {
        throw CodecError(-2147467259, u"未指定的错误");
      }
    };
    xml::ComponentRegistry::Register(xml::kDomDocumentProgId,
                                     [] { return std::make_unique<NoElement>(); });
    Window w;
    w.Control<QPlainTextEdit>("TxtRes")->setPlainText(QStringLiteral("http://a/b"));
    QString shown;
    AnswerNextMessageBox([&](QMessageBox& box) {
      QCOMPARE(box.icon(), QMessageBox::Critical);
      shown = box.text();
    });
    w.Control<QPushButton>("cmdEncodeToXL")->click();
    QVERIFY(shown.contains(QStringLiteral("-2147467259")));
    QVERIFY(shown.contains(QStringLiteral("未指定的错误")));
    QCOMPARE(w.Control<QPlainTextEdit>("TxtOut")->toPlainText(), QString());
    QCOMPARE(w->codecObject(), nullptr);

    // Once the component works again, the same window converts.
    xml::ComponentRegistry::RestoreDefaults();
    w.Control<QPushButton>("cmdEncodeToXL")->click();
    QCOMPARE(w.Control<QPlainTextEdit>("TxtOut")->toPlainText(),
             QStringLiteral("thunder://QUFodHRwOi8vYS9iWlo="));
  }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
