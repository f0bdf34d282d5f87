#pragma once

#include "cli/CliArgs.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"

#include <QString>

namespace zelmora::cli {

// Usage text of the options that every command talking to the server accepts.
extern const char* const kConnectionUsage;

// The connection of a command: settings from --data DIR/Zelmora.ini and the options (options
// win), the transfer object configured from them, and the login of --user. With --data and no
// --user the user is the last one who logged in (LASTLOGINUSER_NAME) with the password stored for
// automatic login, as the program logs in at start-up.
class CliConnection {
public:
    // Reads the settings and configures the transfer object. Returns ExitOk, or ExitUsage with a
    // message on stderr when an option is wrong or the settings file cannot be read.
    int open(const CliArgs& args);

    // Logs in when --user was given (password from --password or $ZELMORA_PASSWORD) or the data
    // folder holds a stored password. Returns ExitOk (also without a user), ExitFailed when the
    // server refused the login or the stored password cannot be read, ExitNoAnswer when the server
    // did not answer; messages go to stderr.
    int login();

    // The user directory: UserData.dat of the data folder when there is one, else the server's
    // (one request per group). Returns an exit code; a failure's message is on stderr.
    int userDirectory(QList<UserRecord>& users);

    ConnectionSettings& settings() { return m_settings; }
    GroupwareSession& session() { return m_session; }
    // A user to log in is known (after open): --user, or the data folder's automatic login.
    bool hasUser() const { return m_userId >= 0; }
    const QString& serverUserName() const { return m_serverUserName; }

private:
    int readDataFolder(const QString& folder);
    int applyOptions(const CliArgs& args);
    void takeAutoLogin(const QString& settingsPath);
    int decryptStoredPassword();

    ConnectionSettings m_settings;
    GroupwareSession m_session;
    QString m_serverUserName;
    QString m_serverPassword;
    qint32 m_userId = -1;
    QString m_password;
    QString m_dataFolder;
    QString m_storedPassword; // scrambled, until login() reads it with the user's key
};

} // namespace zelmora::cli
