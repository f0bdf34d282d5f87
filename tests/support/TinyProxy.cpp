#include "support/TinyProxy.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

namespace zelmora::test {

TinyProxy::~TinyProxy() {
    stop();
}

bool TinyProxy::available() {
    return QFileInfo(QString::fromLatin1(kBinary)).isExecutable();
}

bool TinyProxy::start(quint16 port) {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    m_port = port;
    if (m_port == 0) {
        // A free port: bind, note it, release it for the proxy.
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
    }
    const QString config = m_dir.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    file.write(QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\nMaxClients 20\n"
                              "LogFile \"%2\"\nLogLevel Info\n")
                   .arg(m_port)
                   .arg(m_dir.filePath(QStringLiteral("tinyproxy.log")))
                   .toUtf8());
    file.close();

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QString::fromLatin1(kBinary), {QStringLiteral("-d"), QStringLiteral("-c"), config});
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(200))
            return true;
        if (m_process.state() != QProcess::Running) {
            m_error = QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        m_process.waitForFinished(100);
    }
    m_error = QStringLiteral("tinyproxy did not start listening");
    return false;
}

void TinyProxy::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString TinyProxy::log() const {
    QFile file(m_dir.filePath(QStringLiteral("tinyproxy.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace zelmora::test
