#include "support/ZelmoraProcess.h"

#include <csignal>

namespace zelmora::test {

ZelmoraProcess::ZelmoraProcess(const QString& program, const QString& dataFolder, const QProcessEnvironment& extra) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(extra);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zelmora.*=true"));
    env.insert(QStringLiteral("ZELMORA_TEST_TICK_MS"), QStringLiteral("150"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, {dataFolder});
}

ZelmoraProcess::~ZelmoraProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool ZelmoraProcess::started() {
    return m_process.waitForStarted(10000);
}

void ZelmoraProcess::terminate() {
    ::kill(pid_t(m_process.processId()), SIGTERM);
}

bool ZelmoraProcess::finished(int ms) {
    return m_process.waitForFinished(ms);
}

int ZelmoraProcess::exitCode() const {
    return m_process.exitCode();
}

QProcess::ExitStatus ZelmoraProcess::exitStatus() const {
    return m_process.exitStatus();
}

qint64 ZelmoraProcess::processId() const {
    return m_process.processId();
}

QString ZelmoraProcess::log() {
    m_log += QString::fromUtf8(m_process.readAll());
    return m_log;
}

QStringList ZelmoraProcess::lines() {
    return log().split(QLatin1Char('\n'));
}

} // namespace zelmora::test
