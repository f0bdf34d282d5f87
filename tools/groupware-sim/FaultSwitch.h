#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <condition_variable>
#include <mutex>

namespace zelmora::sim {

// Run-time switchable misbehaviour of the server, for tests of time-outs and error handling.
class FaultSwitch {
public:
    enum class Mode { None, Hang, Drop, Status, ErrorPage, Licence, Trickle };

    struct Fault {
        Mode mode = Mode::None;
        int status = 500;   // for Mode::Status
        int delayMs = 0;    // before every answer
        int remaining = -1; // requests left to affect, -1 for all
        QString match;      // only requests whose target or body contain this text
    };

    // Sets the fault from the control query (mode, code, delay, count, match); releases held
    // requests. Returns false with a message for an unknown mode.
    bool set(const QByteArray& query, QString* error);
    void set(const Fault& fault);
    QJsonObject describe() const;

    // The fault that applies to one request (counted against `remaining`); Mode::None otherwise.
    Fault take(const QByteArray& target, const QByteArray& body);

    // Holds the calling thread until the switch is changed or the server stops.
    void hold();
    // For a trickling answer: the switch's state now, and a wait of up to `ms` that returns true
    // as soon as the switch has changed since `generation` (or the server stops).
    quint64 generation() const;
    bool changedWithin(quint64 generation, int ms);
    // Ends every hold: release() for the held requests so far, stop() for good at shutdown.
    void release();
    void stop();

    static QString modeName(Mode mode);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    Fault m_fault;
    quint64 m_generation = 0;
    bool m_stopping = false;
};

} // namespace zelmora::sim
