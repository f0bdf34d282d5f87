#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

namespace zelmora::test {

struct SimAnswer {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray contentType;
    QByteArray setCookie;
    bool finished = false; // false when the wait timed out
    QString text() const;
};

// A browser-like client for the server tests: one cookie jar, waits in a local event loop.
class SimClient {
public:
    SimAnswer get(const QUrl& url, int timeoutMs = 10000, const QByteArray& authorization = {});
    SimAnswer post(const QUrl& url, const QByteArray& body, int timeoutMs = 10000);
    // The program URL with an already encoded query.
    static QUrl withQuery(const QUrl& program, const QByteArray& encodedQuery);

    QNetworkAccessManager& manager() { return m_manager; }

private:
    SimAnswer wait(QNetworkReply* reply, int timeoutMs);

    QNetworkAccessManager m_manager;
};

} // namespace zelmora::test
