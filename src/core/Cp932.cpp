#include "core/Cp932.h"

#include "core/Cp932Table.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zelmora::cp932 {

namespace {
struct CharMapping {
    char16_t from;
    char16_t to;
};
// Characters that JIS-based Unicode tables produce but cp932 spells with another code point.
constexpr CharMapping kNormalizations[] = {
    {u'\u301C', u'\uFF5E'}, // WAVE DASH -> FULLWIDTH TILDE
    {u'\u2212', u'\uFF0D'}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {u'\u00A5', u'\\'},     // YEN SIGN -> backslash (0x5C is the yen sign in cp932)
    {u'\u2016', u'\u2225'}, // DOUBLE VERTICAL LINE -> PARALLEL TO
    {u'\u2014', u'\u2015'}, // EM DASH -> HORIZONTAL BAR
    {u'\u00A2', u'\uFFE0'}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {u'\u00A3', u'\uFFE1'}, // POUND SIGN -> FULLWIDTH POUND SIGN
    {u'\u00AC', u'\uFFE2'}, // NOT SIGN -> FULLWIDTH NOT SIGN
};

bool isUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '*';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
// ASCII that the converter reads as the same characters, and so writes as the same bytes: all but
// the few control codes it swaps. Such a text, a URL or a form's field name say, needs no converter.
bool isPlainAscii(QStringView text) {
    const DecodeTable& table = DecodeTable::instance();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || table.single(uchar(u)) != u)
            return false;
    }
    return true;
}
} // namespace

QString decode(QByteArrayView bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

QString decode(QByteArrayView bytes, const QByteArray& charset) {
    const QByteArray name = charset.trimmed().toLower();
    if (name.isEmpty() || name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" ||
        name == "cp932" || name == "windows-31j" || name == "ms932")
        return decode(bytes);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return decode(bytes);
    return decoder.decode(bytes);
}

QString normalize(const QString& text) {
    QString result = text;
    for (const auto& m : kNormalizations)
        result.replace(QChar(m.from), QChar(m.to));
    return result;
}

QByteArray encodeChar(char32_t ch) {
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    const QString s = normalize(QString::fromUcs4(&ch, 1));
    QByteArray bytes = encoder.encode(s);
    if (encoder.hasError() || bytes.isEmpty())
        return {};
    // ICU substitutes unmappable characters with 0x1A or 0xFC 0xFC; neither is a real code here.
    if (bytes == QByteArray(1, '\x1A') && ch != 0x1A)
        return {};
    if (bytes == QByteArrayLiteral("\xFC\xFC"))
        return {};
    return bytes;
}

QByteArray encode(const QString& text, bool* ok) {
    const QString normalized = normalize(text);
    if (isPlainAscii(normalized)) {
        if (ok)
            *ok = true;
        return normalized.toLatin1();
    }
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(normalized);
    bool good = !encoder.hasError() && !bytes.contains('\x1A') && !bytes.contains(QByteArrayLiteral("\xFC\xFC"));
    if (!good || normalized.contains(QChar(0x1A))) {
        // Slow path: encode character by character so that only the unmappable ones are lost.
        bytes.clear();
        good = true;
        for (const char32_t ch : normalized.toUcs4()) {
            const QByteArray one = encodeChar(ch);
            if (one.isEmpty()) {
                bytes.append('?');
                good = false;
            } else {
                bytes.append(one);
            }
        }
    }
    if (ok)
        *ok = good;
    return bytes;
}

QByteArray formEncode(const QString& text, bool* ok) {
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray raw = encode(text, ok);
    QByteArray out;
    out.reserve(raw.size() * 3);
    for (const char c : raw) {
        if (isUnreserved(c)) {
            out.append(c);
        } else if (c == ' ') {
            out.append('+');
        } else {
            const auto b = static_cast<unsigned char>(c);
            out.append('%');
            out.append(hex[b >> 4]);
            out.append(hex[b & 0x0F]);
        }
    }
    return out;
}

QString formDecode(QByteArrayView encoded) {
    QByteArray raw;
    raw.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            raw.append(' ');
        } else if (c == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
                   hexValue(encoded[i + 2]) >= 0) {
            raw.append(static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2])));
            i += 2;
        } else {
            raw.append(c);
        }
    }
    return decode(raw);
}

} // namespace zelmora::cp932
