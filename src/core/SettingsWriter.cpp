#include "core/Cp932.h"
#include "core/FileReplacement.h"
#include "core/Logging.h"
#include "core/PasswordScrambling.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <exception>

namespace zelmora {

using namespace settingskeys;

namespace {

const QString kCommonHeader = QStringLiteral("[COMMON]");
const QString kServerLogonHeader = QStringLiteral("[SERVER_LOGON]");

bool writesUserSection(const QString& section) {
    return !section.isEmpty() && section != QLatin1String("COMMON");
}

bool hasServerLogonEntry(const Settings& settings) {
    return settings.connection.SERVER_PASSWORD_REQUIRED && settings.user.serverLogonSaved;
}

QString serverLogonEntry(const Settings& settings, const QString& logonName) {
    return Encrypt(logonName, logonName) + QLatin1Char(':') + Encrypt(logonName, settings.user.serverUserName) +
           QLatin1Char('=') + Encrypt(logonName, settings.user.serverPassword);
}

// A line of [SERVER_LOGON]: encrypted logon name ":" encrypted user name "=" encrypted password.
bool isServerLogonLine(const QString& line) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    return colon >= 0 && line.indexOf(QLatin1Char('='), colon + 1) > colon;
}

bool belongsTo(const QString& serverLogonLine, const QString& logonName) {
    static const QRegularExpression colon(QStringLiteral(" *: *"));
    return Decrypt(logonName, trimSpaces(serverLogonLine.split(colon).value(0))) == logonName;
}

// Index of the first header line, or the line count.
qsizetype firstHeader(const SettingsLines& lines) {
    qsizetype i = 0;
    while (i < lines.text.size() && !isHeader(lines.text.at(i)))
        ++i;
    return i;
}

// [SERVER_LOGON] of an old file that has one: every other logon name's line is kept as it was,
// this logon name's line is replaced by the current one or dropped when there is none to keep.
void mergeServerLogon(SettingsOutput& out, const SettingsLines& old, const Settings& settings,
                      const SettingsContext& context) {
    out.line(kServerLogonHeader);
    bool written = false;
    bool inSection = false;
    for (qsizetype i = firstHeader(old); i < old.text.size(); ++i) {
        const QString& line = old.text.at(i);
        if (isHeader(line)) {
            inSection = line == kServerLogonHeader;
            continue;
        }
        if (!inSection || !isServerLogonLine(line))
            continue;
        if (!belongsTo(line, context.logonName)) {
            out.raw(old.raw.at(i));
        } else if (!written && hasServerLogonEntry(settings)) {
            out.line(serverLogonEntry(settings, context.logonName));
            written = true;
        }
    }
    if (!written && hasServerLogonEntry(settings))
        out.line(serverLogonEntry(settings, context.logonName));
}

void writeUserSectionWithHeader(SettingsOutput& out, const QString& section, const Settings& settings,
                                const SettingsContext& context) {
    out.line(QString());
    out.line(QLatin1Char('[') + section + QLatin1Char(']'));
    WriteUserSection(out, settings.user, context);
}

// Every section of the old file but [COMMON] and [SERVER_LOGON], unchanged; the user's own
// section is written anew where it was (or at the end when it was not there).
void copyOtherSections(SettingsOutput& out, const SettingsLines& old, const QString& section, const Settings& settings,
                       const SettingsContext& context) {
    const bool writeUser = writesUserSection(section);
    const QString ownHeader = QLatin1Char('[') + section + QLatin1Char(']');
    bool ownWritten = false;
    bool copying = false;
    for (qsizetype i = firstHeader(old); i < old.text.size(); ++i) {
        const QString& line = old.text.at(i);
        if (isHeader(line)) {
            copying = line != kCommonHeader && line != kServerLogonHeader;
            if (writeUser && line == ownHeader) {
                // A second copy of the own section (a hand edit) is dropped: only the first was read.
                if (!ownWritten)
                    writeUserSectionWithHeader(out, section, settings, context);
                ownWritten = true;
                copying = false;
            }
        }
        if (copying)
            out.raw(old.raw.at(i));
    }
    if (writeUser && !ownWritten)
        writeUserSectionWithHeader(out, section, settings, context);
}

} // namespace

void SettingsOutput::line(const QString& text) {
    bool ok = true;
    m_lines.append(cp932::encode(text, &ok));
    m_encodingFailed = m_encodingFailed || !ok;
}

