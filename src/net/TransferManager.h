#pragma once

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSet>
#include <QString>

class QTcpSocket;

namespace zelmora {

// The program's network access manager. A GET or POST over plain HTTP that goes straight to the
// server runs as a DirectReply: one HTTP/1.1 exchange on the calling thread over a connection kept
// between requests. Everything else takes the network library's own path: HTTPS, requests through
// a proxy, and servers that ask for a logon scheme other than Basic (the library answers Digest,
// NTLM and Negotiate).
//
// The library reads the head of every answer from an unbuffered socket one byte per system call,
// on a thread of its own: for the few hundred bytes of a head that is most of a small page's cost.
class TransferManager : public QNetworkAccessManager {
    Q_OBJECT
public:
    // Set on a request that must take the library's path.
    static constexpr auto kLibraryPathAttribute = QNetworkRequest::Attribute(QNetworkRequest::User + 1);

    explicit TransferManager(QObject* parent = nullptr);
    ~TransferManager() override;

    // "host:port" of a URL: requests to one origin may share a connection.
    static QString originOf(const QUrl& url);

    // The kept connection to `origin` when it is idle and still open (the caller owns it then),
    // else nullptr.
    QTcpSocket* takeConnection(const QString& origin);
    // Keeps a connection whose answer is complete for the next request; a connection kept before
    // is closed.
    void keepConnection(const QString& origin, QTcpSocket* socket);
    // Closes the kept connection: new settings must not reuse it.
    void dropConnection();
    // From now on the requests to `origin` take the library's path.
    void requireLibraryPath(const QString& origin);

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* outgoingData) override;

private:
    bool goesDirect(Operation op, const QNetworkRequest& request);

    QTcpSocket* m_kept = nullptr;
    QString m_keptOrigin;
    QSet<QString> m_libraryOrigins;
};

} // namespace zelmora
