#include "ui/DBusIdleSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace zelmora::ui {

namespace {
// A sample must not hold up the event loop behind a hung service.
constexpr int kCallTimeoutMs = 500;
} // namespace

DBusIdleSource::DBusIdleSource(Kind kind)
    : m_kind(kind),
      m_scale(kind == Kind::MutterIdleMonitor ? IdleTimeScale::Unit::Milliseconds : IdleTimeScale::Unit::Unknown) {
    m_sinceLastReading.start();
}

QString DBusIdleSource::name() const {
    return m_kind == Kind::MutterIdleMonitor ? QStringLiteral("Mutter IdleMonitor")
                                             : QStringLiteral("freedesktop ScreenSaver");
}

std::optional<quint64> DBusIdleSource::readIdleTime() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage call;
    if (m_kind == Kind::MutterIdleMonitor) {
        call = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
            QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("GetIdletime"));
    } else {
        call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("GetSessionIdleTime"));
    }
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    bool ok = false;
    const quint64 idle = reply.arguments().constFirst().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return idle;
}

std::optional<qint64> DBusIdleSource::idleSeconds() {
    const std::optional<quint64> idle = readIdleTime();
    const qint64 elapsed = m_sinceLastReading.restart();
    if (!idle)
        return std::nullopt;
    return m_scale.toSeconds(*idle, elapsed);
}

} // namespace zelmora::ui
