#include "core/Cp932.h"
#include "core/MessageBox.h"
#include "core/PasswordScrambling.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdlib>
#include <exception>

namespace zelmora {

using namespace settingskeys;

namespace {

const QString kCommonHeader = QStringLiteral("[COMMON]");
const QString kServerLogonHeader = QStringLiteral("[SERVER_LOGON]");

QString userHeader(const QString& section) {
    return QLatin1Char('[') + section + QLatin1Char(']');
}

SettingsExitHandler& exitHandler() {
    static SettingsExitHandler handler = [] { std::exit(EXIT_FAILURE); };
    return handler;
}

bool fileExists(const QString& path) {
    return QFileInfo::exists(path);
}

// An existing file that cannot be read is not "missing": going on with defaults would overwrite
// it at the next rewrite, so it ends the program like any unexpected failure.
std::optional<SettingsLines> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportUnexpectedSettingsError();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reportUnexpectedSettingsError();
        return std::nullopt;
    }
    return splitSettingsLines(bytes);
}

// Runs `body`; a failure no result code covers (such as running out of memory) ends the program.
template <typename T, typename F> T guarded(T onError, F body) {
    try {
        return body();
    } catch (const std::exception&) {
        reportUnexpectedSettingsError();
        return onError;
    }
}

bool askCreateMissingFile() {
    const MsgResult answer = showMessage(kTitleConfirm, MsgIcon::Warning,
                                         QStringLiteral("初期設定ファイルが見つかりません.処理を継続しますか?\n\n"
                                                        "(はい → 初期設定ファイルが新規に作成されます)\n"
                                                        "(いいえ → アプリケーションを終了します)"),
                                         MsgButtons::YesNo, true);
    return answer == MsgResult::Yes;
}

// Lines of the section from `begin` up to the next header.
template <typename F> void forEachSectionLine(const SettingsLines& lines, qsizetype begin, F visit) {
    for (qsizetype i = begin; i < lines.text.size() && !isHeader(lines.text.at(i)); ++i) {
        if (!visit(lines.text.at(i)))
            return;
    }
}

} // namespace

