// The main window: its initialisation, its codec, and the handlers of its six buttons.
#pragma once

#include <QWidget>
#include <memory>

#include "app/common_controls.h"
#include "codec/base64.h"
#include "links/link_commands.h"
#include "ui/frm_main_controls.h"

namespace zentrova {

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit FrmMain(CommonControls& commonControls, QWidget* parent = nullptr);
  ~FrmMain() override;

  const ui::FrmMainControls& controls() const { return controls_; }
  // The codec the conversions share; nullptr until the first conversion needs it.
  const Base64* codecObject() const { return codec.get(); }

  // Returns the About box's text.
  static QString AboutText();

 private:
  void Form_Initialize();
  void cmdAbout_Click();
  void cmdExit_Click();
  void RunCommand(void (*command)(LinkSurface&));
  void ReportFailure(std::int32_t code, const QString& description);

  CommonControls& commonControls_;
  std::unique_ptr<Base64> codec;
  ui::FrmMainControls controls_;
};

}  // namespace zentrova
