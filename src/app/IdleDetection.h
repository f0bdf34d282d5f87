#pragma once

#include "core/IdleSource.h"

#include <QPoint>

namespace zelmora {

// The mouse sampler behind tmrMouseCapture (once a minute). The user counts as away once the cursor has
// stayed where it was for more than `threshold` consecutive samples (ABSENSE_LEVEL as read at start-up).
class IdleDetection {
public:
    static constexpr qint16 kMaxIdleCount = 32767;

    IdleDetection(IdleSource& source, qint16 threshold) : m_source(source), m_threshold(threshold) {}

    // SampleMouse: one sample; returns and stores the activity flag (idle count ≤ threshold). Without a
    // cursor position the session's idle time in whole minutes stands for the count; with neither, the
    // user is taken to be present. The count stays at kMaxIdleCount once it gets there.
    bool SampleMouse();

    bool isActive() const { return m_active; }
    qint16 idleCount() const { return m_idleCount; }

private:
    qint16 countFromCursor(const QPoint& position);

    IdleSource& m_source;
    qint16 m_threshold;
    QPoint m_lastPosition{0, 0};
    qint16 m_idleCount = 0;
    bool m_active = true;
};

} // namespace zelmora
