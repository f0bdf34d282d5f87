#include "support/TestScrambling.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QStringEncoder>

namespace zelmora::test {

QString scrambleForTest(const QString& key, const QString& text) {
    QByteArray keyBytes;
    for (const QChar ch : key) {
        QStringEncoder encoder("Shift_JIS");
        const QByteArray encoded = encoder.encode(QString(ch));
        keyBytes.append(encoded.isEmpty() || encoder.hasError() ? '?' : encoded.back());
    }
    const QByteArray digest = QCryptographicHash::hash(keyBytes, QCryptographicHash::Md5);
    QByteArray stream; // the digest text in UTF-16LE: digit code, then 0
    for (const char byte : digest) {
        const int value = static_cast<unsigned char>(byte) % 100;
        stream.append(char('0' + value / 10)).append('\0');
        stream.append(char('0' + value % 10)).append('\0');
    }
    QString hex;
    int position = 0;
    for (const QChar ch : text) {
        for (const int part : {ch.unicode() & 0xFF, ch.unicode() >> 8}) {
            const int scrambled = part ^ static_cast<unsigned char>(stream.at(position % 32));
            hex += QStringLiteral("%1").arg(scrambled, 2, 16, QLatin1Char('0')).toUpper();
            ++position;
        }
    }
    return hex;
}

} // namespace zelmora::test
