#include "app/DesktopLaunch.h"

#include "app/EndProgram.h"
#include "app/StatusDialogs.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/Logging.h"
#include "core/Settings.h"
#include "dialogs/RegistPositionHost.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmServerLogin.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/UserDataFile.h"
#include "notify/AttentionControl.h"
#include "notify/ScheduleAlarm.h"
#include "status/frmStatus.h"
#include "ui/DesktopNotifier.h"
#include "ui/ResidentControl.h"
#include "ui/TrayIcon.h"
#include "ui/TrayMenu.h"
#include "ui/Twips.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>

#include <cstdlib>

namespace zelmora {

namespace {
// The browser component of the pages, named in the about box.
const QString kBrowserComponent = QStringLiteral("Qt WebEngine");

// The status window's registration dialog, alarm check and notice window as the resident
// controller uses them: "詳細設定..." of the tray's position menu, the lock around its server work,
// tmrScheduleAlarmTimer, and the tray icon for desktop notifications where the desktop has no
// notification service.
void wireStatusDialogs(UserSettings& user, frmMain& main, frmStatus& status, StatusDialogs& dialogs) {
    RegistPositionHost* regist = dialogs.registPositionHost();
    main.setRegistrationDialogLock([regist](bool lock) {
        if (!regist->isFormOpen())
            return;
        if (lock)
            regist->LockForm();
        else
            regist->UnlockForm();
    });
    main.setRegistrationDialogOpener([regist](const PositionMenuChoice& choice) {
        regist->Open({choice.memberId, false, choice.currentPosition, choice.currentContact});
    });
    auto* alarm = new ScheduleAlarm(status.todaySchedule(), user, &main);
    main.setAlarmCheck([alarm] { alarm->Tick(); });
    ui::TrayIcon* tray = main.trayIcon();
    if (!tray)
        return;
    auto giveTray = [tray, &dialogs] {
        if (ui::DesktopNotifier* notifier = dialogs.attention()->notifier())
            notifier->setTrayIcon(tray->systemTrayIcon());
    };
    giveTray();
    QObject::connect(tray, &ui::TrayIcon::shown, &status, giveTray);
}
} // namespace

DesktopLaunch::DesktopLaunch(Settings& settings, AppState& appState, GroupwareSession& session, QObject* parent)
    : QObject(parent), m_settings(settings), m_appState(appState), m_session(session) {}

DesktopLaunch::~DesktopLaunch() = default;

void DesktopLaunch::CloseSplash() {
    if (m_splash) {
        m_splash->close();
        m_splash->deleteLater();
        m_splash = nullptr;
    }
}

void DesktopLaunch::ShowSettingsDialog(bool bflgFirstSetup) {
    if (!m_settingsDialog) {
        qCWarning(lcApp) << "no settings dialog in this build; the setup counts as cancelled";
        m_appState.dialogCancelled = true;
        return;
    }
    m_settingsDialog(bflgFirstSetup);
}

ServerLogonAnswer DesktopLaunch::ShowServerLogin() {
    frmServerLogin dialog(m_appState);
    // The dialog is shown before any other window of the program: make sure it comes up on top.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    m_appState.dialogCancelled = true; // a dialog closed by the system counts as cancelled
    dialog.exec();
    return ServerLogonAnswer{dialog.strServerID, dialog.strServerPassword, dialog.bflgSavePassword};
}

bool DesktopLaunch::ShowLoginDialog() {
    LoginOperations operations;
    operations.login = [this](qint32 userId, const QString& password) {
        return Login(m_settings.connection, m_session, userId, password);
    };
    operations.fetchUserData = [this](QList<UserRecord>& users) { return GetUserData(m_settings.connection, users); };
    operations.saveUserData = [this](const QList<UserRecord>& users) {
        SaveUserData(users, m_appState.userDataFilePath);
    };
    frmLogin dialog(m_settings, m_appState, operations);
    dialog.Load();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.SetInitialFocus();
    // Not modal: the program keeps processing its messages until the dialog says it has ended.
    QEventLoop wait;
    connect(&dialog, &frmLogin::loginEnded, &wait, &QEventLoop::quit);
    if (!dialog.bflgLoginEnd)
        wait.exec();
    return dialog.bflgAutoLogin;
}

void DesktopLaunch::SetTimerSettings(qint16 getInterval, qint16 updateInterval, qint16 absenceLevel) {
    m_getInterval = getInterval;
    m_updateInterval = updateInterval;
    m_absenceLevel = absenceLevel;
}

void DesktopLaunch::LoadResidentWindow() {
    m_main = std::make_unique<frmMain>(m_settings, m_appState, m_session);
    m_main->GetTimerInterval(m_getInterval);
    m_main->UpdateTimerInterval(m_updateInterval);
    m_main->setIdleThreshold(m_absenceLevel);
    if (m_testTickMs > 0) {
        m_main->setTimerPeriods(m_testTickMs, m_testTickMs, m_testTickMs, m_testTickMs);
        m_main->setSessionEndAnswerTime(20, m_testTickMs);
    }
    if (m_settingsDialog)
        m_main->setSettingsDialog([this] { m_settingsDialog(false); });
    frmMain* main = m_main.get();
    m_main->setAboutBox([main] { frmAbout::ShowAbout(main->idleSourceName(), kBrowserComponent); });
    m_main->Load();
    m_main->OffMenu();
}

void DesktopLaunch::LoadStatusWindow() {
    m_status = std::make_unique<frmStatus>(m_settings, m_appState, m_session);
    frmMain* main = m_main.get();
    m_status->setResidentControl(main);
    m_status->setPageOpener([main](const PageRequest& page) {
        main->OpenRequestedPage(page.intOpenPageType, page.strOpenPageQuery, page.userId, page.password);
    });
    auto* dialogs = new StatusDialogs(m_settings, m_appState, m_session, *m_status);
    m_status->setTrayMenuPopup([main](QPoint at) { main->trayMenu()->popupFromStatusWindow(at); });
    connect(m_status.get(), &frmStatus::exitRequested, main, [main](int option) { main->mnuExitOption_Click(option); });
    connect(m_status.get(), &frmStatus::setupRequested, main, [main] { main->mnuSet_Click(); });
    connect(m_status.get(), &frmStatus::aboutRequested, main,
            [main] { frmAbout::ShowAbout(main->idleSourceName(), kBrowserComponent); });
    main->setStatusControl(m_status.get());
    wireStatusDialogs(m_settings.user, *main, *m_status, *dialogs);
    m_status->Load();
}

void DesktopLaunch::ApplyMenuStates(const MenuStates& states) {
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        const qsizetype dot = it.key().indexOf(QLatin1Char('.'));
        const QString window = it.key().left(dot);
        const QString name = it.key().mid(dot + 1);
        QAction* action = nullptr;
        if (window == QLatin1String("frmStatus") && m_status)
            action = m_status->menuItem(name);
        else if (window == QLatin1String("frmMain") && m_main)
            action = m_main->trayMenu()->item(name);
        if (action)
            action->setEnabled(it.value());
        else
            qCWarning(lcApp) << "no menu item" << it.key();
    }
}

void DesktopLaunch::StartTimers() {
    if (m_main)
        m_main->StartTimers();
}

void DesktopLaunch::OnMenu() {
    if (m_main)
        m_main->OnMenu();
}

void DesktopLaunch::EndProgram(qint16 mode) {
    if (m_main) {
        m_main->ExitProgram(mode);
        return;
    }
    // Still starting: nothing but the settings file and the directory to look after.
    zelmora::EndProgram(mode, EndProgramState{m_settings, m_appState, m_session}, nullptr);
    if (mode == EndEmergency) {
        CloseSplash();
        // The emergency exit may come from inside a dialog's own event loop; nothing is left to
        // save, so the process ends here.
        std::exit(EXIT_FAILURE);
    }
}

QSize DesktopLaunch::ScreenTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->size();
    return QSize(ui::pixelsToTwipsX(size.width()), ui::pixelsToTwipsY(size.height()));
}

} // namespace zelmora
