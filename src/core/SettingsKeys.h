#pragma once

#include "core/SettingsFile.h"

#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

namespace zelmora::settingskeys {

// Keys, accepted values and written form of Zelmora.ini, in one place for the readers, the
// writer and zelmora-cli.

// Only the space character is trimmed: a full-width space or a tab is part of the text.
QString trimSpaces(const QString& text);
// Key and value of a line split at " *= *" (text after a second "=" is ignored), or std::nullopt
// for a line without "=" or with an empty key. The key comes back trimmed and upper case.
struct KeyValue {
    QString key;
    QString value;
};
std::optional<KeyValue> splitKeyValue(const QString& line);
// A section header: any line that starts with "[" and ends with "]".
bool isHeader(const QString& line);

// A number in decimal notation (sign, fraction and exponent allowed, spaces around it), rounded
// half to even, when it fits the type.
std::optional<qint16> toInt16(const QString& text);
std::optional<qint32> toInt32(const QString& text);
// "ON"/"OFF" after trimming; user sections also accept lower case.
std::optional<bool> toCommonBool(const QString& text);
std::optional<bool> toUserBool(const QString& text);
QString fromBool(bool value);
// A time of day as readTimeOfDay reads it ("0:10:00", "午前 0:10:00", "12:10:00 AM").
std::optional<QTime> toTime(const QString& text);
QString fromTime(QTime time);              // "HH:MM:SS"
QString fromIds(const QList<qint32>& ids); // every id followed by ";"

enum class ValueResult { Accepted, Rejected, UnknownKey };

// [COMMON] keys in the order they are written.
struct CommonKey {
    const char* name;
    bool (*read)(ConnectionSettings& settings, const QString& value);
    QString (*write)(const ConnectionSettings& settings);
};
const QList<CommonKey>& commonKeys();
bool isCommonKey(const QString& key);
// Applies one line's key and value as the reader does.
ValueResult applyCommonValue(ConnectionSettings& settings, const QString& key, const QString& value);

// Per-user keys in the order they are written (PASSWORD and the end action are written specially).
QStringList userKeyNames();
// State of one user section being read.
struct UserReading {
    UserSettings& user;
    const SettingsContext& context;
};
ValueResult applyUserValue(UserReading& reading, const QString& key, const QString& value);

} // namespace zelmora::settingskeys
