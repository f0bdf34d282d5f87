#pragma once

#include "app/EndProgram.h"
#include "app/IdleDetection.h"
#include "app/ResidentClocks.h"
#include "ui/ResidentControl.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QSessionManager;

namespace zelmora {

struct AppState;
struct PositionMenuChoice;
struct Settings;
class GroupwareSession;
class SignalForwarder;

namespace ui {
class BrowserHost;
class TrayIcon;
class TrayMenu;
} // namespace ui

// The resident controller: never shown, it owns the tray icon and menu and the five timers that
// drive the periodic work (board reads, automatic registrations, the alarm check, the mouse
// sampler, the deferred opening of pages), and it turns the end of the session into a normal exit.
class frmMain : public QObject, public ResidentControl, public EndProgramHost {
    Q_OBJECT
public:
    frmMain(Settings& settings, AppState& app, GroupwareSession& session, QObject* parent = nullptr);
    ~frmMain() override;

    // --- Wiring, before Load ---
    void setStatusControl(StatusControl* status);
    // The idle source (default: the desktop's).
    void setIdleSource(std::unique_ptr<IdleSource> source);
    // The idle threshold as the launch read it (default: ABSENSE_LEVEL when the source is set).
    void setIdleThreshold(qint16 samples);
    // frmSetParameter shown modally (not first setup); it sets the restart request and the
    // dialog-cancelled flag.
    void setSettingsDialog(std::function<void()> show) { m_settingsDialog = std::move(show); }
    void setAboutBox(std::function<void()> show) { m_aboutBox = std::move(show); }
    // Locks (true) or unlocks (false) the registration dialog when it is open.
    void setRegistrationDialogLock(std::function<void(bool lock)> lock) { m_registrationLock = std::move(lock); }
    // Opens the registration dialog for a "詳細設定..." choice of the position menu.
    void setRegistrationDialogOpener(std::function<void(const PositionMenuChoice&)> open);
    // One schedule alarm check (tmrScheduleAlarmTimer).
    void setAlarmCheck(std::function<void()> check) { m_alarmCheck = std::move(check); }
    // ASK at exit: the dialog, modally (default: frmRegistEndPosition with the server's choices).
    void setEndPositionAsker(std::function<void()> ask) { m_endPositionAsker = std::move(ask); }
    // Unloads every window but this one at exit (default: closes all top-level widgets).
    void setWindowUnloader(std::function<void()> unload) { m_windowUnloader = std::move(unload); }
    // Ends the event loop once the program is over (default: QCoreApplication::quit).
    void setQuitFunction(std::function<void()> quit) { m_quit = std::move(quit); }
    // Period of the five timers in milliseconds (15000, 15000, 60000, 60000, 10). The two clocks
    // count every tick as 15 seconds whatever its period, so tests can run them fast.
    void setTimerPeriods(int getMs, int updateMs, int alarmMs, int mouseMs, int deferredMs = 10);
    // How long to wait for a system tray at login (default: every 2 s for 60 s).
    void setTrayRetry(int intervalMs, int attempts);
    // How long the ASK dialog waits for an answer at a session end (default: 20 steps of 1 s).
    void setSessionEndAnswerTime(int seconds, int stepMs) {
        m_askSeconds = seconds;
        m_askStepMs = stepMs;
    }

    // --- Life cycle ---
    // The window's load: tray icon and menu, signal forwarding, session-end hooks.
    void Load();
    // Launch step 23: the four periodic timers in order.
    void StartTimers();
    // No tray appeared: the status window is shown instead and its close box ends the program.
    bool noTrayMode() const { return m_noTrayMode; }
    bool isEnding() const { return m_ending; }

    // --- ResidentControl ---
    void OnGetTimer() override;
    void OffGetTimer() override;
    void ClearGetTimer() override;
    void OnUpdateTimer() override;
    void OffUpdateTimer() override;
    void ClearUpdateTimer() override;
    void GetTimerInterval(qint16 intInterval) override;
    void UpdateTimerInterval(qint16 intInterval) override;
    void OnMenu() override;
    void OffMenu() override;
    void UpdatePosition(bool bflgForced) override;
    void GetData() override;
    PeriodicTimerStates SuspendPeriodicTimers() override;
    void RestorePeriodicTimers(const PeriodicTimerStates& states) override;
    void SetLinkItems(const QList<LinkItem>& links) override;
    void SetPositionItems(const QStringList& places, const MemberRecord& ownRecord) override;

    // --- EndProgramHost ---
    void StopPeriodicTimers() override;
    void AskEndPosition() override;
    void StoreStatusGeometry() override;
    QSize screenTwips() const override;

