#include "core/EventLoopMonitor.h"

#include "core/Logging.h"

namespace zelmora {

EventLoopMonitor::EventLoopMonitor(int reportPeriodMs, QObject* parent)
    : QObject(parent), m_reportPeriodMs(qMax(reportPeriodMs, kProbeMs)) {
    // A coarse timer may legally fire up to 5 % late, which would count as a stall.
    m_probe.setTimerType(Qt::PreciseTimer);
    m_probe.setInterval(kProbeMs);
    connect(&m_probe, &QTimer::timeout, this, &EventLoopMonitor::probe);
}

void EventLoopMonitor::start() {
    m_longestInPeriod = 0;
    m_longestEver = 0;
    m_sinceProbe.start();
    m_sincePeriod.start();
    m_probe.start();
}

void EventLoopMonitor::probe() {
    const qint64 stall = qMax<qint64>(0, m_sinceProbe.restart() - kProbeMs);
    m_longestInPeriod = qMax(m_longestInPeriod, stall);
    m_longestEver = qMax(m_longestEver, stall);
    if (stall >= kReportStallMs)
        qCInfo(lcEventLoop) << "event loop stalled for" << stall << "ms";
    if (m_sincePeriod.elapsed() >= m_reportPeriodMs) {
        qCDebug(lcEventLoop) << "longest event-loop stall" << m_longestInPeriod << "ms in the last"
                             << m_sincePeriod.restart() << "ms";
        m_longestInPeriod = 0;
    }
}

} // namespace zelmora
