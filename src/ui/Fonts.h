#pragma once

#include <QFont>
#include <QString>

namespace zelmora::ui {

// "ＭＳ Ｐゴシック" when the system has it, otherwise the first proportional Japanese Gothic font
// found (Noto Sans CJK JP on Debian), otherwise the application's default family.
QString japaneseUiFontFamily();
QFont japaneseUiFont(qreal pointSize);

} // namespace zelmora::ui
