#include "app/IntervalClock.h"

namespace zelmora {

void IntervalClock::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (m_enabledHandler)
        m_enabledHandler(enabled);
}

void IntervalClock::clear() {
    off();
    m_elapsedMs = 0;
    on();
}

bool IntervalClock::tick() {
    if (!m_enabled)
        return false;
    // Whole milliseconds instead of fractional minutes: 20 ticks are exactly 5 minutes.
    m_elapsedMs += kTickMs;
    if (m_elapsedMs < qint64(m_intervalMinutes) * 60000)
        return false;
    m_elapsedMs = 0;
    return true;
}

} // namespace zelmora
