#include "dialogs/AboutText.h"

#include <QDate>

namespace zelmora {

namespace {
const QDate kReleaseDate(2002, 6, 30);
}

QString AboutVersionLine(int major, int minor, int patch) {
    return QStringLiteral("Version %1.%2.%3 ").arg(major).arg(minor).arg(patch) +
           kReleaseDate.toString(QStringLiteral("(yyyy/MM/dd)"));
}

QString AboutVersionLine() {
    return AboutVersionLine(ZELMORA_VERSION_MAJOR, ZELMORA_VERSION_MINOR, ZELMORA_VERSION_PATCH);
}

QString AboutComponentsLine(const QString& idleSource, const QString& browserComponent) {
    const QString unknown = QStringLiteral("(未確認)");
    return QStringLiteral("不在検出: %1　ブラウザ: %2")
        .arg(idleSource.isEmpty() ? unknown : idleSource, browserComponent.isEmpty() ? unknown : browserComponent);
}

} // namespace zelmora
