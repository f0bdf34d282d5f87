#include "app/Launch.h"

#include "core/AppState.h"
#include "core/Logging.h"
#include "core/MessageBox.h"
#include "core/PasswordScrambling.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "groupware/Board.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/TopPage.h"
#include "groupware/UserDataFile.h"
#include "net/Transport.h"

namespace zelmora {

namespace {
const QString kSettingsIncomplete = QStringLiteral("設定が正しく行われませんでしたので終了します.");
const QString kServerLogonCancelled = QStringLiteral("サーバーログオンがキャンセルされましたので、\r\n"
                                                     "サーバーにアクセスできない可能性があります.");
const QString kServerUnreachable = QStringLiteral("サイボウズサーバーにアクセスできません.\r\n設定を確認してください");
const QString kLoginAgain = QStringLiteral("サイボウズにログインしない場合は、一部の機能が使用できません.\r\n"
                                           "再度ログイン操作を行いますか?");
const QString kUserSectionMissing = QStringLiteral("設定ファイルにあなたの個人設定が見つかりませんでした.\r\n"
                                                   "個人別の設定を行って下さい.");
const QString kUserSectionError = QStringLiteral("設定ファイルにエラーがありましたので既定値を使用します.\r\n"
                                                 "個人別の設定を再度行って下さい.");
const QString kServerDataError = QStringLiteral(
    "サーバーから必要なデータを取得できませんでした.\r\n"
    "ネットワーク、サーバーに障害が発生しているか、コンピュータ、サイボウズの設定が間違っている可能性があります.");

void showForeground(const QString& title, MsgIcon icon, const QString& text) {
    showMessage(MessageRequest{title, icon, text, MsgButtons::Ok, true});
}

QList<qint32> groupIdsOf(const QList<GroupRecord>& groups) {
    QList<qint32> ids;
    ids.reserve(groups.size());
    for (const GroupRecord& group : groups)
        ids.append(group.id);
    return ids;
}

void setAll(MenuStates& states, std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names)
        states.insert(QLatin1String(name), enabled);
}
} // namespace

MenuStates launchMenuStates(bool loggedIn, const ConnectionSettings& connection) {
    MenuStates states;
    const bool schedule = loggedIn && connection.isUsable(AppSchedule);
    setAll(states, {"frmStatus.mnuSchedule", "frmStatus.mnuR_RefSchedule"}, schedule);

    if (connection.isUsable(AppWhereabouts)) {
        setAll(states,
               {"frmStatus.mnuWhere", "frmStatus.mnuTelMemo", "frmStatus.mnuR_ChangePos", "frmStatus.mnuR_RefTelMemo",
                "frmStatus.mnuR_WriteTelMemo", "frmMain.mnuToCybozuTelMemo", "frmStatus.mnuRefMemberSchedule",
                "frmStatus.mnuRefGroupSchedule"},
               true);
        if (loggedIn) {
            states.insert(QStringLiteral("frmStatus.mnuChangeMemberPosition"),
                          connection.memberPermissionState != PermissionDenied);
        } else {
            setAll(states,
                   {"frmStatus.mnuWhere", "frmMain.mnuToCybozuWhere", "frmStatus.mnuTelMemo",
                    "frmStatus.mnuR_ChangePos", "frmStatus.mnuR_RefTelMemo", "frmStatus.mnuR_WriteTelMemo",
                    "frmMain.mnuToCybozuTelMemo", "frmStatus.mnuRefMemberSchedule", "frmStatus.mnuRefGroupSchedule"},
                   false);
        }
    } else {
        setAll(states,
               {"frmStatus.mnuWhere", "frmStatus.mnuR_ChangePos", "frmMain.mnuToCybozuWhere", "frmStatus.mnuTelMemo",
                "frmStatus.mnuR_RefTelMemo", "frmStatus.mnuR_WriteTelMemo", "frmMain.mnuToCybozuTelMemo",
                "frmStatus.mnuRefMemberSchedule", "frmStatus.mnuRefGroupSchedule"},
               false);
    }

    const struct {
        ApplicationFlag flag;
        const char* item;
    } pages[] = {{AppBulletin, "mnuToCybozuBulletin"},
                 {AppCircular, "mnuToCybozuCircular"},
                 {AppWebMail, "mnuToCybozuWebMail"},
                 {AppWorkflow, "mnuToCybozuWorkFlow"}};
    for (const auto& page : pages) {
        const bool enabled = loggedIn && connection.isUsable(page.flag);
        states.insert(QStringLiteral("frmStatus.") + QLatin1String(page.item), enabled);
        states.insert(QStringLiteral("frmMain.") + QLatin1String(page.item), enabled);
    }
    states.insert(QStringLiteral("frmStatus.mnuLink"), loggedIn);
    states.insert(QStringLiteral("frmMain.mnuLink"), loggedIn);
    return states;
}

