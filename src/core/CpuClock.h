#pragma once

#include <QtGlobal>

#include <ctime>

namespace zelmora {

// CPU time consumed so far, in nanoseconds, for the support log's timings: by the calling thread
// (the user-interface thread: page readers, grid, menus) and by the whole process (with Qt's
// network thread). 0 where the clock is unavailable.
inline qint64 cpuNanoseconds(clockid_t clock) {
    timespec ts{};
    if (clock_gettime(clock, &ts) != 0)
        return 0;
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline qint64 threadCpuNanoseconds() {
    return cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
}
inline qint64 processCpuNanoseconds() {
    return cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID);
}

} // namespace zelmora
