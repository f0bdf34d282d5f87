#pragma once

#include <QString>

namespace zelmora {

// Texts of the about box (frmAbout).
namespace about {
inline const QString kProductName = QStringLiteral("ゼルモラ (Zelmora)");
inline const QString kCopyright = QStringLiteral("© 2026 Zelmora developers");
inline const QString kTrademark = QStringLiteral("サイボウズ および Cybozu は、サイボウズ株式会社の商標です。");
inline const QString kRights = QStringLiteral("このプログラムの著作権は Zelmora developers が保有しています。");
inline const QString kDisclaimer =
    QStringLiteral("このプログラムはサイボウズ株式会社とは関係がなく、同社はこのプログラムの内容および使用について"
                   "一切の責任を負いません。");
} // namespace about

// "Version 1.3.0 (2002/06/30)": the numbers without leading zeros, then the fixed release date.
QString AboutVersionLine(int major, int minor, int patch);
// The version line of this build.
QString AboutVersionLine();

// The line naming the idle-time source and the browser component the program uses.
QString AboutComponentsLine(const QString& idleSource, const QString& browserComponent);

} // namespace zelmora
