#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zelmora {

// Stored passwords (PASSWORD of a user section, the three parts of a [SERVER_LOGON] line) are
// XORed with a key stream made from the MD5 digest of a key text and written as upper-case hex,
// four digits per character. This keeps them from being read at a glance, nothing more.

// Hex text of `text` scrambled with `key`; empty for an empty text.
QString Encrypt(const QString& key, const QString& text);

// Reverses Encrypt. A final odd digit is ignored; a pair that is not a hexadecimal number gives
// std::nullopt. A wrong key gives a wrong text, not an error.
std::optional<QString> Decrypt(const QString& key, const QString& hex);

// The key of a user's stored login password: user id in decimal + name in the directory + logon name.
QString passwordKey(qint32 userId, const QString& userName, const QString& logonName);

namespace scrambling {
// One byte per key character: the low byte of its code page 932 code (the second byte of a
// double-byte character); a character without a cp932 code counts as "?".
QByteArray keyBytes(const QString& key);
// 32 characters: for each MD5 byte, the last two digits of "0" + the byte in decimal.
QString digestText(const QString& key);
} // namespace scrambling

} // namespace zelmora
