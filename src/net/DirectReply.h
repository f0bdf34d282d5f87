#pragma once

#include "net/HttpResponseParser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

namespace zelmora {

class TransferManager;

// One GET or POST over plain HTTP/1.1, straight to the server, on the calling thread. Behaves as
// the network library's reply does for the requests the program makes: the body readable as it
// arrives, cookies taken from and given to the manager's jar, redirects followed within the
// server's origin only (up to 50), the request's transfer time-out as an inactivity limit that
// ends in OperationCanceledError, and abort() finishing at once.
//
// A kept connection that the server closed before answering takes the request once more on a new
// one. A 401 that offers no Basic logon while credentials were sent hands the request to the
// library, which speaks the other schemes, and the origin keeps that path.
class DirectReply : public QNetworkReply {
    Q_OBJECT
public:
    DirectReply(TransferManager& manager, QNetworkAccessManager::Operation operation, const QNetworkRequest& request,
                QByteArray body, QObject* parent = nullptr);
    ~DirectReply() override;

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    enum class Next { Deliver, Redirect, LibraryPath };

    void start();
    void sendRequest();
    QByteArray requestHead() const;
    void onReadyRead();
    // Hands one piece from the socket to the parser; false once the answer is complete or failed.
    bool take(QByteArrayView data);
    void onSocketEnded();
    void onHead();
    Next nextAfter(int status) const;
    void onResponseDone(bool connectionReusable);
    void redirect();
    void takeLibraryPath();
    void releaseSocket(bool keep);
    void finishWith(NetworkError error, const QString& text);
    NetworkError statusError(int status) const;

    TransferManager& m_manager;
    QByteArray m_method;
    QByteArray m_body;
    QUrl m_target; // where the request goes, after redirects
    QTcpSocket* m_socket = nullptr;
    bool m_reused = false;
    bool m_retried = false;
    bool m_reading = false;
    bool m_endedWhileReading = false;
    QByteArray m_piece;
    HttpResponseParser m_parser;
    Next m_next = Next::Deliver;
    QByteArray m_readable; // body bytes not yet read
    QByteArray m_discarded;
    qint64 m_bodyBytes = 0;
    int m_redirects = 0;
    QTimer m_inactivity;
    QPointer<QNetworkReply> m_library;
};

} // namespace zelmora