SettingsLines splitSettingsLines(const QByteArray& bytes) {
    SettingsLines lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        // Line ends are CR LF; a lone CR or LF (a file edited elsewhere) ends a line too. Neither
        // byte can be the second byte of a double-byte character.
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        lines.raw.append(bytes.mid(start, end - start));
        lines.text.append(cp932::decode(lines.raw.last()));
        if (end + 1 < bytes.size() && bytes.at(end) == '\r' && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

qsizetype findSectionBody(const SettingsLines& lines, const QString& header) {
    const qsizetype at = lines.text.indexOf(header);
    // A header on the last line counts as missing, as the end of the file comes first.
    return at < 0 || at + 1 >= lines.text.size() ? -1 : at + 1;
}

qint16 readCommonSection(const SettingsLines& lines, ConnectionSettings& settings) {
    const qsizetype body = findSectionBody(lines, kCommonHeader);
    if (body < 0)
        return SettingsError;
    ConnectionSettings working = settings;
    bool accepted = true;
    forEachSectionLine(lines, body, [&](const QString& line) {
        const std::optional<KeyValue> kv = splitKeyValue(line);
        if (kv)
            accepted = applyCommonValue(working, kv->key, kv->value) == ValueResult::Accepted;
        return accepted;
    });
    if (!accepted)
        return SettingsError;
    working.updateProgramUrl();
    settings = working;
    return SettingsDone;
}

qint16 readUserSection(const SettingsLines& lines, const QString& section, UserSettings& user,
                       const SettingsContext& context) {
    const qsizetype body = findSectionBody(lines, userHeader(section));
    if (body < 0)
        return SettingsNotFound;
    UserSettings working = user;
    working.END_ACTION_TYPE = EndAction::Unset;
    UserReading reading{working, context};
    bool accepted = true;
    forEachSectionLine(lines, body, [&](const QString& line) {
        const std::optional<KeyValue> kv = splitKeyValue(line);
        if (kv)
            accepted = applyUserValue(reading, kv->key, kv->value) == ValueResult::Accepted;
        return accepted;
    });
    if (!accepted)
        return SettingsError;
    user = working;
    return SettingsDone;
}

qint16 readServerLogonSection(const SettingsLines& lines, const QString& logonName, QString& userName,
                              QString& password, bool& saved) {
    userName.clear();
    password.clear();
    saved = false;
    const qsizetype body = findSectionBody(lines, kServerLogonHeader);
    if (body < 0)
        return SettingsNotFound;
    static const QRegularExpression colon(QStringLiteral(" *: *"));
    static const QRegularExpression equals(QStringLiteral(" *= *"));
    bool found = false;
    forEachSectionLine(lines, body, [&](const QString& line) {
        const QStringList parts = line.split(colon);
        if (parts.size() < 2 || Decrypt(logonName, trimSpaces(parts.at(0))) != logonName)
            return true;
        const QStringList credentials = parts.at(1).split(equals);
        if (credentials.size() < 2)
            return true; // damaged line: as if it were not there
        const std::optional<QString> user = Decrypt(logonName, trimSpaces(credentials.at(0)));
        const std::optional<QString> pass = Decrypt(logonName, trimSpaces(credentials.at(1)));
        if (!user || !pass)
            return true;
        userName = *user;
        password = *pass;
        saved = true;
        found = true;
        return false;
    });
    return found ? SettingsDone : SettingsNotFound;
}

QString readAutoLoginPassword(const SettingsLines& lines, const QString& section) {
    const qsizetype body = findSectionBody(lines, userHeader(section));
    if (body < 0)
        return {};
    bool autoLogin = false;
    bool valid = true;
    QString stored;
    forEachSectionLine(lines, body, [&](const QString& line) {
        const std::optional<KeyValue> kv = splitKeyValue(line);
        if (kv && kv->key == QLatin1String("AUTO_LOGIN")) {
            const std::optional<bool> b = toUserBool(kv->value);
            valid = b.has_value();
            autoLogin = b.value_or(false);
        } else if (kv && kv->key == QLatin1String("PASSWORD")) {
            stored = kv->value;
        }
        return valid;
    });
    return valid && autoLogin ? stored : QString();
}

qint16 ReadCommonSettings(const QString& path, ConnectionSettings& settings) {
    return guarded<qint16>(SettingsError, [&]() -> qint16 {
        if (!fileExists(path))
            return askCreateMissingFile() ? SettingsMissing : SettingsDeclined;
        const std::optional<SettingsLines> lines = readLines(path);
        return lines ? readCommonSection(*lines, settings) : SettingsError;
    });
}

qint16 ReadServerLogon(const QString& path, const QString& logonName, QString& userName, QString& password,
                       bool& saved) {
    userName.clear();
    password.clear();
    saved = false;
    return guarded<qint16>(SettingsError, [&]() -> qint16 {
        if (!fileExists(path))
            return SettingsMissing;
        const std::optional<SettingsLines> lines = readLines(path);
        return lines ? readServerLogonSection(*lines, logonName, userName, password, saved) : SettingsError;
    });
}

qint16 ReadUserSettings(const QString& path, const QString& section, UserSettings& user,
                        const SettingsContext& context) {
    return guarded<qint16>(SettingsError, [&]() -> qint16 {
        if (!fileExists(path))
            return SettingsMissing;
        const std::optional<SettingsLines> lines = readLines(path);
        return lines ? readUserSection(*lines, section, user, context) : SettingsError;
    });
}

QString ReadAutoLoginPassword(const QString& path, const QString& section) {
    return guarded<QString>(QString(), [&]() -> QString {
        if (!fileExists(path))
            return {};
        const std::optional<SettingsLines> lines = readLines(path);
        return lines ? readAutoLoginPassword(*lines, section) : QString();
    });
}

void ResetUserSettings(UserSettings& user) {
    const UserSettings defaults;
    UserSettings reset = defaults;
    reset.serverUserName = user.serverUserName;
    reset.serverPassword = user.serverPassword;
    reset.serverLogonSaved = user.serverLogonSaved;
    reset.ALARM_SOUNDFILE = user.ALARM_SOUNDFILE;
    reset.GROUP_DISP_ORDER = user.GROUP_DISP_ORDER;
    reset.WINDOWPOS_X = user.WINDOWPOS_X;
    reset.WINDOWPOS_Y = user.WINDOWPOS_Y;
    user = reset;
}

void SetDirectoryDefaults(UserSettings& user, const QList<qint32>& groupIds, QSize screenTwips) {
    user.GROUP_DISP_ORDER = groupIds;
    user.WINDOWPOS_X = screenTwips.width() - 7395;
    user.WINDOWPOS_Y = screenTwips.height() - 6630 - 400;
}

void reportUnexpectedSettingsError() {
    showMessage(kProgramName, MsgIcon::Critical, QStringLiteral("予期しないエラーが発生しましたので終了します."));
    if (const SettingsExitHandler& handler = exitHandler())
        handler();
}

SettingsExitHandler setSettingsExitHandler(SettingsExitHandler handler) {
    SettingsExitHandler previous = std::move(exitHandler());
    exitHandler() = std::move(handler);
    return previous;
}

} // namespace zelmora
