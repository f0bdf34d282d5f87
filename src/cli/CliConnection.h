#pragma once

#include "cli/CliArgs.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"

#include <QString>

namespace zelmora::cli {

// Usage text of the options that every command talking to the server accepts.
extern const char* const kConnectionUsage;

// The connection of a command: settings from --data DIR/Zelmora.ini and the options (options
// win), the transfer object configured from them, and the login of --user.
class CliConnection {
public:
    // Reads the settings and configures the transfer object. Returns ExitOk, or ExitUsage with a
    // message on stderr when an option is wrong or the settings file cannot be read.
    int open(const CliArgs& args);

    // Logs in when --user was given (password from --password or $ZELMORA_PASSWORD). Returns
    // ExitOk (also without --user), ExitFailed when the server refused the login, ExitNoAnswer when
    // it did not answer; messages go to stderr.
    int login();

    ConnectionSettings& settings() { return m_settings; }
    GroupwareSession& session() { return m_session; }
    bool hasUser() const { return m_userId >= 0; }
    const QString& serverUserName() const { return m_serverUserName; }

private:
    int readDataFolder(const QString& folder);
    int applyOptions(const CliArgs& args);

    ConnectionSettings m_settings;
    GroupwareSession m_session;
    QString m_serverUserName;
    QString m_serverPassword;
    qint32 m_userId = -1;
    QString m_password;
};

} // namespace zelmora::cli
