#include "core/PasswordScrambling.h"

#include "core/Cp932.h"

#include <QCryptographicHash>
#include <QList>

namespace zelmora {

namespace {
// The key stream is the digest text in UTF-16LE: odd positions (counting from 1) hold the digit's
// code, even positions 0. Only its first 32 bytes are used, so it repeats every 16 characters.
constexpr int kStreamLength = 32;

QByteArray keyStream(const QString& key) {
    const QString digits = scrambling::digestText(key);
    QByteArray stream(kStreamLength, '\0');
    for (int p = 0; p < kStreamLength; p += 2)
        stream[p] = char(digits.at(p / 2).unicode());
    return stream;
}

QByteArray utf16le(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}
} // namespace

namespace scrambling {

QByteArray keyBytes(const QString& key) {
    QByteArray bytes;
    for (char32_t ch : key.toUcs4()) {
        const QByteArray code = cp932::encodeChar(ch);
        bytes.append(code.isEmpty() ? '?' : code.back());
    }
    return bytes;
}

QString digestText(const QString& key) {
    const QByteArray digest = QCryptographicHash::hash(keyBytes(key), QCryptographicHash::Md5);
    QString text;
    text.reserve(32);
    for (char b : digest)
        text += QString(QLatin1Char('0') + QString::number(quint8(b))).right(2);
    return text;
}

} // namespace scrambling

QString Encrypt(const QString& key, const QString& text) {
    if (text.isEmpty())
        return {};
    const QByteArray stream = keyStream(key);
    const QByteArray plain = utf16le(text);
    QByteArray cipher(plain.size(), '\0');
    for (qsizetype i = 0; i < plain.size(); ++i)
        cipher[i] = char(plain.at(i) ^ stream.at(i % kStreamLength));
    return QString::fromLatin1(cipher.toHex().toUpper());
}

std::optional<QString> Decrypt(const QString& key, const QString& hex) {
    const qsizetype n = hex.size() / 2;
    if (n == 0)
        return QString();
    const QByteArray stream = keyStream(key);
    QByteArray plain(n, '\0');
    for (qsizetype i = 0; i < n; ++i) {
        const int high = hexDigit(hex.at(2 * i));
        const int low = hexDigit(hex.at(2 * i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        plain[i] = char((high << 4 | low) ^ quint8(stream.at(i % kStreamLength)));
    }
    // An odd byte count (a hex text of 4n + 2 digits) leaves half a character; it is dropped.
    QString text(n / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < n / 2; ++i)
        text[i] = QChar(char16_t(quint8(plain.at(2 * i)) | quint8(plain.at(2 * i + 1)) << 8));
    return text;
}

QString passwordKey(qint32 userId, const QString& userName, const QString& logonName) {
    return QString::number(userId) + userName + logonName;
}

} // namespace zelmora
