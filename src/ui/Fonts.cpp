#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace zelmora::ui {

QString japaneseUiFontFamily() {
    static const QStringList candidates = {
        QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),   QStringLiteral("Noto Sans CJK JP"),
        QStringLiteral("Noto Sans JP"),    QStringLiteral("IPAPGothic"),   QStringLiteral("IPAexGothic"),
        QStringLiteral("VL PGothic"),      QStringLiteral("TakaoPGothic"),
    };
    const QStringList families = QFontDatabase::families();
    for (const QString& family : candidates) {
        if (families.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return QGuiApplication::font().family();
}

QFont japaneseUiFont(qreal pointSize) {
    QFont font(japaneseUiFontFamily());
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace zelmora::ui
