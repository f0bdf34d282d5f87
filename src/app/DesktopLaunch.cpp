#include "app/DesktopLaunch.h"

#include "core/AppState.h"
#include "core/Logging.h"
#include "core/ResidentControl.h"
#include "core/Settings.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmServerLogin.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/UserDataFile.h"
#include "status/frmStatus.h"
#include "ui/Twips.h"

#include <QAction>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zelmora {

DesktopLaunch::DesktopLaunch(Settings& settings, AppState& appState, GroupwareSession& session, QObject* parent)
    : QObject(parent), m_settings(settings), m_appState(appState), m_session(session) {}

DesktopLaunch::~DesktopLaunch() = default;

std::unique_ptr<frmStatus> DesktopLaunch::takeStatus() {
    return std::move(m_status);
}

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
    if (m_resident.load)
        m_residentControl = m_resident.load(m_getInterval, m_updateInterval, m_absenceLevel);
    if (m_residentControl)
        m_residentControl->OffMenu();
    else
        qCWarning(lcApp) << "no resident window in this build";
}

void DesktopLaunch::LoadStatusWindow() {
    m_status = std::make_unique<frmStatus>(m_settings, m_appState, m_session);
    m_status->setResidentControl(m_residentControl);
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
        else if (window == QLatin1String("frmMain") && m_resident.menuItem)
            action = m_resident.menuItem(name);
        if (action)
            action->setEnabled(it.value());
        else
            qCDebug(lcApp) << "no menu item" << it.key();
    }
}

void DesktopLaunch::StartTimers() {
    if (m_resident.startTimers)
        m_resident.startTimers();
}

void DesktopLaunch::OnMenu() {
    if (m_residentControl)
        m_residentControl->OnMenu();
}

void DesktopLaunch::EndProgram(qint16 mode) {
    qCInfo(lcApp) << "EndProgram" << mode;
    if (m_endProgram)
        m_endProgram(mode);
}

QSize DesktopLaunch::ScreenTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->size();
    return QSize(ui::pixelsToTwipsX(size.width()), ui::pixelsToTwipsY(size.height()));
}

} // namespace zelmora
