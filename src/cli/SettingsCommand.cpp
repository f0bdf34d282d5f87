#include "cli/SettingsCommand.h"

#include "core/Cp932.h"
#include "core/LogonName.h"
#include "core/MessageBox.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace zelmora::cli {

using namespace settingskeys;

namespace {

QJsonArray toJson(const QList<qint32>& ids) {
    QJsonArray array;
    for (qint32 id : ids)
        array.append(id);
    return array;
}

QJsonObject commonJson(qint16 result, const ConnectionSettings& s) {
    return QJsonObject{
        {"result", result},
        {"SERVER_OS_TYPE", s.SERVER_OS_TYPE},
        {"SERVER_URL", s.SERVER_URL},
        {"CHECK_USABLE_APPLICATION", s.CHECK_USABLE_APPLICATION},
        {"ALWAYS_UPDATE_USERDATA", s.ALWAYS_UPDATE_USERDATA},
        {"TIMEOUT", s.TIMEOUT},
        {"PROXY_MODE", s.PROXY_MODE},
        {"PROXY_SERVER", s.PROXY_SERVER},
        {"PROXY_PORTNO", s.PROXY_PORTNO},
        {"SERVER_PASSWORD_REQUIRED", s.SERVER_PASSWORD_REQUIRED},
        {"HERE_POSITION", s.HERE_POSITION},
        {"HERE_TELNO", s.HERE_TELNO},
        {"UPDATE_INTERVAL", s.UPDATE_INTERVAL},
        {"GET_INTERVAL", s.GET_INTERVAL},
        {"ABSENSE_LEVEL", s.ABSENSE_LEVEL},
        {"GET_DATA_MODE", s.GET_DATA_MODE},
        {"LASTLOGINUSER_GROUP", s.LASTLOGINUSER_GROUP},
        {"LASTLOGINUSER_NAME", s.LASTLOGINUSER_NAME},
    };
}

QJsonValue endActionJson(EndAction action) {
    switch (action) {
    case EndAction::None:
        return QStringLiteral("NONE");
    case EndAction::Auto:
        return QStringLiteral("AUTO");
    case EndAction::Ask:
        return QStringLiteral("ASK");
    case EndAction::Unset:
        break;
    }
    return QJsonValue::Null;
}

// Every per-user key but PASSWORD, which is never shown.
QJsonObject userJson(qint16 result, const QString& section, const UserSettings& u) {
    return QJsonObject{
        {"result", result},
        {"section", section.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(section)},
        {"AUTO_LOGIN", u.AUTO_LOGIN},
        {"NOTIFY_MAIL", u.NOTIFY_MAIL},
        {"NOTIFY_CIRCULAR", u.NOTIFY_CIRCULAR},
        {"NOTIFY_MEMO", u.NOTIFY_MEMO},
        {"NOTIFY_NEW_ARTICLE", u.NOTIFY_NEW_ARTICLE},
        {"NOTIFY_WORKFLOW", u.NOTIFY_WORKFLOW},
        {"LAST_NOTIFIED_ARTICLEID", u.LAST_NOTIFIED_ARTICLEID},
        {"NOTIFY_SCHEDULE", u.NOTIFY_SCHEDULE},
        {"ALARM_TIMING", fromTime(u.ALARM_TIMING)},
        {"STARTUP_REGIST_POSITION", u.STARTUP_REGIST_POSITION},
        {"END_ACTION_TYPE", endActionJson(u.END_ACTION_TYPE)},
        {"END_REGIST_POSITION", u.END_REGIST_POSITION},
        {"ALARM_SOUNDFILE", u.ALARM_SOUNDFILE},
        {"GROUP_DISP_ORDER", toJson(u.GROUP_DISP_ORDER)},
        {"STATUS_COLUMN_WIDTH", toJson(u.STATUS_COLUMN_WIDTH)},
        {"WINDOWPOS_X", u.WINDOWPOS_X},
        {"WINDOWPOS_Y", u.WINDOWPOS_Y},
    };
}

bool isUserId(const QString& text) {
    static const QRegularExpression id(QStringLiteral("\\A-?[0-9]{1,10}\\z"));
    return id.match(text).hasMatch() && toInt32(text).has_value();
}

int show(const CliArgs& args, const QString& path, const QString& logonName) {
    const bool exists = QFile::exists(path);
    ConnectionSettings common;
    // The "create the file?" question is answered No by the message handler: nothing is created.
    const qint16 commonResult = ReadCommonSettings(path, common);

    QString serverUser, serverPassword;
    bool saved = false;
    const qint16 logonResult = ReadServerLogon(path, logonName, serverUser, serverPassword, saved);

    QString section = args.value(QStringLiteral("user"));
    if (args.has(QStringLiteral("user")) && !isUserId(section)) {
        printErr(QStringLiteral("--user needs a user id, not \"%1\"\n").arg(section));
        return ExitUsage;
    }
    if (section.isEmpty() && commonResult == SettingsDone && common.LASTLOGINUSER_NAME != -1)
        section = QString::number(common.LASTLOGINUSER_NAME);
    UserSettings user;
    SettingsContext context; // no group list and no screen: values as written
    context.logonName = logonName;
    const qint16 userResult =
        section.isEmpty() ? qint16(SettingsNotFound) : ReadUserSettings(path, section, user, context);

    const QJsonObject out{
        {"common", commonJson(commonResult, common)},
        {"serverLogon", QJsonObject{{"result", logonResult}, {"user", serverUser}, {"saved", saved}}},
        {"user", userJson(userResult, section, user)},
    };
    printOut(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)));
    return exists ? ExitOk : ExitFailed;
}

