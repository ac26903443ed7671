#include "qt/frm_main.h"

#include <QApplication>
#include <QMessageBox>

#include "qt/qt_surface.h"
#include "qt/qt_text.h"
#include "ui/about.h"
#include "ui/handler_guard.h"

namespace zentrova {

FrmMain::FrmMain(CommonControls& commonControls, QWidget* parent)
    : QWidget(parent), commonControls_(commonControls) {
  // Creating the window object runs its initialisation before any control exists.
  Form_Initialize();
  ui::ApplyWindowProperties(*this);
  controls_ = ui::BuildControls(*this);
  controls_.TxtRes->setFocus();

  connect(controls_.cmdAbout, &QPushButton::clicked, this, &FrmMain::cmdAbout_Click);
  connect(controls_.cmdExit, &QPushButton::clicked, this, &FrmMain::cmdExit_Click);
  connect(controls_.cmdEncodeToXL, &QPushButton::clicked, this, [this] { RunCommand(EncodeToXL); });
  connect(controls_.cmdEncodeToFG, &QPushButton::clicked, this, [this] { RunCommand(EncodeToFG); });
  connect(controls_.cmdEncodeToXF, &QPushButton::clicked, this, [this] { RunCommand(EncodeToXF); });
  connect(controls_.cmdDecodecmd, &QPushButton::clicked, this,
          [this] { RunCommand(DecodeToPlain); });
}

FrmMain::~FrmMain() = default;

void FrmMain::changeEvent(QEvent* event) {
  // A desktop that turns to a dark or high-contrast scheme changes the palette under way.
  if (event->type() == QEvent::PaletteChange) {
    ui::ApplyColors(*this);
  }
  QWidget::changeEvent(event);
}

void FrmMain::Form_Initialize() {
  commonControls_.InitCommonControls();
  commonControls_.RecordLastError();
}

void FrmMain::cmdAbout_Click() {
  QMessageBox box(QMessageBox::Information, ui::ToQString(std::u16string(ui::kAboutTitle)),
                  ui::ToQString(ui::AboutText()), QMessageBox::Ok, this);
  box.exec();
}

void FrmMain::cmdExit_Click() {
  // The codec goes before the window does.
  codec.reset();
  close();
}

void FrmMain::RunCommand(void (*command)(LinkSurface&)) {
  const auto failure = ui::RunGuarded([&] {
    ui::QtTextBox TxtRes(*controls_.TxtRes);
    ui::QtTextBox TxtOut(*controls_.TxtOut);
    ui::QtClipboard clipboard(*QApplication::clipboard());
    LinkSurface surface{TxtRes, TxtOut, clipboard, codec};
    command(surface);
  });
  if (failure) {
    QMessageBox::critical(this, windowTitle(),
                          ui::ToQString(ui::FailureReport(failure->code, failure->description)));
  }
}

}  // namespace zentrova
