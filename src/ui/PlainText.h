#pragma once

#include <QString>

class QLabel;

namespace zelmora::ui {

// Text from the server is shown as it is. Labels get Qt::PlainText so that "<" or "&" never
// turn into markup, and captions of menu items and tabs get every "&" doubled, because there a
// single "&" marks the next letter as a keyboard shortcut and disappears.
QString escapeMnemonic(const QString& text);
// The reverse of escapeMnemonic, for reading a caption back.
QString unescapeMnemonic(const QString& caption);
void setPlainText(QLabel* label, const QString& text);

} // namespace zelmora::ui