bool ShowServerDataError(qint16 kind, const std::function<void(qint16)>& endProgram) {
    if (kind != 1)
        return false;
    qCWarning(lcApp) << "data needed at start-up did not come from the server; emergency exit";
    showMessage(kTitleError, MsgIcon::Critical, kServerDataError);
    if (endProgram)
        endProgram(4);
    return true;
}

Launch::Launch(Settings& settings, AppState& appState, GroupwareSession& session, LaunchWindows& windows)
    : m_settings(settings), m_appState(appState), m_session(session), m_windows(windows) {}

Launch::Result Launch::run(bool firstSetup) {
    ConnectionSettings& connection = m_settings.connection;
    if (firstSetup && !runFirstSetup())
        return Result::Ended;
    if (endOnRestartRequest())
        return Result::Ended;

    if (connection.SERVER_PASSWORD_REQUIRED)
        askServerLogon();
    SetInetOptions(connection, m_appState.serverUserName, m_appState.serverPassword);

    if (!waitForServer())
        return Result::Ended;
    if (endOnRestartRequest())
        return Result::Ended;

    if (connection.CHECK_USABLE_APPLICATION)
        connection.usableApplications = GetUsableApplications(connection);
    else
        connection.usableApplications = AppAll;
    qCInfo(lcApp) << "usable applications" << connection.usableApplications;

    m_windows.SetTimerSettings(connection.GET_INTERVAL, connection.UPDATE_INTERVAL, connection.ABSENSE_LEVEL);

    if (!loadDirectory())
        return Result::Ended;
    m_appState.directoryLoaded = true;
    m_windows.CloseSplash();

    logInAutomatically();
    if (!m_appState.loggedIn)
        logInWithDialog();

    CheckPositionPermission(connection, m_session, m_settings.users);
    qCInfo(lcApp) << "member permission state" << connection.memberPermissionState;

    ResetUserSettings(m_settings.user);
    if (m_appState.loggedIn)
        readUserSettings();

    if (m_settings.user.STARTUP_REGIST_POSITION && m_appState.loggedIn) {
        qCInfo(lcRegistration) << "start-up registration: present for user" << m_session.userId();
        RegistPosition(connection, m_session, true);
    } else {
        qCInfo(lcRegistration) << "start-up registration skipped:"
                               << (m_appState.loggedIn ? "STARTUP_REGIST_POSITION off" : "not logged in");
    }

    if (connection.isUsable(AppWhereabouts))
        GetPositionList(connection, m_session, m_session.members(), 0);

    lowerLastNotifiedArticle();
    finish();
    return Result::Running;
}

bool Launch::runFirstSetup() {
    m_appState.restartRequest = RestartRequest::None;
    m_appState.dialogCancelled = false;
    qCInfo(lcApp) << "first setup";
    m_windows.ShowSettingsDialog(true);
    if (m_appState.dialogCancelled) {
        qCInfo(lcApp) << "first setup cancelled; ending";
        showMessage(kTitleError, MsgIcon::Critical, kSettingsIncomplete);
        return false;
    }
    return true;
}

bool Launch::endOnRestartRequest() {
    switch (m_appState.restartRequest) {
    case RestartRequest::None:
        return false;
    case RestartRequest::ServerSettingsChanged:
        qCInfo(lcApp) << "server settings changed; ending for a restart";
        m_windows.EndProgram(2);
        return true;
    case RestartRequest::OtherSettingsChanged:
        qCInfo(lcApp) << "settings changed that need a restart; ending";
        m_windows.EndProgram(3);
        return true;
    }
    return false;
}

void Launch::askServerLogon() {
    QString userName;
    QString password;
    bool saved = false;
    const qint16 found = ReadServerLogon(m_appState.settingsFilePath, m_appState.logonName, userName, password, saved);
    if (found == SettingsNotFound) {
        qCInfo(lcApp) << "no saved server logon; asking";
        const ServerLogonAnswer answer = m_windows.ShowServerLogin();
        if (m_appState.dialogCancelled) {
            showMessage(kTitleError, MsgIcon::Critical, kServerLogonCancelled);
            userName.clear();
            password.clear();
            saved = false;
        } else {
            userName = answer.strServerID;
            password = answer.strServerPassword;
            saved = answer.bflgSavePassword;
        }
    }
    qCInfo(lcApp) << "server logon user" << userName << (saved ? "(saved)" : "");
    m_appState.serverUserName = userName;
    m_appState.serverPassword = password;
    m_appState.serverLogonSaved = saved;
    m_settings.user.serverUserName = userName;
    m_settings.user.serverPassword = password;
    m_settings.user.serverLogonSaved = saved;
}

bool Launch::waitForServer() {
    while (!CheckServer(m_settings.connection)) {
        qCWarning(lcApp) << "server check failed for" << m_settings.connection.programUrl;
        m_windows.CloseSplash();
        showForeground(kTitleError, MsgIcon::Warning, kServerUnreachable);
        m_appState.restartRequest = RestartRequest::None;
        m_appState.dialogCancelled = false;
        m_windows.ShowSettingsDialog(true);
        if (m_appState.dialogCancelled) {
            qCInfo(lcApp) << "settings dialog cancelled; ending";
            showMessage(kTitleError, MsgIcon::Critical, kSettingsIncomplete);
            return false;
        }
        if (m_appState.restartRequest != RestartRequest::None)
            return true;
    }
    qCInfo(lcApp) << "server answers at" << m_settings.connection.programUrl;
    return true;
}