struct Assignment {
    QString key;
    QString value;
};

int set(const QStringList& pairs, const QString& path, const QString& logonName) {
    if (pairs.isEmpty()) {
        printErr(QStringLiteral("settings set needs KEY=VALUE arguments\n"));
        return ExitUsage;
    }
    QList<Assignment> assignments;
    for (const QString& pair : pairs) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        const QString key = trimSpaces(pair.left(eq)).toUpper();
        if (eq < 0 || !isCommonKey(key)) {
            printErr(QStringLiteral("not a [COMMON] key: %1\n").arg(pair));
            return ExitUsage;
        }
        assignments.append({key, pair.mid(eq + 1)});
    }

    Settings settings;
    SettingsContext context;
    context.logonName = logonName;
    if (QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            printErr(QStringLiteral("cannot read %1\n").arg(path));
            return ExitFailed;
        }
        const SettingsLines lines = splitSettingsLines(file.readAll());
        // A [COMMON] with an error would be replaced by defaults: leave such a file to a person.
        if (findSectionBody(lines, QStringLiteral("[COMMON]")) >= 0 &&
            readCommonSection(lines, settings.connection) != SettingsDone) {
            printErr(QStringLiteral("[COMMON] of %1 has an error; nothing changed\n").arg(path));
            return ExitFailed;
        }
        // Keep this logon name's [SERVER_LOGON] line: the writer rewrites it from these.
        readServerLogonSection(lines, logonName, settings.user.serverUserName, settings.user.serverPassword,
                               settings.user.serverLogonSaved);
    }

    for (const Assignment& a : assignments) {
        bool encodable = true;
        cp932::encode(a.value, &encodable);
        // The value is checked as the reader will see it once written as KEY=VALUE.
        const std::optional<KeyValue> kv = splitKeyValue(a.key + QLatin1Char('=') + a.value);
        const bool storable = encodable && !a.value.contains(QLatin1Char('=')) &&
                              !a.value.contains(QLatin1Char('\r')) && !a.value.contains(QLatin1Char('\n'));
        if (!storable || !kv || applyCommonValue(settings.connection, kv->key, kv->value) != ValueResult::Accepted) {
            printErr(QStringLiteral("value not accepted for %1: \"%2\"\n").arg(a.key, a.value));
            return ExitFailed;
        }
    }
    settings.connection.updateProgramUrl();
    if (WriteSettingsFile(path, QStringLiteral("COMMON"), settings, context) != SettingsDone) {
        printErr(QStringLiteral("cannot write %1\n").arg(path));
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

int runSettings(const CliArgs& args) {
    const QString sub = args.rest().value(0);
    if (!args.has(QStringLiteral("data")) || (sub != QLatin1String("show") && sub != QLatin1String("set"))) {
        printErr(QStringLiteral("usage: zelmora-cli --data DIR settings show [--user ID] | set KEY=VALUE...\n"));
        return ExitUsage;
    }
    const QString path = QDir(args.value(QStringLiteral("data"))).filePath(QStringLiteral("Zelmora.ini"));
    const QString logonName = logonNameOrCommon(GetLoginUserName());
    // No one to ask: questions are answered No, everything else goes to stderr.
    const MessageHandler previous = setMessageHandler([](const MessageRequest& r) {
        if (r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel)
            return MsgResult::No;
        printErr(r.title + QStringLiteral(": ") + r.text + QLatin1Char('\n'));
        return MsgResult::Ok;
    });
    const int code =
        sub == QLatin1String("show") ? show(args, path, logonName) : set(args.rest().mid(1), path, logonName);
    setMessageHandler(previous);
    return code;
}

} // namespace zelmora::cli
