// The main window's keyboard: the tab order, Enter in a text box, the access keys.
#include "window_fixture.h"

using namespace zentrova;
using namespace zentrova::window_test;

class FrmMainKeyboardTest : public WindowTest {
  Q_OBJECT

 private slots:
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
};

QTEST_MAIN(FrmMainKeyboardTest)
#include "frm_main_keyboard_test.moc"
