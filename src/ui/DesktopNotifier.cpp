#include "ui/DesktopNotifier.h"

#include "core/MessageBox.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSystemTrayIcon>

namespace zelmora::ui {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
// Notifications the service never reports closed are forgotten beyond this many.
constexpr qsizetype kMostPending = 32;
} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::setTrayIcon(QSystemTrayIcon* tray) {
    if (m_tray)
        disconnect(m_tray, nullptr, this, nullptr);
    m_tray = tray;
    if (m_tray) {
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            if (auto activated = std::exchange(m_trayActivated, {}))
                activated();
        });
    }
}

bool DesktopNotifier::hasNotificationService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusConnectionInterface* names = bus.interface();
    return names->isServiceRegistered(kService).value() || names->activatableServiceNames().value().contains(kService);
}

bool DesktopNotifier::notify(const QString& title, const QString& body, std::function<void()> activated) {
    if (hasNotificationService())
        return notifyOverBus(title, body, std::move(activated));
    return notifyOverTray(title, body, std::move(activated));
}

void DesktopNotifier::connectBusSignals() {
    if (m_busConnected)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_busConnected = bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                 SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotifier::notifyOverBus(const QString& title, const QString& body, std::function<void()> activated) {
    connectBusSignals();
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Body text is plain: servers that understand markup would otherwise read "<" and "&".
    QString plainBody = body;
    plainBody.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
    call << kProgramName << uint(0) << QStringLiteral("dialog-information") << title << plainBody
         << QStringList{kDefaultAction, QStringLiteral("開く")} << QVariantMap{} << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, activated = std::move(activated)](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (reply.isError() || !activated)
                    return;
                if (m_pending.size() >= kMostPending)
                    m_pending.erase(m_pending.begin());
                m_pending.insert(reply.value(), activated);
            });
    return true;
}

bool DesktopNotifier::notifyOverTray(const QString& title, const QString& body, std::function<void()> activated) {
    if (!m_tray || !m_tray->isVisible() || !QSystemTrayIcon::supportsMessages())
        return false;
    m_trayActivated = std::move(activated);
    m_tray->showMessage(title, body, QSystemTrayIcon::Information);
    return true;
}

void DesktopNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (actionKey != kDefaultAction)
        return;
    if (auto activated = m_pending.take(id))
        activated();
}

void DesktopNotifier::onNotificationClosed(uint id, uint) {
    m_pending.remove(id);
}

} // namespace zelmora::ui
