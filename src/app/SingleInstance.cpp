#include "app/SingleInstance.h"

#include "core/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";

// A folder only this user can enter: nobody else can place, replace or remove a socket in it.
bool isPrivateFolder(const QString& folder) {
    struct stat st {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

QString privateFolderIn(const QString& parent, const QString& name) {
    if (parent.isEmpty())
        return {};
    const QString folder = QDir(parent).filePath(name);
    ::mkdir(QFile::encodeName(folder).constData(), 0700); // an existing one is checked below
    return isPrivateFolder(folder) ? folder : QString();
}

// The session's runtime folder (0700, the user's own), else a private folder of the user's.
QString socketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    const QString perUser = QStringLiteral("zelmora-%1").arg(::getuid());
    QString folder = privateFolderIn(QDir::tempPath(), perUser);
    if (folder.isEmpty()) // taken by someone else in the shared temporary folder
        folder = privateFolderIn(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation), perUser);
    return folder;
}

QString instanceName(const QString& dataFolder) {
    const QString folder = socketFolder();
    if (folder.isEmpty())
        return {};
    const QByteArray path = QDir(dataFolder).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("zelmora-%1").arg(QString::fromLatin1(hash)));
}

// The uid of the process at the other end of a connected local socket, or -1.
qint64 peerUid(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return -1;
    return credentials.uid;
}
} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_dataFolder(dataFolder), m_name(instanceName(dataFolder)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    if (m_name.isEmpty()) {
        qCWarning(lcApp) << "no private folder for the single-instance socket; running without the guard";
        return false;
    }
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
            const qint64 uid = peerUid(probe.socketDescriptor());
            if (uid == qint64(::getuid())) {
                probe.write(kActivate);
                probe.waitForBytesWritten(kConnectTimeoutMs);
                probe.disconnectFromServer();
                qCInfo(lcApp).noquote() << "another instance is running on the data folder" << m_dataFolder
                                        << "- asked it to come forward";
                m_otherAnswered = true;
                return false;
            }
            qCWarning(lcApp) << "the single-instance socket" << m_name << "is held by uid" << uid << "- not trusted";
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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Only a start of this same user may bring the program forward.
        if (const qint64 uid = peerUid(socket->socketDescriptor()); uid != qint64(::getuid())) {
            qCWarning(lcApp) << "ignored a single-instance message from uid" << uid;
            socket->disconnectFromServer();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("activate"))
                emit activationRequested();
            socket->disconnectFromServer();
        });
    }
}

} // namespace zelmora
