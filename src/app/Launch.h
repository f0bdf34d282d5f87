#pragma once

#include <QMap>
#include <QSize>
#include <QString>

#include <functional>

namespace zelmora {

struct AppState;
struct ConnectionSettings;
struct Settings;
class GroupwareSession;

// Enabled state of menu items after the launch, keyed by window and control name
// ("frmStatus.mnuWhere", "frmMain.mnuToCybozuTelMemo"). Items not in the map keep their state.
using MenuStates = QMap<QString, bool>;

// The menu items a user may use: the applications the server offers (when CHECK_USABLE_APPLICATION
// asks for them) and the login.
MenuStates launchMenuStates(bool loggedIn, const ConnectionSettings& connection);

// What the server logon dialog answered. The dialog-cancelled flag of the application state says
// whether it was cancelled.
struct ServerLogonAnswer {
    QString strServerID;
    QString strServerPassword;
    bool bflgSavePassword = false;
};

// The windows the launch opens and loads. The desktop program implements this with its dialogs,
// frmMain and frmStatus; tests answer from a script.
class LaunchWindows {
public:
    virtual ~LaunchWindows() = default;

    virtual void CloseSplash() = 0;
    // frmSetParameter, modal, with bflgFirstSetup; it sets the restart request and the
    // dialog-cancelled flag of the application state.
    virtual void ShowSettingsDialog(bool bflgFirstSetup) = 0;
    // frmServerLogin, modal; it sets the dialog-cancelled flag.
    virtual ServerLogonAnswer ShowServerLogin() = 0;
    // frmLogin, shown without being modal and waited for until bflgLoginEnd. The dialog sets the
    // logged-in flag; the result is its bflgAutoLogin.
    virtual bool ShowLoginDialog() = 0;
    // The resident controller's intervals (GET_INTERVAL, UPDATE_INTERVAL) and the idle threshold
    // (ABSENSE_LEVEL), handed over before frmMain is loaded.
    virtual void SetTimerSettings(qint16 getInterval, qint16 updateInterval, qint16 absenceLevel) = 0;
    // Loads frmMain (hidden; tray icon) and calls its OffMenu.
    virtual void LoadResidentWindow() = 0;
    // Loads frmStatus without showing it.
    virtual void LoadStatusWindow() = 0;
    virtual void ApplyMenuStates(const MenuStates& states) = 0;
    // tmrGetIntervalTimer, tmrUpdateIntervalTimer, tmrScheduleAlarmTimer, tmrMouseCapture, in order.
    virtual void StartTimers() = 0;
    virtual void OnMenu() = 0;
    // The shutdown procedure with its mode (2 and 3 after a restart request, 4 emergency exit).
    virtual void EndProgram(qint16 mode) = 0;
    // The screen in twips, for the default window position.
    virtual QSize ScreenTwips() const = 0;
};

// Tells the user that data needed at start-up did not come from the server and ends the program
// with EndProgram(4). Only kind 1 does anything; returns whether the program was ended.
bool ShowServerDataError(qint16 kind, const std::function<void(qint16)>& endProgram);

// The second stage of the start: server check, directory, login, the user's settings, start-up
// registration, the resident and status windows, menus and timers.
class Launch {
public:
    enum class Result {
        Running, // the program lives on in its windows
        Ended,   // the program has ended (EndProgram ran where the program had something to save)
    };

    Launch(Settings& settings, AppState& appState, GroupwareSession& session, LaunchWindows& windows);

    // `firstSetup`: the settings file was missing and the user agreed to create it.
    Result run(bool firstSetup);

private:
    bool runFirstSetup();
    bool endOnRestartRequest();
    void askServerLogon();
    bool waitForServer();
    bool loadDirectory();
    void logInAutomatically();
    void logInWithDialog();
    void readUserSettings();
    void lowerLastNotifiedArticle();
    void finish();

    Settings& m_settings;
    AppState& m_appState;
    GroupwareSession& m_session;
    LaunchWindows& m_windows;
};

} // namespace zelmora
