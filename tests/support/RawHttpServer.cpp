#include "support/RawHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace zelmora::test {

QByteArray RawHttpServer::Request::header(const QByteArray& name) const {
    for (const auto& [n, v] : headers) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

RawHttpServer::RawHttpServer(QObject* parent) : QObject(parent) {
    setReply(200, "text/html", "<html>ok</html>");
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &RawHttpServer::onConnection);
}

RawHttpServer::~RawHttpServer() {
    // The sockets are children of the listening server and outlive m_buffers otherwise.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        disconnect(socket, nullptr, this, nullptr);
}

QString RawHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void RawHttpServer::setReply(int status, const QByteArray& contentType, const QByteArray& body) {
    m_status = status;
    m_contentType = contentType;
    m_body = body;
}

void RawHttpServer::answer(QTcpSocket* socket, const Request& request) {
    const QByteArray& target = request.target;
    auto send = [this, socket](int status, const QByteArray& headers, const QByteArray& body) {
        ++m_answered;
        // A route that frames its body itself (chunked) gets no length.
        const QByteArray length = headers.contains("Transfer-Encoding")
                                      ? QByteArray()
                                      : "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\n" + headers + length + "\r\n" + body);
    };
    if (!m_authorization.isEmpty() && request.header("Authorization") != m_authorization) {
        send(401, "WWW-Authenticate: Basic realm=\"gw\"\r\nContent-Type: text/html\r\n", "<html>401</html>");
        return;
    }
    if (m_routes.contains(target)) {
        const Route& route = m_routes[target];
        send(route.status, route.headers, route.body);
        return;
    }
    if (m_trickleMs > 0 || m_endless) {
        ++m_answered;
        stream(socket);
        return;
    }
    QByteArray body = m_body;
    body.replace("{target}", target);
    const QByteArray head = "HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nContent-Type: " + m_contentType +
                            "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    ++m_answered;
    if (m_cutShort) {
        socket->write(head + body.left(body.size() / 2));
        socket->flush();
        socket->disconnectFromHost();
        return;
    }
    socket->write(head + body);
}

void RawHttpServer::stream(QTcpSocket* socket) {
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000000000\r\n\r\n");
    QPointer<QTcpSocket> guard(socket);
    if (m_endless) {
        const QByteArray block(64 * 1024, 'x');
        auto more = [this, guard, block] {
            while (guard && guard->state() == QAbstractSocket::ConnectedState &&
                   guard->bytesToWrite() < 4 * block.size()) {
                guard->write(block);
                m_bytesSent += block.size();
            }
        };
        connect(socket, &QTcpSocket::bytesWritten, this, more);
        more();
        return;
    }
    auto* timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, this, [this, guard] {
        if (guard) {
            guard->write("x");
            ++m_bytesSent;
        }
    });
    timer->start(m_trickleMs);
}

void RawHttpServer::onConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void RawHttpServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (;;) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = lines[i].left(colon).trimmed();
            const QByteArray value = lines[i].mid(colon + 1).trimmed();
            request.headers.append({name, value});
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = value.toLongLong();
        }
        if (buffer.size() < headEnd + 4 + length)
            return;
        request.body = buffer.mid(headEnd + 4, length);
        request.answeredBefore = m_answered;
        buffer.remove(0, headEnd + 4 + length);
        m_requests.append(request);
        if (m_silent)
            continue;
        if (m_delayMs > 0) {
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(m_delayMs, this, [this, guard, request] {
                if (guard)
                    answer(guard, request);
            });
        } else {
            answer(socket, request);
        }
    }
}

} // namespace zelmora::test
