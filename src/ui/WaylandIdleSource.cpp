#include "ui/WaylandIdleSource.h"

#include "core/Logging.h"

#include <QSocketNotifier>

#include <cstring>
#include <wayland-client.h>
#include <wayland/ext-idle-notify-v1-client-protocol.h>
#include <wayland/idle-client-protocol.h>

namespace zelmora::ui {

bool isWaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

bool onRealX11(const QString& platformName) {
    return platformName == QLatin1String("xcb") && !isWaylandSession();
}

struct WaylandIdleSource::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* extNotifier = nullptr;
    ext_idle_notification_v1* extNotification = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;
    bool idle = false;
    bool lost = false;
    QElapsedTimer idleSince;

    ~Connection() {
        notifier.reset();
        if (extNotification)
            ext_idle_notification_v1_destroy(extNotification);
        if (extNotifier)
            ext_idle_notifier_v1_destroy(extNotifier);
        if (kdeTimeout)
            org_kde_kwin_idle_timeout_release(kdeTimeout);
        if (kdeIdle)
            org_kde_kwin_idle_destroy(kdeIdle);
        if (seat)
            wl_seat_destroy(seat);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    void read() {
        if (wl_display_dispatch(display) >= 0)
            return;
        qCInfo(lcApp) << "the Wayland compositor went away: its idle time is no longer read";
        lost = true;
        notifier->setEnabled(false);
    }
    void onIdle() {
        idle = true;
        idleSince.start();
    }
    void onResumed() { idle = false; }
};

namespace {

using Connection = WaylandIdleSource::Connection;

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* c = static_cast<Connection*>(data);
    auto bind = [&](const wl_interface* type) { return wl_registry_bind(registry, name, type, 1); };
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !c->seat)
        c->seat = static_cast<wl_seat*>(bind(&wl_seat_interface));
    else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !c->extNotifier)
        c->extNotifier = static_cast<ext_idle_notifier_v1*>(bind(&ext_idle_notifier_v1_interface));
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !c->kdeIdle)
        c->kdeIdle = static_cast<org_kde_kwin_idle*>(bind(&org_kde_kwin_idle_interface));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

const ext_idle_notification_v1_listener kExtListener = {
    [](void* data, ext_idle_notification_v1*) { static_cast<Connection*>(data)->onIdle(); },
    [](void* data, ext_idle_notification_v1*) { static_cast<Connection*>(data)->onResumed(); },
};

const org_kde_kwin_idle_timeout_listener kKdeListener = {
    [](void* data, org_kde_kwin_idle_timeout*) { static_cast<Connection*>(data)->onIdle(); },
    [](void* data, org_kde_kwin_idle_timeout*) { static_cast<Connection*>(data)->onResumed(); },
};

} // namespace

WaylandIdleSource::WaylandIdleSource(Protocol protocol, int timeoutMs) : m_protocol(protocol), m_timeoutMs(timeoutMs) {}

WaylandIdleSource::~WaylandIdleSource() = default;

QString WaylandIdleSource::name() const {
    return m_protocol == Protocol::ExtIdleNotify ? QStringLiteral("Wayland ext-idle-notify-v1")
                                                 : QStringLiteral("Wayland org_kde_kwin_idle");
}

bool WaylandIdleSource::connect() {
    m_tried = true;
    if (!isWaylandSession())
        return false;
    auto c = std::make_unique<Connection>();
    c->display = wl_display_connect(nullptr);
    if (!c->display)
        return false;
    c->registry = wl_display_get_registry(c->display);
    wl_registry_add_listener(c->registry, &kRegistryListener, c.get());
    if (wl_display_roundtrip(c->display) < 0 || !c->seat)
        return false;
    if (m_protocol == Protocol::ExtIdleNotify) {
        if (!c->extNotifier)
            return false;
        c->extNotification = ext_idle_notifier_v1_get_idle_notification(c->extNotifier, uint32_t(m_timeoutMs), c->seat);
        ext_idle_notification_v1_add_listener(c->extNotification, &kExtListener, c.get());
    } else {
        if (!c->kdeIdle)
            return false;
        c->kdeTimeout = org_kde_kwin_idle_get_idle_timeout(c->kdeIdle, c->seat, uint32_t(m_timeoutMs));
        org_kde_kwin_idle_timeout_add_listener(c->kdeTimeout, &kKdeListener, c.get());
    }
    if (wl_display_roundtrip(c->display) < 0)
        return false;
    // The compositor writes only when the seat goes idle or input resumes.
    c->notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(c->display), QSocketNotifier::Read);
    Connection* raw = c.get();
    QObject::connect(c->notifier.get(), &QSocketNotifier::activated, c->notifier.get(), [raw] { raw->read(); });
    m_connection = std::move(c);
    return true;
}

std::optional<qint64> WaylandIdleSource::idleSeconds() {
    if (!m_tried)
        connect();
    if (!m_connection || m_connection->lost)
        return std::nullopt;
    wl_display_dispatch_pending(m_connection->display);
    wl_display_flush(m_connection->display);
    if (!m_connection->idle)
        return 0;
    return (m_connection->idleSince.elapsed() + m_timeoutMs) / 1000;
}

} // namespace zelmora::ui
