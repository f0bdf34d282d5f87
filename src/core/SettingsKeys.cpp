#include "core/SettingsKeys.h"

#include "core/DateTimeText.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zelmora::settingskeys {

namespace {

std::optional<double> toNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("\\A[ \\t]*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)[ \\t]*\\z"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return std::nearbyint(value); // half to even, as the Windows program converted numbers
}

template <typename T> std::optional<T> toInteger(const QString& text) {
    const std::optional<double> value = toNumber(text);
    if (!value || *value < double(std::numeric_limits<T>::min()) || *value > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(*value);
}

template <typename T> bool setNumber(T& field, const QString& value) {
    const std::optional<T> n = toInteger<T>(value);
    if (n)
        field = *n;
    return n.has_value();
}

bool setNumberIn(qint16& field, const QString& value, qint16 low, qint16 high) {
    const std::optional<qint16> n = toInt16(value);
    if (!n || *n < low || *n > high)
        return false;
    field = *n;
    return true;
}

bool setCommonBool(bool& field, const QString& value) {
    const std::optional<bool> b = toCommonBool(value);
    if (b)
        field = *b;
    return b.has_value();
}

bool setUserBool(bool& field, const QString& value) {
    const std::optional<bool> b = toUserBool(value);
    if (b)
        field = *b;
    return b.has_value();
}

QString number(qint64 n) {
    return QString::number(n);
}

// [COMMON], in writing order.
const QList<CommonKey> kCommonKeys = {
    {"SERVER_OS_TYPE", [](ConnectionSettings& s, const QString& v) { return setNumberIn(s.SERVER_OS_TYPE, v, 0, 1); },
     [](const ConnectionSettings& s) { return number(s.SERVER_OS_TYPE); }},
    {"SERVER_URL",
     [](ConnectionSettings& s, const QString& v) {
         s.SERVER_URL = trimSpaces(v);
         return true;
     },
     [](const ConnectionSettings& s) { return s.SERVER_URL; }},
    {"CHECK_USABLE_APPLICATION",
     [](ConnectionSettings& s, const QString& v) { return setCommonBool(s.CHECK_USABLE_APPLICATION, v); },
     [](const ConnectionSettings& s) { return fromBool(s.CHECK_USABLE_APPLICATION); }},
    {"ALWAYS_UPDATE_USERDATA",
     [](ConnectionSettings& s, const QString& v) { return setCommonBool(s.ALWAYS_UPDATE_USERDATA, v); },
     [](const ConnectionSettings& s) { return fromBool(s.ALWAYS_UPDATE_USERDATA); }},
    {"TIMEOUT", [](ConnectionSettings& s, const QString& v) { return setNumber(s.TIMEOUT, v); },
     [](const ConnectionSettings& s) { return number(s.TIMEOUT); }},
    {"PROXY_MODE", [](ConnectionSettings& s, const QString& v) { return setNumberIn(s.PROXY_MODE, v, 0, 2); },
     [](const ConnectionSettings& s) { return number(s.PROXY_MODE); }},
    {"PROXY_SERVER",
     [](ConnectionSettings& s, const QString& v) {
         s.PROXY_SERVER = v; // not trimmed
         return true;
     },
     [](const ConnectionSettings& s) { return s.PROXY_SERVER; }},
    {"PROXY_PORTNO", [](ConnectionSettings& s, const QString& v) { return setNumber(s.PROXY_PORTNO, v); },
     [](const ConnectionSettings& s) { return number(s.PROXY_PORTNO); }},
    {"SERVER_PASSWORD_REQUIRED",
     [](ConnectionSettings& s, const QString& v) { return setCommonBool(s.SERVER_PASSWORD_REQUIRED, v); },
     [](const ConnectionSettings& s) { return fromBool(s.SERVER_PASSWORD_REQUIRED); }},
    {"HERE_POSITION",
     [](ConnectionSettings& s, const QString& v) {
         s.HERE_POSITION = trimSpaces(v);
         return true;
     },
     [](const ConnectionSettings& s) { return s.HERE_POSITION; }},
    {"HERE_TELNO",
     [](ConnectionSettings& s, const QString& v) {
         s.HERE_TELNO = trimSpaces(v);
         return true;
     },
     [](const ConnectionSettings& s) { return s.HERE_TELNO; }},
    {"UPDATE_INTERVAL", [](ConnectionSettings& s, const QString& v) { return setNumber(s.UPDATE_INTERVAL, v); },
     [](const ConnectionSettings& s) { return number(s.UPDATE_INTERVAL); }},
    {"GET_INTERVAL", [](ConnectionSettings& s, const QString& v) { return setNumber(s.GET_INTERVAL, v); },
     [](const ConnectionSettings& s) { return number(s.GET_INTERVAL); }},
    {"ABSENSE_LEVEL", [](ConnectionSettings& s, const QString& v) { return setNumber(s.ABSENSE_LEVEL, v); },
     [](const ConnectionSettings& s) { return number(s.ABSENSE_LEVEL); }},
    {"GET_DATA_MODE", [](ConnectionSettings& s, const QString& v) { return setNumber(s.GET_DATA_MODE, v); },
     [](const ConnectionSettings& s) { return number(s.GET_DATA_MODE); }},
    // Anything but a number reads as "nobody" (-1), never as an error.
    {"LASTLOGINUSER_GROUP",
     [](ConnectionSettings& s, const QString& v) {
         s.LASTLOGINUSER_GROUP = toInt32(v).value_or(-1);
         return true;
     },
     [](const ConnectionSettings& s) { return number(s.LASTLOGINUSER_GROUP); }},
    {"LASTLOGINUSER_NAME",
     [](ConnectionSettings& s, const QString& v) {
         s.LASTLOGINUSER_NAME = toInt32(v).value_or(-1);
         return true;
     },
     [](const ConnectionSettings& s) { return number(s.LASTLOGINUSER_NAME); }},
};

bool readEndActionType(UserReading& r, const QString& v) {
    const QString text = trimSpaces(v);
    if (text == QLatin1String("NONE"))
        r.user.END_ACTION_TYPE = EndAction::None;
    else if (text == QLatin1String("AUTO"))
        r.user.END_ACTION_TYPE = EndAction::Auto;
    else if (text == QLatin1String("ASK"))
        r.user.END_ACTION_TYPE = EndAction::Ask;
    else
        return false;
    return true;
}

bool readEndRegistPosition(UserReading& r, const QString& v) {
    r.user.END_REGIST_POSITION = trimSpaces(v);
    // Files written before END_ACTION_TYPE existed: a text means "register it at exit".
    if (r.user.END_ACTION_TYPE == EndAction::Unset)
        r.user.END_ACTION_TYPE = r.user.END_REGIST_POSITION.isEmpty() ? EndAction::None : EndAction::Auto;
    return true;
}

bool readAlarmTiming(UserReading& r, const QString& v) {
    const std::optional<QTime> t = toTime(v);
    if (!t || t->hour() != 0)
        return false;
    r.user.ALARM_TIMING = *t;
    return true;
}

bool readAlarmSoundFile(UserReading& r, const QString& v) {
    const QString path = trimSpaces(v);
    r.user.ALARM_SOUNDFILE = !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
    return true;
}

bool readGroupDispOrder(UserReading& r, const QString& v) {
    QList<qint32> ids;
    const QString text = trimSpaces(v);
    if (!text.isEmpty()) {
        for (const QString& piece : text.split(QLatin1Char(';'))) {
            if (piece.isEmpty())
                break; // the trailing ";" written after every id
            const std::optional<qint32> id = toInt32(piece);
            if (!id)
                return false;
            // Groups deleted on the server since are dropped.
            if (r.context.groupIds && !r.context.groupIds->contains(*id))
                continue;
            if (ids.contains(*id))
                return false;
            ids.append(*id);
        }
    }
    r.user.GROUP_DISP_ORDER = ids;
    return true;
}

bool readStatusColumnWidth(UserReading& r, const QString& v) {
    const QStringList pieces = trimSpaces(v).split(QLatin1Char(';'));
    // Five values without the final ";" were never written by the program: keep the widths.
    if (pieces.size() == 5)
        return true;
    QList<qint32> widths;
    for (const QString& piece : pieces) {
        if (piece.isEmpty())
            break;
        const std::optional<qint32> w = toInt32(piece);
        if (!w)
            return false;
        widths.append(*w);
    }
    if (widths.size() > 5)
        return false;
    QList<qint32>& columns = r.user.STATUS_COLUMN_WIDTH;
    columns.resize(5);
    for (qsizetype i = 0; i < widths.size(); ++i)
        columns[i] = widths.at(i);
    return true;
}

// A position off the screen (or too large to hold) is replaced by the default one.
bool readWindowPos(qint32& field, const QString& v, int screenExtent, qint32 fallbackOffset) {
    const std::optional<double> n = toNumber(v);
    if (!n)
        return false;
    if (screenExtent < 0) {
        const std::optional<qint32> pos = toInt32(v);
        if (!pos)
            return false;
        field = *pos;
    } else if (*n < 0 || *n > screenExtent) {
        field = screenExtent - fallbackOffset;
    } else {
        field = qint32(*n);
    }
    return true;
}

struct UserKey {
    const char* name;
    bool (*read)(UserReading& r, const QString& value);
};

const QList<UserKey> kUserKeys = {
    {"AUTO_LOGIN", [](UserReading& r, const QString& v) { return setUserBool(r.user.AUTO_LOGIN, v); }},
    {"PASSWORD",
     [](UserReading& r, const QString& v) {
         r.user.PASSWORD = v; // not trimmed
         return true;
     }},
    {"NOTIFY_MAIL", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_MAIL, v); }},
    {"NOTIFY_CIRCULAR", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_CIRCULAR, v); }},
    {"NOTIFY_MEMO", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_MEMO, v); }},
    {"NOTIFY_NEW_ARTICLE", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_NEW_ARTICLE, v); }},
    {"NOTIFY_WORKFLOW", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_WORKFLOW, v); }},
    {"LAST_NOTIFIED_ARTICLEID",
     [](UserReading& r, const QString& v) { return setNumber(r.user.LAST_NOTIFIED_ARTICLEID, v); }},
    {"NOTIFY_SCHEDULE", [](UserReading& r, const QString& v) { return setUserBool(r.user.NOTIFY_SCHEDULE, v); }},
    {"ALARM_TIMING", readAlarmTiming},
    {"STARTUP_REGIST_POSITION",
     [](UserReading& r, const QString& v) { return setUserBool(r.user.STARTUP_REGIST_POSITION, v); }},
    {"END_ACTION_TYPE", readEndActionType},
    {"END_REGIST_POSITION", readEndRegistPosition},
    {"ALARM_SOUNDFILE", readAlarmSoundFile},
    {"GROUP_DISP_ORDER", readGroupDispOrder},
    {"STATUS_COLUMN_WIDTH", readStatusColumnWidth},
    {"WINDOWPOS_X",
     [](UserReading& r, const QString& v) {
         const QSize screen = r.context.screenTwips;
         return readWindowPos(r.user.WINDOWPOS_X, v, screen.isValid() ? screen.width() : -1, 7395);
     }},
    {"WINDOWPOS_Y",
     [](UserReading& r, const QString& v) {
         const QSize screen = r.context.screenTwips;
         return readWindowPos(r.user.WINDOWPOS_Y, v, screen.isValid() ? screen.height() : -1, 6630 + 400);
     }},
};

} // namespace

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<KeyValue> splitKeyValue(const QString& line) {
    static const QRegularExpression separator(QStringLiteral(" *= *"));
    const QStringList pieces = line.split(separator);
    if (pieces.size() < 2)
        return std::nullopt;
    const QString key = trimSpaces(pieces.at(0)).toUpper();
    if (key.isEmpty())
        return std::nullopt;
    return KeyValue{key, pieces.at(1)};
}

