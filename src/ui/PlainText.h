#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace zelmora::ui {

// Text from the server is shown as it is. Labels get Qt::PlainText so that "<" or "&" never
// turn into markup, and captions of menu items and tabs get every "&" doubled, because there a
// single "&" marks the next letter as a keyboard shortcut and disappears.
QString escapeMnemonic(const QString& text);
// The reverse of escapeMnemonic, for reading a caption back.
QString unescapeMnemonic(const QString& caption);
// A menu item's caption: "&" doubled, and a tab turned into a space, because a menu shows the
// text after a tab as the item's shortcut key, right-aligned.
QString menuCaption(const QString& text);
void setPlainText(QLabel* label, const QString& text);
// Window titles treat "[*]" as the place of the window's modified mark and drop it; doubling
// it keeps a "[*]" in a member's name.
QString plainWindowTitle(const QString& text);
void setPlainWindowTitle(QWidget* window, const QString& text);

} // namespace zelmora::ui
