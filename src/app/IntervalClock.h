#pragma once

#include <QtGlobal>

#include <functional>

namespace zelmora {

// One of the resident controller's counting clocks (tmrGetIntervalTimer, tmrUpdateIntervalTimer): a 15-second
// timer whose ticks add up toward an interval in minutes. The window drives tick() from its QTimer and keeps
// that timer running while isEnabled() (the enabled handler tells it when that changes).
class IntervalClock {
public:
    static constexpr int kTickMs = 15000;

    // GetTimerInterval / UpdateTimerInterval, in minutes; 0 or less acts on every tick.
    void setInterval(qint16 minutes) { m_intervalMinutes = minutes; }
    qint16 interval() const { return m_intervalMinutes; }

    void on() { setEnabled(true); }
    void off() { setEnabled(false); }
    // ClearGetTimer / ClearUpdateTimer: the count starts again from zero and the clock is enabled.
    void clear();
    bool isEnabled() const { return m_enabled; }
    void setEnabledHandler(std::function<void(bool enabled)> handler) { m_enabledHandler = std::move(handler); }

    // One timer tick. Returns true when the clock's operation is to run now; the count then restarts from
    // zero, so an operation that declines to run (re-entry guard) is tried again a full interval later.
    // A tick while disabled is ignored.
    bool tick();
    qint64 elapsedMs() const { return m_elapsedMs; }

private:
    void setEnabled(bool enabled);

    qint16 m_intervalMinutes = 0;
    qint64 m_elapsedMs = 0;
    bool m_enabled = false;
    std::function<void(bool)> m_enabledHandler;
};

} // namespace zelmora
