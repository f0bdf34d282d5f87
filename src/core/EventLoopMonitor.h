#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace zelmora {

// Watches how long the program's one thread is kept from handling its events: a short timer is
// expected to tick every probe interval, and whatever it comes late is a stall (a modal loop or a
// request wait that fails to process events, a slow page reader, a swapped-out machine). Nested
// event loops run the timer too, so a stall inside a request wait is measured as well.
//
// Reported on zelmora.eventloop: every stall of at least `reportStallMs` at once, and at the end
// of each report period the longest stall of that period.
class EventLoopMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kProbeMs = 20;
    static constexpr int kReportStallMs = 200;

    explicit EventLoopMonitor(int reportPeriodMs, QObject* parent = nullptr);

    void start();
    // The longest stall since start() in milliseconds.
    qint64 longestStallMs() const { return m_longestEver; }
    // The longest stall of the current report period so far.
    qint64 periodStallMs() const { return m_longestInPeriod; }

private:
    void probe();

    QTimer m_probe;
    QElapsedTimer m_sinceProbe;
    QElapsedTimer m_sincePeriod;
    int m_reportPeriodMs;
    qint64 m_longestInPeriod = 0;
    qint64 m_longestEver = 0;
};

} // namespace zelmora