bool Launch::loadDirectory() {
    const ConnectionSettings& connection = m_settings.connection;
    const auto endProgram = [this](qint16 mode) { m_windows.EndProgram(mode); };
    if (!GetGroupList(connection, m_settings.groups)) {
        ShowServerDataError(1, endProgram);
        return false;
    }
    const qint16 loaded = LoadUserData(m_settings.users, m_appState.userDataFilePath);
    if (loaded == SettingsMissing || connection.ALWAYS_UPDATE_USERDATA) {
        qCInfo(lcApp) << "fetching the user directory"
                      << (loaded == SettingsMissing ? "(no UserData.dat)" : "(ALWAYS_UPDATE_USERDATA)");
        if (!GetUserData(connection, m_settings.users)) {
            ShowServerDataError(1, endProgram);
            return false;
        }
        SaveUserData(m_settings.users, m_appState.userDataFilePath);
    }
    qCInfo(lcApp) << m_settings.groups.size() << "groups," << m_settings.users.size() << "users";
    SetDirectoryDefaults(m_settings.user, groupIdsOf(m_settings.groups), m_windows.ScreenTwips());
    return true;
}

void Launch::logInAutomatically() {
    m_appState.loggedIn = false;
    m_appState.autoLogin = false;
    const ConnectionSettings& connection = m_settings.connection;
    if (connection.LASTLOGINUSER_GROUP == -1 || connection.LASTLOGINUSER_NAME == -1)
        return;
    const qint32 userId = connection.LASTLOGINUSER_NAME;
    const QString stored = ReadAutoLoginPassword(m_appState.settingsFilePath, QString::number(userId));
    if (stored.isEmpty())
        return;
    const std::optional<QString> password =
        Decrypt(passwordKey(userId, userNameById(m_settings.users, userId), m_appState.logonName), stored);
    // A stored text that is no scrambled password cannot log anybody in; the dialog follows.
    m_appState.loggedIn = password && Login(connection, m_session, userId, *password);
    m_appState.autoLogin = true;
    qCInfo(lcApp) << "automatic login of user" << userId << (m_appState.loggedIn ? "done" : "failed");
}

void Launch::logInWithDialog() {
    for (;;) {
        const bool autoLogin = m_windows.ShowLoginDialog();
        if (m_appState.loggedIn) {
            m_appState.autoLogin = autoLogin;
            qCInfo(lcApp) << "logged in as user" << m_session.userId() << "with the login dialog";
            return;
        }
        if (showMessage(kTitleConfirm, MsgIcon::Question, kLoginAgain, MsgButtons::YesNo) != MsgResult::Yes) {
            qCInfo(lcApp) << "login given up; running without login";
            return;
        }
    }
}

void Launch::readUserSettings() {
    SettingsContext context;
    context.logonName = m_appState.logonName;
    context.groupIds = groupIdsOf(m_settings.groups);
    context.screenTwips = m_windows.ScreenTwips();
    const QString section = QString::number(m_session.userId());
    const qint16 result = ReadUserSettings(m_appState.settingsFilePath, section, m_settings.user, context);
    qCInfo(lcApp) << "user section" << section << "read with result" << result;
    if (result == SettingsNotFound)
        showForeground(kTitleConfirm, MsgIcon::Information, kUserSectionMissing);
    else if (result == SettingsError)
        showForeground(kTitleConfirm, MsgIcon::Information, kUserSectionError);
    m_settings.user.AUTO_LOGIN = m_appState.autoLogin;
}

void Launch::lowerLastNotifiedArticle() {
    const ConnectionSettings& connection = m_settings.connection;
    const PageResult page = GetPage(connection.programUrl + QStringLiteral("?page=BulletinIndex"));
    // Without the bulletin page nothing is known about the articles; lowering the id then would
    // announce every article already announced once the page is back.
    if (page.isError() || !IsValidPage(page.text))
        return;
    const qint32 latest = readLatestArticleId(page.text, connection.programName);
    qint32& lastNotified = m_settings.user.LAST_NOTIFIED_ARTICLEID;
    if (latest < lastNotified) {
        qCInfo(lcApp) << "LAST_NOTIFIED_ARTICLEID lowered from" << lastNotified << "to" << latest;
        lastNotified = latest;
    }
}

void Launch::finish() {
    m_windows.LoadResidentWindow();
    m_windows.LoadStatusWindow();
    m_windows.ApplyMenuStates(launchMenuStates(m_appState.loggedIn, m_settings.connection));
    m_windows.StartTimers();
    m_windows.OnMenu();
    qCInfo(lcApp) << "start-up complete";
}

} // namespace zelmora
