#pragma once

#include "ui/IdleTimeReader.h"

#include <QElapsedTimer>

#include <memory>

namespace zelmora::ui {

// True in a Wayland session, whatever platform plugin Qt uses: under XWayland the X screen-saver
// extension and the pointer only see X11 windows.
bool isWaylandSession();
// True on real X11 only: Qt on "xcb" outside a Wayland session. Under XWayland the X screen saver
// extension and the pointer see X11 windows only, and a user working in native windows would look idle.
bool onRealX11(const QString& platformName);

// Session idle time from the Wayland compositor: the standard ext-idle-notify-v1 protocol or KDE's
// older org_kde_kwin_idle (sway 1.7, KWin before 5.27). The compositor says when the seat has been
// idle for `timeoutMs` and when input resumes; the idle time is then the time since that notice
// plus the timeout. Works on a connection of its own to the compositor of WAYLAND_DISPLAY (Qt 6.4
// offers no public way to its own), read whenever the compositor writes.
class WaylandIdleSource : public IdleTimeReader {
public:
    enum class Protocol { ExtIdleNotify, KdeIdle };

    explicit WaylandIdleSource(Protocol protocol, int timeoutMs = 10000);
    ~WaylandIdleSource() override;

    QString name() const override;
    // nullopt when there is no compositor or it does not offer the protocol (then for good).
    std::optional<qint64> idleSeconds() override;

    struct Connection;

private:
    bool connect();

    Protocol m_protocol;
    int m_timeoutMs;
    bool m_tried = false;
    std::unique_ptr<Connection> m_connection;
};

} // namespace zelmora::ui
