#include "ui/TrayIcon.h"

#include "core/Logging.h"
#include "core/MessageBox.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>

namespace zelmora::ui {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

bool watcherRegistered() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kWatcherService);
}

// A panel that shows StatusNotifier items: the watcher is there and a host has registered with it.
bool statusNotifierHostRegistered() {
    if (!watcherRegistered())
        return false;
    // A plain property read: no introspection of the watcher, and no meta-object cached for it.
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusReply<QDBusVariant> reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    return reply.isValid() && reply.value().variant().toBool();
}

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

TrayIcon::TrayIcon(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu) {
    m_retry.setInterval(2000);
    connect(&m_retry, &QTimer::timeout, this, &TrayIcon::tryShow);
    if (QDBusConnection::sessionBus().isConnected()) {
        m_watcher = new QDBusServiceWatcher(kWatcherService, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayIcon::onWatcherRegistered);
    }
}

TrayIcon::~TrayIcon() {
    RemoveTrayIcon();
}

QIcon TrayIcon::programIcon() {
    return QIcon(QStringLiteral(":/zelmora/icons/zelmora.svg"));
}

void TrayIcon::setRetry(int intervalMs, int attempts) {
    m_retry.setInterval(intervalMs);
    m_attempts = attempts;
}

void TrayIcon::AddTrayIcon() {
    m_added = true;
    m_attemptsLeft = m_attempts;
    tryShow();
}

bool TrayIcon::trayExpected() {
    // Qt's own answer is asked for only here: on Wayland its first answer is kept for good.
    if (statusNotifierHostRegistered() || onX11())
        return QSystemTrayIcon::isSystemTrayAvailable();
    return false;
}

void TrayIcon::reportUnavailable() {
    if (m_unavailableReported)
        return;
    m_unavailableReported = true;
    emit unavailable();
}

void TrayIcon::tryShow() {
    if (trayExpected()) {
        m_retry.stop();
        if (!m_icon) {
            m_icon = new QSystemTrayIcon(programIcon(), this);
            m_icon->setToolTip(kProgramName);
            m_icon->setContextMenu(m_menu);
            connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit leftClicked();
            });
        }
        m_icon->show();
        m_unavailableReported = false;
        emit shown();
        return;
    }
    // Nothing that could host the icon: say so now rather than after the retry time; a panel that
    // comes later still gets the icon.
    if (!watcherRegistered() && !onX11())
        reportUnavailable();
    if (m_attemptsLeft-- > 0) {
        if (!m_retry.isActive())
            m_retry.start();
        return;
    }
    m_retry.stop();
    reportUnavailable();
}

void TrayIcon::onWatcherRegistered() {
    if (!m_added)
        return;
    qCInfo(lcApp) << "a StatusNotifier watcher appeared on the session bus";
    if (m_icon) {
        // A panel that started again: the icon registers with its new watcher.
        m_icon->hide();
        m_icon->show();
        return;
    }
    // Its host registers a moment after the watcher itself.
    m_attemptsLeft = m_attempts;
    tryShow();
}

void TrayIcon::RemoveTrayIcon() {
    m_added = false;
    m_retry.stop();
    if (m_icon) {
        m_icon->hide();
        m_icon->setContextMenu(nullptr);
        delete m_icon;
        m_icon = nullptr;
    }
}

bool TrayIcon::isShown() const {
    return m_icon && m_icon->isVisible();
}

} // namespace zelmora::ui
