// The main window's four conversions: through the clipboard and the boxes, long links shown
// whole, and a failure of the XML component shown while the program goes on.
#include "window_fixture.h"

using namespace zentrova;
using namespace zentrova::window_test;

class FrmMainCommandsTest : public WindowTest {
  Q_OBJECT

 private slots:
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
    QVERIFY(QTest::qWaitForWindowExposed(w.window.data(), kPatienceMs));
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
    QVERIFY(QTest::qWaitForWindowActive(w.window.data(), kPatienceMs));
    TxtOut->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(TxtOut->hasFocus(), kPatienceMs);
    for (const int size : {4000000, 16000000}) {
      address = QStringLiteral("http://h/") + QString(size, QLatin1Char('a'));
      TxtRes->setPlainText(QStringLiteral("flashget://") + address.toLatin1().toBase64());
      w.Control<QPushButton>("cmdDecodecmd")->click();
    }
    // Shown means laid out and painted: the box scrolls to its very end.
    TxtOut->moveCursor(QTextCursor::End);
    TxtOut->ensureCursorVisible();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.data(), kPatienceMs));
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

QTEST_MAIN(FrmMainCommandsTest)
#include "frm_main_commands_test.moc"
