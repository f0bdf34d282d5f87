#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace zelmora {

// The one source of wall-clock time for the program: alarms, "today", the colour of stale
// board entries and the telephone memo date all read it. Tests pin it to a fixed moment.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    static QTime time() { return now().time(); }

    // Pins the clock to `at`; every later now() returns it until advance() or reset().
    static void setFixed(const QDateTime& at);
    static void advance(qint64 seconds);
    static void reset();
    static bool isFixed();
};

} // namespace zelmora
