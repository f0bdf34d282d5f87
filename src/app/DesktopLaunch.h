#pragma once

#include "app/Launch.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace zelmora {

struct AppState;
struct Settings;
class GroupwareSession;
class frmMain;
class frmStatus;

// The launch's windows on the desktop: the splash, the dialogs, the resident controller frmMain
// and the status window. It owns the two windows for the life of the program.
class DesktopLaunch : public QObject, public LaunchWindows {
    Q_OBJECT
public:
    DesktopLaunch(Settings& settings, AppState& appState, GroupwareSession& session, QObject* parent = nullptr);
    ~DesktopLaunch() override;

    void setSplash(QWidget* splash) { m_splash = splash; }

    // The settings dialog (frmSetParameter, modal) with its bflgFirstSetup. Without one no setup
    // can be made, which the launch is told as a cancelled dialog.
    using SettingsDialog = std::function<void(bool bflgFirstSetup)>;
    void setSettingsDialog(SettingsDialog dialog) { m_settingsDialog = std::move(dialog); }

    // Period of every timer tick in milliseconds instead of 15 and 60 seconds (0: the real ones),
    // for test runs of the whole program; each tick still counts as the usual time.
    void setTestTickMs(int ms) { m_testTickMs = ms; }

    frmMain* resident() const { return m_main.get(); }
    frmStatus* status() const { return m_status.get(); }

    // LaunchWindows
    void CloseSplash() override;
    void ShowSettingsDialog(bool bflgFirstSetup) override;
    ServerLogonAnswer ShowServerLogin() override;
    bool ShowLoginDialog() override;
    void SetTimerSettings(qint16 getInterval, qint16 updateInterval, qint16 absenceLevel) override;
    void LoadResidentWindow() override;
    void LoadStatusWindow() override;
    void ApplyMenuStates(const MenuStates& states) override;
    void StartTimers() override;
    void OnMenu() override;
    // Before frmMain is loaded only the settings are saved as the mode says; the emergency exit
    // (mode 4) then ends the process at once. Afterwards it is frmMain's whole exit.
    void EndProgram(qint16 mode) override;
    QSize ScreenTwips() const override;

private:
    Settings& m_settings;
    AppState& m_appState;
    GroupwareSession& m_session;
    QPointer<QWidget> m_splash;
    SettingsDialog m_settingsDialog;
    int m_testTickMs = 0;
    qint16 m_getInterval = 0;
    qint16 m_updateInterval = 0;
    qint16 m_absenceLevel = 10;
    // The status window goes first at the end: frmMain outlives it.
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<frmStatus> m_status;
};

} // namespace zelmora
