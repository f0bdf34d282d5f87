#include "app/frmMain.h"

#include "app/RegistrationDecision.h"
#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Logging.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "groupware/Board.h"
#include "groupware/BrowserLogin.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "groupware/TrayPages.h"
#include "ui/BrowserHost.h"
#include "ui/DesktopIdleSource.h"
#include "ui/HelpFile.h"
#include "ui/HourglassCursor.h"
#include "ui/TrayIcon.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

namespace zelmora {

frmMain::frmMain(Settings& settings, AppState& app, GroupwareSession& session, QObject* parent)
    : QObject(parent), m_settings(settings), m_app(app), m_session(session) {
    setObjectName(QStringLiteral("frmMain"));
    m_tmrGetIntervalTimer.setInterval(IntervalClock::kTickMs);
    m_tmrUpdateIntervalTimer.setInterval(IntervalClock::kTickMs);
    m_tmrScheduleAlarmTimer.setInterval(60000);
    m_tmrMouseCapture.setInterval(60000);
    m_tmrAvoidVBBug.setInterval(10);
    m_tmrAvoidVBBug.setSingleShot(true);
    wireTimers();

    m_trayMenu = new ui::TrayMenu(this);
    wireTrayMenu();
    m_trayIcon = new ui::TrayIcon(m_trayMenu->menu(), this);
    connect(m_trayIcon, &ui::TrayIcon::leftClicked, this, &frmMain::onTrayLeftClick);
    connect(m_trayIcon, &ui::TrayIcon::unavailable, this, &frmMain::onTrayUnavailable);
    connect(m_trayIcon, &ui::TrayIcon::shown, this, [this] {
        qCInfo(lcApp) << "tray icon shown";
        // A tray that came late: the status window's close box hides it again.
        m_noTrayMode = false;
    });
}

frmMain::~frmMain() {
    RemoveTrayIcon();
    // The browser windows and the web engine profile go before the rest.
    m_browser.reset();
}

void frmMain::wireTimers() {
    m_clocks.getClock().setEnabledHandler([this](bool on) {
        if (on)
            m_tmrGetIntervalTimer.start();
        else
            m_tmrGetIntervalTimer.stop();
    });
    m_clocks.updateClock().setEnabledHandler([this](bool on) {
        if (on)
            m_tmrUpdateIntervalTimer.start();
        else
            m_tmrUpdateIntervalTimer.stop();
    });
    connect(&m_tmrGetIntervalTimer, &QTimer::timeout, this, [this] {
        if (m_clocks.getClock().tick())
            GetData();
    });
    connect(&m_tmrUpdateIntervalTimer, &QTimer::timeout, this, [this] {
        if (m_clocks.updateClock().tick())
            UpdatePosition(false);
    });
    connect(&m_tmrScheduleAlarmTimer, &QTimer::timeout, this, [this] {
        if (m_alarmCheck)
            m_alarmCheck();
    });
    connect(&m_tmrMouseCapture, &QTimer::timeout, this, &frmMain::SampleMouse);
    connect(&m_tmrAvoidVBBug, &QTimer::timeout, this, &frmMain::onDeferredTick);
}

void frmMain::wireTrayMenu() {
    connect(m_trayMenu, &ui::TrayMenu::dispStatusTriggered, this, &frmMain::onTrayLeftClick);
    connect(m_trayMenu, &ui::TrayMenu::positionItemTriggered, this, &frmMain::onPositionItem);
    connect(m_trayMenu, &ui::TrayMenu::setTriggered, this, &frmMain::mnuSet_Click);
    connect(m_trayMenu, &ui::TrayMenu::exitOptionTriggered, this, &frmMain::mnuExitOption_Click);
    connect(m_trayMenu, &ui::TrayMenu::linkItemTriggered, this, &frmMain::onLinkItem);
    connect(m_trayMenu, &ui::TrayMenu::pageItemTriggered, this, &frmMain::onPageItem);
    connect(m_trayMenu, &ui::TrayMenu::helpTriggered, this, &frmMain::onHelp);
    connect(m_trayMenu, &ui::TrayMenu::aboutTriggered, this, [this] {
        if (m_aboutBox)
            m_aboutBox();
    });
}

void frmMain::setStatusControl(StatusControl* status) {
    if (QWidget* old = statusWidget())
        old->removeEventFilter(this);
    m_status = status;
    // The close box of the status window ends the program when there is no tray to return to.
    if (QWidget* widget = statusWidget())
        widget->installEventFilter(this);
}

QWidget* frmMain::statusWidget() const {
    return dynamic_cast<QWidget*>(m_status);
}

void frmMain::setIdleSource(std::unique_ptr<IdleSource> source) {
    m_idle.reset();
    m_idleSource = std::move(source);
    // The threshold is read once: a later change takes effect at the next start.
    const qint16 threshold = m_idleThreshold >= 0 ? m_idleThreshold : m_settings.connection.ABSENSE_LEVEL;
    if (m_idleSource)
        m_idle = std::make_unique<IdleDetection>(*m_idleSource, threshold);
}

void frmMain::setIdleThreshold(qint16 samples) {
    m_idleThreshold = samples;
    if (m_idleSource)
        setIdleSource(std::move(m_idleSource));
}

void frmMain::setRegistrationDialogOpener(std::function<void(const PositionMenuChoice&)> open) {
    m_registrationOpener = std::move(open);
}

void frmMain::setTimerPeriods(int getMs, int updateMs, int alarmMs, int mouseMs, int deferredMs) {
    m_tmrGetIntervalTimer.setInterval(getMs);
    m_tmrUpdateIntervalTimer.setInterval(updateMs);
    m_tmrScheduleAlarmTimer.setInterval(alarmMs);
    m_tmrMouseCapture.setInterval(mouseMs);
    m_tmrAvoidVBBug.setInterval(deferredMs);
}

void frmMain::setTrayRetry(int intervalMs, int attempts) {
    m_trayIcon->setRetry(intervalMs, attempts);
}

// ---------------------------------------------------------------------------------------------
// Clocks

void frmMain::StartTimers() {
    if (m_ending)
        return;
    m_clocks.getClock().on();
    m_clocks.updateClock().on();
    m_tmrScheduleAlarmTimer.start();
    m_tmrMouseCapture.start();
}

void frmMain::StopPeriodicTimers() {
    m_clocks.getClock().off();
    m_clocks.updateClock().off();
    m_tmrScheduleAlarmTimer.stop();
    m_tmrMouseCapture.stop();
}

PeriodicTimerStates frmMain::SuspendPeriodicTimers() {
    const PeriodicTimerStates running{m_clocks.getClock().isEnabled(), m_clocks.updateClock().isEnabled(),
                                      m_tmrScheduleAlarmTimer.isActive(), m_tmrMouseCapture.isActive()};
    StopPeriodicTimers();
    return running;
}

void frmMain::RestorePeriodicTimers(const PeriodicTimerStates& states) {
    if (m_ending)
        return;
    if (states.getInterval)
        m_clocks.getClock().on();
    if (states.updateInterval)
        m_clocks.updateClock().on();
    if (states.scheduleAlarm)
        m_tmrScheduleAlarmTimer.start();
    if (states.mouseCapture)
        m_tmrMouseCapture.start();
}

void frmMain::OnGetTimer() {
    m_clocks.getClock().on();
}
void frmMain::OffGetTimer() {
    m_clocks.getClock().off();
}
void frmMain::ClearGetTimer() {
    m_clocks.getClock().clear();
}
void frmMain::OnUpdateTimer() {
    m_clocks.updateClock().on();
}
void frmMain::OffUpdateTimer() {
    m_clocks.updateClock().off();
}
void frmMain::ClearUpdateTimer() {
    m_clocks.updateClock().clear();
}
void frmMain::GetTimerInterval(qint16 intInterval) {
    m_clocks.getClock().setInterval(intInterval);
}
void frmMain::UpdateTimerInterval(qint16 intInterval) {
    m_clocks.updateClock().setInterval(intInterval);
}

void frmMain::OnMenu() {
    m_trayMenu->setServerItemsEnabled(true, m_app.loggedIn);
}
void frmMain::OffMenu() {
    m_trayMenu->setServerItemsEnabled(false, m_app.loggedIn);
}

void frmMain::lockRegistrationDialog(bool lock) {
    if (m_registrationLock)
        m_registrationLock(lock);
}

void frmMain::GetData() {
    if (m_ending || !m_clocks.beginGetData())
        return;
    OffMenu();
    lockRegistrationDialog(true);
    if (m_status) {
        // New notices may open the notice window.
        m_status->SetEnableAttention(true);
        m_status->Update();
    }
    m_clocks.endGetData();
    lockRegistrationDialog(false);
    OnMenu();
}

void frmMain::UpdatePosition(bool bflgForced) {
    if (m_ending || !m_clocks.beginUpdatePosition(m_app.loggedIn && m_session.isLoggedIn()))
        return;
    OffMenu();
    if (m_status)
        m_status->LockForm();
    lockRegistrationDialog(true);

    MemberRecord own = GetMyPosition(m_settings.connection, m_session);
    own.id = m_session.userId();
    m_session.setOwnRecord(own);
    const Registration decision = decideRegistration(own, bflgForced, isUserActive(), m_settings.connection);
    qCInfo(lcRegistration) << "registration pass: forced" << bflgForced << "active" << isUserActive() << "decision"
                           << int(decision);
    if (decision != Registration::None)
        RegistPosition(m_settings.connection, m_session, decision == Registration::Present);

    if (m_status)
        m_status->UnlockForm();
    lockRegistrationDialog(false);
    m_clocks.endUpdatePosition();
    OnMenu();
}

// ---------------------------------------------------------------------------------------------
// Idle detection

bool frmMain::SampleMouse() {
    if (!m_idle)
        setIdleSource(std::make_unique<ui::DesktopIdleSource>());
    return m_idle->SampleMouse();
}

QString frmMain::idleSourceName() const {
    if (auto* desktop = dynamic_cast<ui::DesktopIdleSource*>(m_idleSource.get()))
        return desktop->name();
    return m_idleSource ? QStringLiteral("custom") : QString();
}

// ---------------------------------------------------------------------------------------------
// Tray menu

void frmMain::SetLinkItems(const QList<LinkItem>& links) {
    m_links = links;
    m_trayMenu->setLinkItems(links);
}

void frmMain::SetPositionItems(const QStringList& places, const MemberRecord& ownRecord) {
    m_trayMenu->setPositionItems(places, ownRecord);
}

void frmMain::onTrayLeftClick() {
    if (!m_status)
        return;
    // While the settings dialog is open a hidden status window stays hidden; a shown one comes
    // forward.
    if (m_settingsOpen && !m_status->IsStatusVisible())
        return;
    m_status->ShowStatus();
}

void frmMain::refreshStatusAfterPost() {
    ui::HourglassCursor busy;
    if (m_status) {
        m_status->SetEnableAttention(false);
        m_status->Update();
    }
}

void frmMain::onPositionItem(const QString& caption) {
    if (!m_session.isLoggedIn())
        return;
    const PositionMenuChoice choice = positionMenuChoice(caption, m_session.userId(), m_session, m_settings.connection);
    if (choice.action == PositionMenuChoice::OpenDialog) {
        if (m_registrationOpener && !bringModalWindowForward())
            m_registrationOpener(choice);
        return;
    }
    // Work the tray starts keeps the tray from starting more.
    OffMenu();
    PostPositionMenuChoice(m_settings.connection, m_session, choice);
    refreshStatusAfterPost();
    OnMenu();
}

void frmMain::onLinkItem(int index) {
    if (index >= 0 && index < m_links.size())
        RequestPage(OpenPlainAddress, m_links[index].url);
}

void frmMain::onPageItem(const QString& name) {
    for (const TrayPageItem& item : trayPageItems()) {
        if (name != QLatin1String(item.name))
            continue;
        RequestPage(item.kind, trayPageAddress(item, m_settings.connection.programUrl, m_session.userId()));
        return;
    }
}

void frmMain::onHelp() {
    ShowHelp(m_app.helpFilePath, QCoreApplication::applicationDirPath(),
             [](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

// ---------------------------------------------------------------------------------------------
// Pages

void frmMain::RequestPage(qint16 type, const QString& query) {
    intOpenPageType = type;
    strOpenPageQuery = query;
    m_tmrAvoidVBBug.start();
}

void frmMain::onDeferredTick() {
    ui::HourglassCursor busy;
    m_tmrAvoidVBBug.stop();
    const bool loggedIn = m_app.loggedIn && m_session.isLoggedIn();
    OpenRequestedPage(intOpenPageType, strOpenPageQuery, loggedIn ? m_session.userId() : 0,
                      loggedIn ? m_session.password() : QString());
}

ui::BrowserHost* frmMain::browserPages() {
    if (!m_browser)
        m_browser = ui::createBrowserHost();
    return m_browser.get();
}

void frmMain::OpenRequestedPage(qint16 type, const QString& query, qint32 userId, const QString& password) {
    // A top-page link may name any scheme; only web addresses open, in the logged-in profile.
    if (type != OpenTopPageType && type != OpenGroupwarePage && !isWebAddress(linkAddress(query))) {
        qCWarning(lcApp).noquote() << "refused to open a link that is no web address:" << redactPasswords(query);
        showMessage(kTitleError, MsgIcon::Warning, kRefusedLinkMessage);
        return;
    }
    ui::BrowserHost* host = browserPages();
    if (!host) {
        reportEnvironmentProblem(EnvironmentProblem::Browser);
        return;
    }
    ui::BrowserHost& pages = *host;
    const ConnectionSettings& connection = m_settings.connection;
    pages.setProgramUrl(connection.programUrl);
    pages.setServerCredentials(m_app.serverUserName, m_app.serverPassword);
    pages.setTimeoutSeconds(connection.TIMEOUT);
    pages.setProxy(connection.PROXY_MODE, connection.PROXY_SERVER, connection.PROXY_PORTNO);
    switch (type) {
    case OpenTopPageType:
        pages.OpenTopPage(userId, password);
        break;
    case OpenGroupwarePage:
        pages.OpenPage(query, userId, password);
        break;
    default:
        pages.OpenAddress(query);
        break;
    }
}

} // namespace zelmora
