#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>

class QTcpSocket;

namespace zelmora::test {

// A loopback HTTP/1.1 peer that records every request byte for byte and answers each with a
// fixed reply: the exact request line, headers and body a client sent are what the wire-level
// tests look at.
class RawHttpServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target; // as on the request line
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int answeredBefore = 0; // replies already sent when this request arrived
        QByteArray header(const QByteArray& name) const;
    };

    explicit RawHttpServer(QObject* parent = nullptr);
    ~RawHttpServer() override;

    quint16 port() const { return m_server.serverPort(); }
    QString url(const QString& path = QStringLiteral("/")) const;

    // The reply sent to every request; "{target}" in the body stands for the request target.
    void setReply(int status, const QByteArray& contentType, const QByteArray& body);
    // Leaves requests unanswered.
    void setSilent(bool silent) { m_silent = silent; }
    // Answers after `ms` milliseconds.
    void setDelay(int ms) { m_delayMs = ms; }
    // Sends the head and half the body, then closes the connection.
    void setCutShort(bool cut) { m_cutShort = cut; }
    // Answers a request for `target` with its own status, header lines ("Name: value\r\n" each)
    // and body instead of the reply; a Content-Length is added unless the headers name a
    // Transfer-Encoding.
    void setRoute(const QByteArray& target, int status, const QByteArray& headers, const QByteArray& body) {
        m_routes.insert(target, Route{status, headers, body});
    }
    // Answers a request for `target` with a 302 to `location`.
    void setRedirect(const QByteArray& target, const QByteArray& location) {
        setRoute(target, 302, "Location: " + location + "\r\n", {});
    }
    // Answers 401 (Basic, realm "gw") to every request without exactly this Authorization value.
    void setAuthorization(const QByteArray& value) { m_authorization = value; }
    // Announces a long body and sends one byte of it every `ms` milliseconds (0: off).
    void setTrickle(int ms) { m_trickleMs = ms; }
    // Sends a body without end, as fast as the client takes it.
    void setEndless(bool endless) { m_endless = endless; }
    qint64 bytesSent() const { return m_bytesSent; }
    // Connections accepted so far.
    int connections() const { return m_connections; }

    const QList<Request>& requests() const { return m_requests; }

private:
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);
    void stream(QTcpSocket* socket);

    QTcpServer m_server;
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    int m_status = 200;
    QByteArray m_contentType;
    QByteArray m_body;
    bool m_silent = false;
    bool m_cutShort = false;
    int m_delayMs = 0;
    int m_answered = 0;
    struct Route {
        int status;
        QByteArray headers;
        QByteArray body;
    };
    QHash<QByteArray, Route> m_routes;
    QByteArray m_authorization;
    int m_trickleMs = 0;
    bool m_endless = false;
    qint64 m_bytesSent = 0;
    int m_connections = 0;
};

} // namespace zelmora::test
