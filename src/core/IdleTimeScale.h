#pragma once

#include <QtGlobal>

namespace zelmora {

// Reads a session idle time whose unit is not certain. org.freedesktop.ScreenSaver's
// GetSessionIdleTime answers in milliseconds on some desktops and in seconds on others. Until the
// unit is known the reading is taken as milliseconds: a reading in seconds then looks like recent
// input, which keeps the user present instead of wrongly sending them away. The unit settles as
// soon as the reading grows between two samples by about the time that passed, in one scale or
// the other.
class IdleTimeScale {
public:
    enum class Unit { Milliseconds, Seconds, Unknown };

    explicit IdleTimeScale(Unit unit = Unit::Unknown) : m_unit(unit) {}

    // Seconds of idle time for `reading`; `elapsedMs` is the time since the previous reading.
    qint64 toSeconds(quint64 reading, qint64 elapsedMs);

    Unit unit() const { return m_unit; }

private:
    Unit m_unit;
    bool m_havePrevious = false;
    quint64 m_previous = 0;
};

} // namespace zelmora
