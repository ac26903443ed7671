// The main window: its initialisation, its codec, and the handlers of its six buttons.
#pragma once

#include <QWidget>
#include <memory>

#include "codec/base64.h"
#include "links/link_commands.h"
#include "qt/frm_main_controls.h"
#include "ui/common_controls.h"

namespace zentrova {

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit FrmMain(CommonControls& commonControls, QWidget* parent = nullptr);
  ~FrmMain() override;

  const ui::FrmMainControls& controls() const { return controls_; }
  // The codec the conversions share; nullptr until the first conversion needs it.
  const Base64* codecObject() const { return codec.get(); }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void Form_Initialize();
  void cmdAbout_Click();
  void cmdExit_Click();
  void RunCommand(void (*command)(LinkSurface&));

  CommonControls& commonControls_;
  std::unique_ptr<Base64> codec;
  ui::FrmMainControls controls_;
};

}  // namespace zentrova
