#include "cli/CliConnection.h"

#include "cli/CliOutput.h"
#include "cli/CliPasswords.h"
#include "core/LogonName.h"
#include "core/PasswordScrambling.h"
#include "core/SettingsFile.h"
#include "groupware/Directory.h"
#include "groupware/Login.h"
#include "groupware/UserDataFile.h"
#include "net/Transport.h"

#include <QDir>
#include <QFileInfo>

namespace zelmora::cli {

const char* const kConnectionUsage =
    "connection options: --server URL --os-type 0|1 --user ID\n"
    "  --password-file F (first line of F; - reads standard input) or $ZELMORA_PASSWORD\n"
    "  --data DIR (settings from DIR/Zelmora.ini; without --user the last user logs in with the stored\n"
    "  password) --timeout S --proxy-mode 0|1|2 --proxy HOST:PORT\n"
    "  --server-user U --server-password-file F or $ZELMORA_SERVER_PASSWORD\n"
    "  (--password PW and --server-password PW work too, but every local user can read them)";

namespace {

bool parseNumber(const QString& text, qint64 low, qint64 high, qint64* value) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < low || n > high)
        return false;
    *value = n;
    return true;
}

int usageError(const QString& message) {
    printErr(message + QLatin1Char('\n'));
    return ExitUsage;
}

} // namespace

int CliConnection::open(const CliArgs& args) {
    if (args.has(QStringLiteral("data"))) {
        if (const int code = readDataFolder(args.value(QStringLiteral("data"))); code != ExitOk)
            return code;
    } else if (!args.has(QStringLiteral("server"))) {
        return usageError(QStringLiteral("--server URL or --data DIR is needed"));
    }
    if (const int code = applyOptions(args); code != ExitOk)
        return code;
    if (!m_dataFolder.isEmpty() && !args.has(QStringLiteral("user")))
        takeAutoLogin(QDir(m_dataFolder).filePath(QStringLiteral("Zelmora.ini")));
    SetInetOptions(m_settings, m_serverUserName, m_serverPassword);
    return ExitOk;
}

int CliConnection::readDataFolder(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("Zelmora.ini"));
    // Checked here: the reader would ask whether to create a missing file.
    if (!QFileInfo(path).isFile())
        return usageError(QStringLiteral("no settings file: %1").arg(path));
    if (ReadCommonSettings(path, m_settings) != SettingsDone)
        return usageError(QStringLiteral("[COMMON] of %1 cannot be read").arg(path));
    m_dataFolder = folder;
    if (m_settings.SERVER_PASSWORD_REQUIRED) {
        bool saved = false;
        const QString logonName = logonNameOrCommon(GetLoginUserName());
        if (ReadServerLogon(path, logonName, m_serverUserName, m_serverPassword, saved) != SettingsDone)
            printErr(QStringLiteral("no [SERVER_LOGON] entry for %1 in %2\n").arg(logonName, path));
    }
    return ExitOk;
}

int CliConnection::applyOptions(const CliArgs& args) {
    qint64 n = 0;
    if (args.has(QStringLiteral("os-type"))) {
        if (!parseNumber(args.value(QStringLiteral("os-type")), 0, 1, &n))
            return usageError(QStringLiteral("--os-type must be 0 or 1"));
        m_settings.SERVER_OS_TYPE = qint16(n);
    }
    if (args.has(QStringLiteral("server")))
        m_settings.SERVER_URL = args.value(QStringLiteral("server")).trimmed();
    m_settings.updateProgramUrl();
    if (args.has(QStringLiteral("timeout"))) {
        if (!parseNumber(args.value(QStringLiteral("timeout")), 0, 32767, &n))
            return usageError(QStringLiteral("--timeout must be a number of seconds"));
        m_settings.TIMEOUT = qint16(n);
    }
    if (args.has(QStringLiteral("proxy-mode"))) {
        if (!parseNumber(args.value(QStringLiteral("proxy-mode")), 0, 2, &n))
            return usageError(QStringLiteral("--proxy-mode must be 0, 1 or 2"));
        m_settings.PROXY_MODE = qint16(n);
    }
    if (args.has(QStringLiteral("proxy"))) {
        const QString proxy = args.value(QStringLiteral("proxy"));
        const qsizetype colon = proxy.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || !parseNumber(proxy.mid(colon + 1), 1, 65535, &n))
            return usageError(QStringLiteral("--proxy must be HOST:PORT"));
        m_settings.PROXY_SERVER = proxy.left(colon);
        m_settings.PROXY_PORTNO = qint32(n);
    }
    if (args.has(QStringLiteral("server-user")))
        m_serverUserName = args.value(QStringLiteral("server-user"));
    const CliPasswords passwords = CliPasswords::read(args);
    if (!passwords.error.isEmpty())
        return usageError(passwords.error);
    if (passwords.serverPassword)
        m_serverPassword = *passwords.serverPassword;
    if (args.has(QStringLiteral("user"))) {
        if (!parseNumber(args.value(QStringLiteral("user")), 0, 0x7FFFFFFF, &n))
            return usageError(QStringLiteral("--user must be a user id"));
        m_userId = qint32(n);
        m_password = passwords.password.value_or(QString());
    }
    return ExitOk;
}

void CliConnection::takeAutoLogin(const QString& settingsPath) {
    // As at start-up: both the remembered group and user are needed, and a stored password.
    const qint32 id = m_settings.LASTLOGINUSER_NAME;
    if (m_settings.LASTLOGINUSER_GROUP == -1 || id < 0)
        return;
    const QString stored = ReadAutoLoginPassword(settingsPath, QString::number(id));
    if (stored.isEmpty())
        return;
    m_userId = id;
    m_storedPassword = stored;
}

int CliConnection::userDirectory(QList<UserRecord>& users) {
    users.clear();
    if (!m_dataFolder.isEmpty() &&
        LoadUserData(users, QDir(m_dataFolder).filePath(QStringLiteral("UserData.dat"))) != SettingsMissing)
        return ExitOk;
    PageResult page;
    if (!GetUserData(m_settings, users, &page))
        return pageFailure(page);
    return ExitOk;
}

int CliConnection::decryptStoredPassword() {
    // The key holds the user's name as the directory has it.
    QList<UserRecord> users;
    if (const int code = userDirectory(users); code != ExitOk)
        return code;
    const QString key = passwordKey(m_userId, userNameById(users, m_userId), logonNameOrCommon(GetLoginUserName()));
    const std::optional<QString> password = Decrypt(key, m_storedPassword);
    if (!password) {
        printErr(QStringLiteral("the stored password of user %1 cannot be read\n").arg(m_userId));
        return ExitFailed;
    }
    m_password = *password;
    m_storedPassword.clear();
    return ExitOk;
}

int CliConnection::login() {
    if (!hasUser())
        return ExitOk;
    if (!m_storedPassword.isEmpty()) {
        if (const int code = decryptStoredPassword(); code != ExitOk)
            return code;
    }
    PageResult page;
    if (Login(m_settings, m_session, m_userId, m_password, &page))
        return ExitOk;
    if (page.noAnswer()) {
        printErr(page.message() + QLatin1Char('\n'));
        return ExitNoAnswer;
    }
    if (page.isError())
        printErr(page.message() + QLatin1Char('\n'));
    printErr(QStringLiteral("ログインできませんでした (ID %1).\n").arg(m_userId));
    return ExitFailed;
}

} // namespace zelmora::cli
