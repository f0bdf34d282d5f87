#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zelmora::cp932 {

// Code page 932 (Shift_JIS as Windows writes it) is the encoding of the groupware's pages, of its
// form values and of the two data files. All conversions go through here.

// ICU (which Debian's Qt uses for non-Unicode codecs) knows cp932 as "windows-31j".
inline constexpr char kCodecName[] = "windows-31j";

// Decodes cp932 bytes; bytes that are not valid cp932 become U+FFFD.
QString decode(QByteArrayView bytes);

// Decodes bytes in the named charset (from a Content-Type header); unknown or empty names fall
// back to cp932.
QString decode(QByteArrayView bytes, const QByteArray& charset);

// Replaces the characters that Unicode mappings of Shift_JIS disagree on with their cp932
// counterparts (WAVE DASH to FULLWIDTH TILDE, MINUS SIGN to FULLWIDTH HYPHEN-MINUS, and so on),
// so that text typed on Linux encodes as it would on Windows.
QString normalize(const QString& text);

// Encodes to cp932 after normalize(). `ok` becomes false when a character has no cp932 code;
// such characters are written as "?" so that the result is never silently corrupted into 0xFCFC.
QByteArray encode(const QString& text, bool* ok = nullptr);

// cp932 code of one character (one or two bytes), or an empty array when it has none.
QByteArray encodeChar(char32_t ch);

// application/x-www-form-urlencoded value: cp932 bytes, unreserved ASCII kept, space as "+",
// everything else as %XX, exactly as a browser submits a Shift_JIS form.
QByteArray formEncode(const QString& text, bool* ok = nullptr);

// Reverses formEncode (also accepts raw cp932 bytes and %XX of any case).
QString formDecode(QByteArrayView encoded);

} // namespace zelmora::cp932
