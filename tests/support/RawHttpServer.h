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

    const QList<Request>& requests() const { return m_requests; }

private:
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QByteArray& target);

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
};

} // namespace zelmora::test
