#include "net/TransferManager.h"

#include "net/DirectReply.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QTcpSocket>

#include <utility>

namespace zelmora {

TransferManager::TransferManager(QObject* parent) : QNetworkAccessManager(parent) {}

TransferManager::~TransferManager() {
    // No event loop may run after this: the kept connection goes at once.
    if (QTcpSocket* socket = std::exchange(m_kept, nullptr)) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        delete socket;
    }
}

QString TransferManager::originOf(const QUrl& url) {
    return url.host(QUrl::FullyEncoded).toLower() + QLatin1Char(':') + QString::number(url.port(80));
}

QTcpSocket* TransferManager::takeConnection(const QString& origin) {
    if (!m_kept || m_keptOrigin != origin)
        return nullptr;
    QTcpSocket* socket = std::exchange(m_kept, nullptr);
    disconnect(socket, nullptr, this, nullptr);
    // A connection the server has closed, or on which it sent something unasked, is not reused.
    if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesAvailable() > 0) {
        socket->abort();
        socket->deleteLater();
        return nullptr;
    }
    return socket;
}

void TransferManager::keepConnection(const QString& origin, QTcpSocket* socket) {
    dropConnection();
    m_kept = socket;
    m_keptOrigin = origin;
    // Held by m_kept alone, as a request's socket is held by its reply. The server may close an idle
    // connection at any time; it is let go at once.
    auto release = [this, socket] {
        if (m_kept == socket)
            dropConnection();
    };
    connect(socket, &QTcpSocket::disconnected, this, release);
    connect(socket, &QTcpSocket::readyRead, this, release);
}

void TransferManager::dropConnection() {
    if (!m_kept)
        return;
    QTcpSocket* socket = std::exchange(m_kept, nullptr);
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

void TransferManager::requireLibraryPath(const QString& origin) {
    m_libraryOrigins.insert(origin);
}

bool TransferManager::goesDirect(Operation op, const QNetworkRequest& request) {
    const QUrl url = request.url();
    if ((op != GetOperation && op != PostOperation) ||
        url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) ||
        request.attribute(kLibraryPathAttribute).toBool() || m_libraryOrigins.contains(originOf(url)))
        return false;
    QNetworkProxy proxy = this->proxy();
    if (QNetworkProxyFactory* factory = proxyFactory())
        proxy = factory->queryProxy(QNetworkProxyQuery(url)).value(0, QNetworkProxy(QNetworkProxy::NoProxy));
    if (proxy.type() == QNetworkProxy::DefaultProxy)
        proxy = QNetworkProxy::applicationProxy();
    return proxy.type() == QNetworkProxy::NoProxy;
}

QNetworkReply* TransferManager::createRequest(Operation op, const QNetworkRequest& request, QIODevice* outgoingData) {
    if (!goesDirect(op, request))
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    return new DirectReply(*this, op, request, outgoingData ? outgoingData->readAll() : QByteArray(), this);
}

} // namespace zelmora
