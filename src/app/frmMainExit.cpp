// frmMain: loading, the settings command, the exits and the end of the session.

#include "app/frmMain.h"

#include "app/SignalForwarder.h"
#include "core/AppState.h"
#include "core/Logging.h"
#include "core/Settings.h"
#include "dialogs/frmRegistEndPosition.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "status/frmStatus.h"
#include "ui/DesktopIdleSource.h"
#include "ui/TrayIcon.h"
#include "ui/TrayMenu.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>

#include <csignal>

namespace zelmora {

void frmMain::Load() {
    if (m_loaded)
        return;
    m_loaded = true;
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The program lives in the tray: closing its last window must not end it.
        app->setQuitOnLastWindowClosed(false);
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { onSessionEnd("session manager"); });
    }
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { onSessionEnd("quit"); });

    // A log-off usually arrives as SIGTERM (or SIGHUP) without any of the above.
    m_signals = new SignalForwarder(this);
    if (m_signals->install()) {
        connect(
            m_signals, &SignalForwarder::received, this,
            [this](int signalNumber) { onSessionEnd(signalNumber == SIGINT ? "SIGINT" : "SIGTERM/SIGHUP"); },
            Qt::QueuedConnection);
    }

    if (!m_idle)
        setIdleSource(std::make_unique<ui::DesktopIdleSource>());
    if (auto* desktop = dynamic_cast<ui::DesktopIdleSource*>(m_idleSource.get()))
        desktop->select();
    const QString source = idleSourceName();
    if (source.isEmpty())
        qCInfo(lcApp) << "no idle source answers: the user is always taken to be present";
    else
        qCInfo(lcApp) << "idle source:" << source;

    m_trayIcon->AddTrayIcon();
}

void frmMain::RemoveTrayIcon() {
    if (m_trayIcon)
        m_trayIcon->RemoveTrayIcon();
}

void frmMain::onTrayUnavailable() {
    qCInfo(lcApp) << "no system tray: the status window stands in for it";
    m_noTrayMode = true;
    if (m_status)
        m_status->ShowStatus();
    emit trayUnavailable();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Without a tray, the close box of the status window is the way out of the program.
    if (m_noTrayMode && !m_ending && event->type() == QEvent::Close && watched == statusWidget() &&
        event->spontaneous()) {
        event->accept();
        ExitProgram(EndNormal);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Settings

void frmMain::mnuSet_Click() {
    if (!m_settingsDialog)
        return;
    StopPeriodicTimers();
    m_app.restartRequest = RestartRequest::None;
    m_settingsOpen = true;
    m_settingsDialog();
    m_settingsOpen = false;
    if (m_ending)
        return;
    switch (m_app.restartRequest) {
    case RestartRequest::ServerSettingsChanged:
        ExitProgram(EndServerChanged);
        return;
    case RestartRequest::OtherSettingsChanged:
        ExitProgram(EndRestart);
        return;
    case RestartRequest::None:
        break;
    }
    StartTimers();
    if (!m_app.dialogCancelled && m_status)
        m_status->UpdateAppearance();
}

// ---------------------------------------------------------------------------------------------
// Exit

void frmMain::AskEndPosition() {
    if (m_endPositionAsker) {
        m_endPositionAsker();
        return;
    }
    frmRegistEndPosition dialog;
    const WhereEntryChoices choices = GetWhereEntryChoices(m_settings.connection, m_session);
    dialog.Initialize({choices.placesWithoutSeparators(), choices.until, choices.unit});
    dialog.setPoster([this](const EndPositionEntry& entry) { PostEndPosition(state(), entry); });
    dialog.exec();
}

void frmMain::StoreStatusGeometry() {
    auto* status = dynamic_cast<frmStatus*>(m_status);
    if (status && status->isVisible())
        status->StoreWindowGeometry();
}

QSize frmMain::screenTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize();
    const QSize pixels = screen->size();
    return QSize(ui::pixelsToTwipsX(pixels.width()), ui::pixelsToTwipsY(pixels.height()));
}

void frmMain::EndProgram(qint16 mode) {
    m_ending = true;
    zelmora::EndProgram(mode, state(), this);
}

void frmMain::ExitProgram(qint16 mode) {
    if (m_ending)
        return;
    EndProgram(mode);
    m_ended = true;
    if (m_windowUnloader) {
        m_windowUnloader();
    } else {
        if (auto* status = dynamic_cast<frmStatus*>(m_status))
            status->Unload();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                window->close();
        }
    }
    RemoveTrayIcon();
    emit programEnded();
    if (m_quit)
        m_quit();
    else
        QCoreApplication::quit();
}

void frmMain::onSessionEnd(const char* reason) {
    if (m_ending || m_ended)
        return;
    qCInfo(lcApp) << "session end:" << reason;
    if (m_app.restartRequest != RestartRequest::None) {
        // The exit that asked for the restart saves what there is to save.
        m_ended = true;
        if (m_quit)
            m_quit();
        else
            QCoreApplication::quit();
        return;
    }
    ExitProgram(EndNormal);
}

} // namespace zelmora
