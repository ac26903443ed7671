// What every test of the main window on Qt's offscreen platform uses: the window with a
// recording common-controls layer, a message box answered when it opens, generous waits.
#pragma once

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
#include "qt/frm_main.h"
#include "qt/graphic_controls.h"
#include "qt/qt_text.h"
#include "qt/show_centred.h"
#include "ui/about.h"
#include "ui/accessible_names.h"
#include "ui/layout.h"
#include "watched_component.h"

namespace zentrova::window_test {

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

inline QString Name(std::string_view name) { return QString::fromUtf8(name.data(), name.size()); }

inline QColor ToColor(std::uint32_t rgb) {
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
inline void AnswerNextMessageBox(std::function<void(QMessageBox&)> inspect) {
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

// What every window test starts and ends with: code page 936, as on the window's home system,
// an empty clipboard, and the real XML component again after a test put another in its place.
class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    codepage::SetNarrowCodePage(936);
    QApplication::clipboard()->clear();
  }
  void cleanup() { xml::ComponentRegistry::RestoreDefaults(); }
};

}  // namespace zentrova::window_test
