#include "dialogs/SettingsApply.h"

#include "core/MessageBox.h"
#include "core/SettingsFile.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/UserDataFile.h"
#include "ui/ResidentControl.h"

namespace zelmora {

namespace {

void commitServerLogon(const SettingsEdit& edit, const SettingsTarget& target) {
    UserSettings& user = target.settings.user;
    user.serverUserName = edit.serverUserName;
    user.serverPassword = edit.serverPassword;
    user.serverLogonSaved = edit.serverLogonSaved;
    target.app.serverUserName = edit.serverUserName;
    target.app.serverPassword = edit.serverPassword;
    target.app.serverLogonSaved = edit.serverLogonSaved;
}

void reportServerDataError(const SettingsTarget& target) {
    if (target.serverDataError)
        target.serverDataError();
}

void writeSettings(const SettingsTarget& target) {
    const GroupwareSession& session = target.session;
    SettingsContext context;
    context.logonName = target.app.logonName;
    context.loggedIn = target.app.loggedIn;
    context.userId = session.userId();
    context.userName = userNameById(target.settings.users, session.userId());
    context.loginPassword = session.password();
    const QString section = target.app.loggedIn ? QString::number(session.userId()) : QStringLiteral("COMMON");
    if (WriteSettingsFile(target.app.settingsFilePath, section, target.settings, context) != SettingsDone)
        showMessage(kTitleError, MsgIcon::Warning, setparameter::kSettingsNotWritten);
}

// Group list and user directory of the (possibly new) connection settings.
bool reloadDirectory(const SettingsTarget& target, bool refreshAndSave) {
    Settings& settings = target.settings;
    QList<GroupRecord> groups;
    if (!GetGroupList(settings.connection, groups)) {
        reportServerDataError(target);
        return false;
    }
    settings.groups = groups;
    QList<UserRecord> users;
    qint16 loaded = SettingsDone;
    {
        // The resident clocks may run (the settings command of a running program).
        const PeriodicTimersSuspended suspended(target.resident);
        loaded = LoadUserData(users, target.app.userDataFilePath);
    }
    if (loaded == SettingsMissing || (refreshAndSave && settings.connection.ALWAYS_UPDATE_USERDATA)) {
        if (!GetUserData(settings.connection, users)) {
            reportServerDataError(target);
            return false;
        }
        if (refreshAndSave) {
            const PeriodicTimersSuspended suspended(target.resident);
            SaveUserData(users, target.app.userDataFilePath);
        }
    }
    settings.users = users;
    return true;
}

} // namespace

bool ApplySettings(RestartClass restartClass, const SettingsEdit& edit, const SettingsTarget& target) {
    Settings& settings = target.settings;
    if (restartClass == RestartClass::Server) {
        settings.connection = edit.common;
        settings.connection.LASTLOGINUSER_GROUP = -1;
        settings.connection.LASTLOGINUSER_NAME = -1;
        commitServerLogon(edit, target);
        target.app.dialogCancelled = false;
        target.app.restartRequest = RestartRequest::ServerSettingsChanged;
        return true;
    }

    settings.connection = edit.common;
    if (edit.personalEdited)
        settings.user = edit.user;
    commitServerLogon(edit, target);
    const bool immediate = restartClass == RestartClass::None;
    if (immediate)
        writeSettings(target);
    if (!reloadDirectory(target, immediate))
        return false;
    if (target.resident) {
        target.resident->GetTimerInterval(settings.connection.GET_INTERVAL);
        target.resident->UpdateTimerInterval(settings.connection.UPDATE_INTERVAL);
    }
    target.app.dialogCancelled = false;
    if (!immediate)
        target.app.restartRequest = RestartRequest::OtherSettingsChanged;
    return true;
}

} // namespace zelmora
