#pragma once

#include <QPoint>

#include <optional>

namespace zelmora {

// Where the idle detector learns about the user's activity. Platform sources (X11 pointer, the session's
// idle monitor over D-Bus) implement it beside the windows; tests use a scripted one.
class IdleSource {
public:
    virtual ~IdleSource() = default;
    // Global cursor position in screen pixels, or nullopt when the platform cannot tell it (Wayland).
    virtual std::optional<QPoint> cursorPosition() = 0;
    // Seconds since the session's last input, or nullopt when no idle monitor answers.
    virtual std::optional<qint64> sessionIdleSeconds() = 0;
};

} // namespace zelmora
