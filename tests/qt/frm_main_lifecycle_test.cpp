// The main window's life: centred and initialised once, About, and every way out releasing
// the codec before or with the window.
#include "window_fixture.h"

using namespace zentrova;
using namespace zentrova::window_test;

class FrmMainLifecycleTest : public WindowTest {
  Q_OBJECT

 private slots:
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
};

QTEST_MAIN(FrmMainLifecycleTest)
#include "frm_main_lifecycle_test.moc"
