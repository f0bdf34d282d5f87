#pragma once

#include "core/Launch.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;

namespace zelmora {

struct AppState;
struct Settings;
class GroupwareSession;
class ResidentControl;
class frmStatus;

// The launch's windows on the desktop: the splash, the dialogs, the status window and the
// resident controller.
class DesktopLaunch : public QObject, public LaunchWindows {
    Q_OBJECT
public:
    DesktopLaunch(Settings& settings, AppState& appState, GroupwareSession& session, QObject* parent = nullptr);
    ~DesktopLaunch() override;

    void setSplash(QWidget* splash) { m_splash = splash; }

    // The settings dialog in first-setup or repair mode. Without one no setup can be made, which
    // the launch is told as a cancelled dialog.
    using SettingsDialog = std::function<void(bool bflgFirstSetup)>;
    void setSettingsDialog(SettingsDialog dialog) { m_settingsDialog = std::move(dialog); }

    // The resident controller: what loads frmMain (with the timer settings of the launch), and
    // its menu items by control name.
    struct Resident {
        std::function<ResidentControl*(qint16 getInterval, qint16 updateInterval, qint16 absenceLevel)> load;
        std::function<QAction*(const QString& name)> menuItem;
        std::function<void()> startTimers;
    };
    void setResident(Resident resident) { m_resident = std::move(resident); }

    using EndProgramHandler = std::function<void(qint16 mode)>;
    void setEndProgram(EndProgramHandler handler) { m_endProgram = std::move(handler); }

    frmStatus* status() const { return m_status.get(); }
    ResidentControl* residentControl() const { return m_residentControl; }
    // The status window for the window's owner, which deletes it at the end of the program.
    std::unique_ptr<frmStatus> takeStatus();

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
    void EndProgram(qint16 mode) override;
    QSize ScreenTwips() const override;

private:
    Settings& m_settings;
    AppState& m_appState;
    GroupwareSession& m_session;
    QPointer<QWidget> m_splash;
    SettingsDialog m_settingsDialog;
    Resident m_resident;
    EndProgramHandler m_endProgram;
    ResidentControl* m_residentControl = nullptr;
    std::unique_ptr<frmStatus> m_status;
    qint16 m_getInterval = 0;
    qint16 m_updateInterval = 0;
    qint16 m_absenceLevel = 0;
};

} // namespace zelmora