bool isHeader(const QString& line) {
    return line.size() >= 2 && line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

std::optional<qint16> toInt16(const QString& text) {
    return toInteger<qint16>(text);
}
std::optional<qint32> toInt32(const QString& text) {
    return toInteger<qint32>(text);
}

std::optional<bool> toCommonBool(const QString& text) {
    const QString t = trimSpaces(text);
    if (t == QLatin1String("ON"))
        return true;
    if (t == QLatin1String("OFF"))
        return false;
    return std::nullopt;
}

std::optional<bool> toUserBool(const QString& text) {
    return toCommonBool(text.toUpper());
}

QString fromBool(bool value) {
    return value ? QStringLiteral("ON") : QStringLiteral("OFF");
}

std::optional<QTime> toTime(const QString& text) {
    const QTime t = readTimeOfDay(text);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString fromTime(QTime time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString fromIds(const QList<qint32>& ids) {
    QString text;
    for (qint32 id : ids)
        text += QString::number(id) + QLatin1Char(';');
    return text;
}

const QList<CommonKey>& commonKeys() {
    return kCommonKeys;
}

bool isCommonKey(const QString& key) {
    return std::any_of(kCommonKeys.begin(), kCommonKeys.end(),
                       [&key](const CommonKey& k) { return key == QLatin1String(k.name); });
}

ValueResult applyCommonValue(ConnectionSettings& settings, const QString& key, const QString& value) {
    for (const CommonKey& k : kCommonKeys) {
        if (key == QLatin1String(k.name))
            return k.read(settings, value) ? ValueResult::Accepted : ValueResult::Rejected;
    }
    return ValueResult::UnknownKey;
}

QStringList userKeyNames() {
    QStringList names;
    for (const UserKey& k : kUserKeys)
        names.append(QLatin1String(k.name));
    return names;
}

ValueResult applyUserValue(UserReading& reading, const QString& key, const QString& value) {
    for (const UserKey& k : kUserKeys) {
        if (key == QLatin1String(k.name))
            return k.read(reading, value) ? ValueResult::Accepted : ValueResult::Rejected;
    }
    return ValueResult::UnknownKey;
}

} // namespace zelmora::settingskeys
