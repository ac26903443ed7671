// The main window on Qt's offscreen platform: every control where the layout table puts it,
// with its text, icon, font, colours and accessible name, at every scale.
#include "window_fixture.h"

using namespace zentrova;
using namespace zentrova::window_test;

class FrmMainLayoutTest : public WindowTest {
  Q_OBJECT

 private slots:
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
};

QTEST_MAIN(FrmMainLayoutTest)
#include "frm_main_layout_test.moc"
