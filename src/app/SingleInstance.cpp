#include "app/SingleInstance.h"

#include "core/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace zelmora {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";

QString instanceName(const QString& dataFolder) {
    const QByteArray folder = QDir(dataFolder).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zelmora-%1-%2")
        .arg(qEnvironmentVariable("USER", QStringLiteral("user")), QString::fromLatin1(hash));
}
} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_name(instanceName(dataFolder)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(kConnectTimeoutMs);
            probe.disconnectFromServer();
            qCInfo(lcApp) << "another instance is running; asked it to come forward";
            m_otherAnswered = true;
            return false;
        }
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Connecting failed above, so a leftover socket file belongs to a crashed instance.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            qCWarning(lcApp) << "cannot listen on" << m_name << m_server->errorString();
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("activate"))
                emit activationRequested();
            socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace zelmora