    // Shutdown: EndProgram(mode) alone, and the whole exit (EndProgram, then every window
    // unloaded, the tray icon removed and the event loop ended).
    void EndProgram(qint16 mode);
    void ExitProgram(qint16 mode);
    // The tray's (and the status window's) exit items.
    void mnuExitOption_Click(int index) { ExitProgram(qint16(index)); }
    void mnuSet_Click();

    // --- Idle detection ---
    bool SampleMouse();
    bool isUserActive() const { return m_idle ? m_idle->isActive() : true; }
    // Which source tells the idle time ("Mutter IdleMonitor", ...; empty when none answers).
    QString idleSourceName() const;

    // --- Pages ---
    // Stores the page and opens it from the one-shot timer, after the menu's handler returned.
    void RequestPage(qint16 type, const QString& query);
    // Opens a page now: 0 the top page, 1 a groupware page with login, 2 a plain address.
    void OpenRequestedPage(qint16 type, const QString& query, qint32 userId, const QString& password);
    // The browser windows; null when the browser module cannot be loaded.
    ui::BrowserHost* browserPages();

    qint16 intOpenPageType = 0;
    QString strOpenPageQuery;

    // --- State and controls, for the launch and for tests ---
    bool bflgWhileGettingData() const { return m_clocks.bflgWhileGettingData(); }
    bool bflgWhileUpdatingData() const { return m_clocks.bflgWhileUpdatingData(); }
    qint64 getElapsedMs() const { return m_clocks.getClock().elapsedMs(); }
    qint64 updateElapsedMs() const { return m_clocks.updateClock().elapsedMs(); }
    ui::TrayMenu* trayMenu() const { return m_trayMenu; }
    ui::TrayIcon* trayIcon() const { return m_trayIcon; }
    QTimer& tmrGetIntervalTimer() { return m_tmrGetIntervalTimer; }
    QTimer& tmrUpdateIntervalTimer() { return m_tmrUpdateIntervalTimer; }
    QTimer& tmrScheduleAlarmTimer() { return m_tmrScheduleAlarmTimer; }
    QTimer& tmrMouseCapture() { return m_tmrMouseCapture; }
    QTimer& tmrAvoidVBBug() { return m_tmrAvoidVBBug; }

signals:
    // The program is over (windows unloaded, tray icon removed).
    void programEnded();
    // No system tray appeared within the retry time.
    void trayUnavailable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireTimers();
    void wireTrayMenu();
    void onSessionEnd(const char* reason);
    void onSaveRequest();
    void saveState();
    bool bringModalWindowForward() const;
    void onTrayLeftClick();
    void onTrayUnavailable();
    void onPositionItem(const QString& caption);
    void onLinkItem(int index);
    void onPageItem(const QString& name);
    void onDeferredTick();
    void onHelp();
    void RemoveTrayIcon();
    void lockRegistrationDialog(bool lock);
    void refreshStatusAfterPost();
    QWidget* statusWidget() const;
    EndProgramState state() const { return {m_settings, m_app, m_session}; }

    Settings& m_settings;
    AppState& m_app;
    GroupwareSession& m_session;
    StatusControl* m_status = nullptr;

    ResidentClocks m_clocks;
    QTimer m_tmrGetIntervalTimer;
    QTimer m_tmrUpdateIntervalTimer;
    QTimer m_tmrScheduleAlarmTimer;
    QTimer m_tmrMouseCapture;
    QTimer m_tmrAvoidVBBug;

    std::unique_ptr<IdleSource> m_idleSource;
    std::unique_ptr<IdleDetection> m_idle;
    qint16 m_idleThreshold = -1; // -1: ABSENSE_LEVEL of the settings

    ui::TrayMenu* m_trayMenu = nullptr;
    ui::TrayIcon* m_trayIcon = nullptr;
    SignalForwarder* m_signals = nullptr;
    std::unique_ptr<ui::BrowserHost> m_browser;
    QList<LinkItem> m_links;

    std::function<void()> m_settingsDialog;
    std::function<void()> m_aboutBox;
    std::function<void(bool)> m_registrationLock;
    std::function<void(const PositionMenuChoice&)> m_registrationOpener;
    std::function<void()> m_alarmCheck;
    std::function<void()> m_endPositionAsker;
    std::function<void()> m_windowUnloader;
    std::function<void()> m_quit;

    bool m_loaded = false;
    bool m_noTrayMode = false;
    bool m_settingsOpen = false;
    bool m_ending = false;
    bool m_ended = false;
    bool m_sessionEnd = false; // the exit was asked for by the session, not by the user
    bool m_stateSaved = false; // the files were written during this exit
    qint16 m_exitMode = -1;
    int m_askSeconds = 20;
    int m_askStepMs = 1000;
};

} // namespace zelmora
