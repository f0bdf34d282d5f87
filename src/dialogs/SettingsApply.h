#pragma once

#include "core/AppState.h"
#include "core/Settings.h"
#include "dialogs/SetParameterLogic.h"

#include <QString>

#include <functional>

namespace zelmora {

class GroupwareSession;
class ResidentControl;

// What the settings dialog hands over once its input passed every check.
struct SettingsEdit {
    ConnectionSettings common;  // the common settings as edited
    UserSettings user;          // the personal settings as edited (server logon below)
    bool personalEdited = true; // false in a first setup: the personal part is left as it was
    QString serverUserName;
    QString serverPassword;
    bool serverLogonSaved = false;
};

// The program state the settings are committed to.
struct SettingsTarget {
    Settings& settings;
    AppState& app;
    const GroupwareSession& session;
    ResidentControl* resident = nullptr; // may be null while the program starts
    // What the program does when the group list or the directory could not be fetched: the
    // launch's server-data message and its emergency exit. The dialogs cannot end the program.
    std::function<void()> serverDataError;
};

// Takes the edited settings over as their restart class asks:
// - None: commit, rewrite the settings file (the logged-in user's section, or "COMMON"), fetch the
//   group list, load the user directory (fetched and saved again when the file is missing or
//   ALWAYS_UPDATE_USERDATA is on) and hand the intervals to the resident controller;
// - Other: the same without rewriting the file and with the directory fetched only when the file
//   is missing, and not saved; the program then restarts (restart request 2);
// - Server: commit the common part alone, forgetting the last login; restart request 1.
// A failed fetch ends the program through serverDataError; false is returned when that handler
// comes back (tests), with the settings committed but the directory left as it was.
bool ApplySettings(RestartClass restartClass, const SettingsEdit& edit, const SettingsTarget& target);

} // namespace zelmora
