#include "core/IdleTimeScale.h"

#include <limits>

namespace zelmora {

namespace {
// A growth matches a scale when it lies within half of the growth that scale expects.
bool near(double growth, double expected) {
    return growth > expected * 0.5 && growth < expected * 1.5;
}

// Below ten seconds between readings a growth in seconds is too coarse to tell anything.
constexpr qint64 kMinimumSpanMs = 10000;
} // namespace

qint64 IdleTimeScale::toSeconds(quint64 reading, qint64 elapsedMs) {
    if (m_unit == Unit::Unknown && m_havePrevious && reading > m_previous && elapsedMs >= kMinimumSpanMs) {
        const double growth = double(reading - m_previous);
        if (near(growth, double(elapsedMs)))
            m_unit = Unit::Milliseconds;
        else if (near(growth, double(elapsedMs) / 1000.0))
            m_unit = Unit::Seconds;
    }
    m_havePrevious = true;
    m_previous = reading;
    const quint64 seconds = m_unit == Unit::Seconds ? reading : reading / 1000;
    return qint64(qMin<quint64>(seconds, quint64(std::numeric_limits<qint64>::max())));
}

} // namespace zelmora