QByteArray SettingsOutput::bytes() const {
    QByteArray out;
    for (const QByteArray& l : m_lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

qint16 WriteCommonSection(SettingsOutput& file, const ConnectionSettings& settings) {
    file.line(kCommonHeader);
    for (const CommonKey& key : commonKeys())
        file.line(QLatin1String(key.name) + QLatin1Char('=') + key.write(settings));
    file.line(QString());
    return SettingsDone;
}

qint16 WriteServerLogonSection(SettingsOutput& file, const Settings& settings, const SettingsContext& context) {
    file.line(kServerLogonHeader);
    if (hasServerLogonEntry(settings))
        file.line(serverLogonEntry(settings, context.logonName));
    file.line(QString());
    return SettingsDone;
}

qint16 WriteUserSection(SettingsOutput& file, const UserSettings& user, const SettingsContext& context) {
    auto put = [&file](const char* key, const QString& value) {
        file.line(QLatin1String(key) + QLatin1Char('=') + value);
    };
    put("AUTO_LOGIN", fromBool(user.AUTO_LOGIN));
    put("PASSWORD",
        user.AUTO_LOGIN && context.loggedIn
            ? Encrypt(passwordKey(context.userId, context.userName, context.logonName), context.loginPassword)
            : QString());
    put("NOTIFY_MAIL", fromBool(user.NOTIFY_MAIL));
    put("NOTIFY_CIRCULAR", fromBool(user.NOTIFY_CIRCULAR));
    put("NOTIFY_MEMO", fromBool(user.NOTIFY_MEMO));
    put("NOTIFY_NEW_ARTICLE", fromBool(user.NOTIFY_NEW_ARTICLE));
    put("NOTIFY_WORKFLOW", fromBool(user.NOTIFY_WORKFLOW));
    put("LAST_NOTIFIED_ARTICLEID", QString::number(user.LAST_NOTIFIED_ARTICLEID));
    put("NOTIFY_SCHEDULE", fromBool(user.NOTIFY_SCHEDULE));
    put("ALARM_TIMING", fromTime(user.ALARM_TIMING));
    put("STARTUP_REGIST_POSITION", fromBool(user.STARTUP_REGIST_POSITION));
    switch (user.END_ACTION_TYPE) {
    case EndAction::None:
        put("END_ACTION_TYPE", QStringLiteral("NONE"));
        put("END_REGIST_POSITION", QString());
        break;
    case EndAction::Auto:
        put("END_ACTION_TYPE", QStringLiteral("AUTO"));
        put("END_REGIST_POSITION", user.END_REGIST_POSITION);
        break;
    case EndAction::Ask:
        put("END_ACTION_TYPE", QStringLiteral("ASK"));
        put("END_REGIST_POSITION", QString());
        break;
    case EndAction::Unset:
        break;
    }
    put("ALARM_SOUNDFILE", user.ALARM_SOUNDFILE);
    put("GROUP_DISP_ORDER", fromIds(user.GROUP_DISP_ORDER));
    QList<qint32> widths = user.STATUS_COLUMN_WIDTH;
    widths.resize(5);
    put("STATUS_COLUMN_WIDTH", fromIds(widths));
    put("WINDOWPOS_X", QString::number(user.WINDOWPOS_X));
    put("WINDOWPOS_Y", QString::number(user.WINDOWPOS_Y));
    return SettingsDone;
}

QByteArray composeSettingsFile(const SettingsLines* old, const QString& section, const Settings& settings,
                               const SettingsContext& context) {
    SettingsOutput out;
    WriteCommonSection(out, settings.connection);
    if (!old) {
        WriteServerLogonSection(out, settings, context);
        if (writesUserSection(section))
            writeUserSectionWithHeader(out, section, settings, context);
        return out.bytes();
    }
    if (old->text.contains(kServerLogonHeader))
        mergeServerLogon(out, *old, settings, context);
    else
        WriteServerLogonSection(out, settings, context);
    copyOtherSections(out, *old, section, settings, context);
    return out.bytes();
}

qint16 WriteSettingsFile(const QString& path, const QString& section, const Settings& settings,
                         const SettingsContext& context) {
    try {
        std::optional<SettingsLines> old;
        if (QFileInfo::exists(path)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return SettingsError;
            const QByteArray bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                return SettingsError;
            old = splitSettingsLines(bytes);
        }
        const QByteArray content = composeSettingsFile(old ? &*old : nullptr, section, settings, context);
        QString why;
        if (!replaceFileContent(path, content, &why)) {
            qCWarning(lcApp).noquote() << "settings file" << path << "not rewritten:" << why;
            return SettingsError;
        }
        return SettingsDone;
    } catch (const std::exception&) {
        reportUnexpectedSettingsError();
        return SettingsError;
    }
}

} // namespace zelmora
