// Builds the main window's controls on Qt from the layout table.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "ui/layout.h"
#include "ui/twips.h"

namespace zentrova::ui {

// The controls the window's code talks to; every other control only shows.
struct FrmMainControls {
  QPushButton* cmdExit = nullptr;
  QPushButton* cmdAbout = nullptr;
  QPushButton* cmdDecodecmd = nullptr;
  QPushButton* cmdEncodeToXF = nullptr;
  QPushButton* cmdEncodeToXL = nullptr;
  QPushButton* cmdEncodeToFG = nullptr;
  QPlainTextEdit* TxtOut = nullptr;
  QPlainTextEdit* TxtRes = nullptr;
};

// Gives `window` its caption, icon, font and fixed client size, without maximise or resize.
void ApplyWindowProperties(QWidget& window);

// Gives the controls of `window` their colours: the layout's, or the palette's where the
// window's face would hide the layout's (ui/colors.h). Called again when the palette changes.
void ApplyColors(QWidget& window);

// Creates every control of the layout on `window` (each named as in the table), sets the tab
// order, and returns the ones that code uses.
FrmMainControls BuildControls(QWidget& window);

}  // namespace zentrova::ui
