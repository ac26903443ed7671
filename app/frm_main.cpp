#include "app/frm_main.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/author.h"
#include "ui/qt_surface.h"
#include "ui/qt_text.h"

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

QString FrmMain::AboutText() {
  return ui::ToQString(u"By " + std::u16string(author::kName) + u"  -  QQ:" +
                       std::u16string(author::kMessengerNumber) + u"\r\n\r\n" +
                       std::u16string(author::kWebAddress));
}

void FrmMain::Form_Initialize() {
  commonControls_.InitCommonControls();
  commonControls_.RecordLastError();
}

void FrmMain::cmdAbout_Click() {
  QMessageBox box(QMessageBox::Information, QStringLiteral("关于"), AboutText(), QMessageBox::Ok,
                  this);
  box.exec();
}

void FrmMain::cmdExit_Click() {
  // The codec goes before the window does.
  codec.reset();
  close();
}

void FrmMain::RunCommand(void (*command)(LinkSurface&)) {
  // A failure of the clipboard, a text box or the codec's creation ends the command where it
  // happened; it is shown here and the program goes on.
  try {
    ui::QtTextBox TxtRes(*controls_.TxtRes);
    ui::QtTextBox TxtOut(*controls_.TxtOut);
    ui::QtClipboard clipboard(*QApplication::clipboard());
    LinkSurface surface{TxtRes, TxtOut, clipboard, codec};
    command(surface);
  } catch (const CodecError& e) {
    ReportFailure(e.code(), ui::ToQString(e.description()));
  } catch (const std::bad_alloc&) {
    ReportFailure(7, QStringLiteral("内存不足"));
  } catch (const std::exception& e) {
    ReportFailure(-1, QString::fromLocal8Bit(e.what()));
  }
}

void FrmMain::ReportFailure(std::int32_t code, const QString& description) {
  QMessageBox::critical(this, windowTitle(),
                        QStringLiteral("错误 %1：%2").arg(code).arg(description));
}

}  // namespace zentrova
