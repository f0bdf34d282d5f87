#include "SimClient.h"

#include "core/Cp932.h"

#include <QEventLoop>
#include <QNetworkRequest>
#include <QTimer>

namespace zelmora::test {

QString SimAnswer::text() const {
    return cp932::decode(body);
}

QUrl SimClient::withQuery(const QUrl& program, const QByteArray& encodedQuery) {
    return QUrl::fromEncoded(program.toEncoded() + '?' + encodedQuery, QUrl::StrictMode);
}

SimAnswer SimClient::get(const QUrl& url, int timeoutMs, const QByteArray& authorization) {
    QNetworkRequest request(url);
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", authorization);
    return wait(m_manager.get(request), timeoutMs);
}

SimAnswer SimClient::post(const QUrl& url, const QByteArray& body, int timeoutMs) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    return wait(m_manager.post(request, body), timeoutMs);
}

SimAnswer SimClient::wait(QNetworkReply* reply, int timeoutMs) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    SimAnswer a;
    a.finished = reply->isFinished();
    if (!a.finished)
        reply->abort();
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.error = reply->error();
    if (a.finished)
        a.body = reply->readAll();
    a.contentType = reply->rawHeader("Content-Type");
    a.setCookie = reply->rawHeader("Set-Cookie");
    reply->deleteLater();
    return a;
}

} // namespace zelmora::test
