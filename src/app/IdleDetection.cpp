#include "app/IdleDetection.h"

#include <algorithm>

namespace zelmora {

qint16 IdleDetection::countFromCursor(const QPoint& position) {
    qint16 count = 0;
    if (position == m_lastPosition)
        count = m_idleCount < kMaxIdleCount ? m_idleCount + 1 : kMaxIdleCount;
    m_lastPosition = position;
    return count;
}

bool IdleDetection::SampleMouse() {
    if (const auto position = m_source.cursorPosition()) {
        m_idleCount = countFromCursor(*position);
    } else if (const auto idleSeconds = m_source.sessionIdleSeconds()) {
        // One sample a minute: whole idle minutes are the number of samples without movement.
        m_idleCount = static_cast<qint16>(std::clamp<qint64>(*idleSeconds / 60, 0, kMaxIdleCount));
    } else {
        // Nothing tells us about the user: never guess "away".
        m_idleCount = 0;
    }
    m_active = m_idleCount <= m_threshold;
    return m_active;
}

} // namespace zelmora
