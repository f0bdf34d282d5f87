#pragma once

#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zelmora::ui {

// A dialog of fixed size (no resizing, no maximise box) centred on the screen.
void makeFixedDialog(QDialog* dialog);
// Centres a top-level window on the screen it is on (the primary screen before it is shown).
void centerOnScreen(QWidget* window);

QLabel* makeDialogLabel(const QString& name, const QString& text, QWidget* parent);
QPushButton* makeDialogButton(const QString& name, const QString& caption, QWidget* parent);

// A password box that shows each character as "*", whatever the style's own echo character.
void setAsteriskEcho(QLineEdit* edit);

} // namespace zelmora::ui
