#include "app/EndProgram.h"

#include "core/AppState.h"
#include "core/Logging.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "groupware/UserDataFile.h"

#include <QFile>

namespace zelmora {

namespace {

void runEndOfDayAction(const EndProgramState& state, EndProgramHost* host) {
    if (!state.app.loggedIn || !state.session.isLoggedIn())
        return;
    switch (state.settings.user.END_ACTION_TYPE) {
    case EndAction::Auto:
        PostEndPosition(state, EndPositionEntry{state.settings.user.END_REGIST_POSITION, {}, {}, {}});
        break;
    case EndAction::Ask:
        if (host)
            host->AskEndPosition();
        break;
    case EndAction::None:
    case EndAction::Unset:
        break;
    }
}

QString userSection(const EndProgramState& state) {
    return state.app.loggedIn && state.session.isLoggedIn() ? QString::number(state.session.userId()) : QString();
}

void saveUserDirectory(const EndProgramState& state) {
    const QString& path = state.app.userDataFilePath;
    // Before the directory is loaded (a restart asked for during the first setup) the list in
    // memory is empty: writing it would leave an empty directory for the next start to trust.
    if (path.isEmpty() || !state.app.directoryLoaded)
        return;
    // A directory that could not be saved is fetched anew at the next start.
    if (!SaveUserData(state.settings.users, path) && QFile::exists(path))
        QFile::remove(path);
}

} // namespace

SettingsContext settingsContextFor(const EndProgramState& state, QSize screenTwips) {
    SettingsContext context;
    context.logonName = state.app.logonName;
    QList<qint32> groupIds;
    for (const GroupRecord& group : state.settings.groups) {
        if (group.id != 0)
            groupIds.append(group.id);
    }
    if (!groupIds.isEmpty())
        context.groupIds = groupIds;
    context.screenTwips = screenTwips;
    context.loggedIn = state.app.loggedIn && state.session.isLoggedIn();
    context.userId = state.session.userId();
    for (const UserRecord& user : state.settings.users) {
        if (user.id == context.userId && !user.name.isEmpty()) {
            context.userName = user.name;
            break;
        }
    }
    context.loginPassword = state.session.password();
    return context;
}

void PostEndPosition(const EndProgramState& state, const EndPositionEntry& entry) {
    if (!state.session.isLoggedIn())
        return;
    WhereEntryRequest request;
    request.memberId = state.session.userId();
    request.detail = entry.position;
    request.until = entry.limit;
    request.unit = entry.unit;
    request.contact = entry.contact;
    // The exit goes on whatever the answer; a lost post shows on the board next time.
    PostWhereEntry(state.settings.connection, request);
}

void EndProgram(qint16 mode, const EndProgramState& state, EndProgramHost* host) {
    qCInfo(lcApp) << "EndProgram mode" << mode;
    if (host)
        host->StopPeriodicTimers();
    const QSize screen = host ? host->screenTwips() : QSize();

    switch (mode) {
    case EndNormal:
    case EndIgnoringAutomatic:
    case EndRestart:
        if (mode == EndNormal)
            runEndOfDayAction(state, host);
        if (host)
            host->StoreStatusGeometry();
        if (WriteSettingsFile(state.app.settingsFilePath, userSection(state), state.settings,
                              settingsContextFor(state, screen)) != SettingsDone)
            qCWarning(lcApp).noquote() << "the settings of this run are lost: the settings file"
                                       << state.app.settingsFilePath << "could not be rewritten at exit";
        saveUserDirectory(state);
        break;
    case EndServerChanged:
        if (WriteSettingsFile(state.app.settingsFilePath, QStringLiteral("COMMON"), state.settings,
                              settingsContextFor(state, screen)) != SettingsDone)
            qCWarning(lcApp).noquote() << "the new server settings are lost: the settings file"
                                       << state.app.settingsFilePath << "could not be rewritten at exit";
        if (!state.app.userDataFilePath.isEmpty() && QFile::exists(state.app.userDataFilePath))
            QFile::remove(state.app.userDataFilePath);
        break;
    default: // EndEmergency: nothing of this run is kept
        break;
    }
}

} // namespace zelmora
