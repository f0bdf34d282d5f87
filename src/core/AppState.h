#pragma once

#include <QString>

namespace zelmora {

// What the settings dialog asks of the next start.
enum class RestartRequest : qint16 {
    None = 0,
    ServerSettingsChanged = 1,
    OtherSettingsChanged = 2, // other settings that take effect only after a restart
};

// Run-time state of the application, owned by it for its whole life.
struct AppState {
    QString settingsFilePath; // data folder + "/Zelmora.ini"
    QString userDataFilePath; // data folder + "/UserData.dat"
    QString helpFilePath;
    // Login name of the session user, or "COMMON" when it has none. It keys the user's
    // [SERVER_LOGON] line and is part of the key of the stored login password.
    QString logonName = QStringLiteral("COMMON");
    bool loggedIn = false;
    bool directoryLoaded = false; // false while the first-setup dialog runs
    bool autoLogin = false;       // the stored password was used this time (copied into AUTO_LOGIN)
    RestartRequest restartRequest = RestartRequest::None;
    // Set by every confirm/cancel dialog (true when cancelled), read by its opener.
    bool dialogCancelled = false;
    // Credentials for a web server that asks for its own HTTP authentication.
    QString serverUserName;
    QString serverPassword;
    bool serverLogonSaved = false;
};

} // namespace zelmora
