#include "dialogs/DialogNumber.h"

#include "net/PatternUtils.h"

#include <QRegularExpression>

#include <cmath>

namespace zelmora {

NumberReading readWholeNumber(const QString& text, qint32 low, qint32 high) {
    static const QRegularExpression number(
        QStringLiteral("\\A[ \\t]*[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?[ \\t]*\\z"));
    // An IME often leaves the digits full-width; the ideographic space is trimmed with them.
    QString halfWidth = HalfWidthDigits(text);
    halfWidth.replace(QChar(0x3000), QLatin1Char(' '));
    halfWidth.replace(QChar(0xFF0E), QLatin1Char('.'));
    halfWidth.replace(QChar(0xFF0D), QLatin1Char('-'));
    halfWidth.replace(QChar(0xFF0B), QLatin1Char('+'));
    if (!number.match(halfWidth).hasMatch())
        return {NumberCheck::NotNumeric, 0};
    // A number the double cannot hold fails to convert: still a number, and out of every range.
    bool ok = false;
    const double value = std::nearbyint(halfWidth.trimmed().toDouble(&ok));
    if (!ok || !std::isfinite(value) || value < double(low) || value > double(high))
        return {NumberCheck::OutOfRange, 0};
    return {NumberCheck::Ok, qint32(value)};
}

} // namespace zelmora
