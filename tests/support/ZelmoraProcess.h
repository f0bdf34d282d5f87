#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace zelmora::test {

// The real zelmora program on a data folder: offscreen, every support log category on, its timers
// ticking every 150 ms (each tick still counts as the usual 15 or 60 seconds), its output captured.
// `extra` adds to the environment (test hooks, sanitizer options). The process is killed if it still
// runs when the object goes.
class ZelmoraProcess {
public:
    ZelmoraProcess(const QString& program, const QString& dataFolder, const QProcessEnvironment& extra = {});
    ~ZelmoraProcess();
    ZelmoraProcess(const ZelmoraProcess&) = delete;
    ZelmoraProcess& operator=(const ZelmoraProcess&) = delete;

    bool started();
    void terminate(); // SIGTERM: the program's normal exit
    bool finished(int ms);
    int exitCode() const;
    QProcess::ExitStatus exitStatus() const;
    qint64 processId() const;
    // Everything the program wrote so far, and the same split into lines.
    QString log();
    QStringList lines();

private:
    QProcess m_process;
    QString m_log;
};

// Waits, processing events, until `done` holds or `ms` pass.
template <typename F> bool waitUntil(F done, int ms = 30000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

} // namespace zelmora::test
