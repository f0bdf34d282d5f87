#include "net/DirectReply.h"

#include "net/TransferManager.h"

#include <QLocale>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QTcpSocket>

#include <cstring>
#include <utility>

namespace zelmora {

namespace {

constexpr int kMaxRedirects = 50;

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool sameOrigin(const QUrl& a, const QUrl& b) {
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(80) == b.port(80);
}

// The languages the user reads, as the network library announces them.
const QByteArray& acceptLanguage() {
    static const QByteArray value = [] {
        QString locale = QLocale::system().name();
        if (locale == QLatin1String("C"))
            return QByteArray("en,*");
        locale.replace(QLatin1Char('_'), QLatin1Char('-'));
        return (locale + (locale.startsWith(QLatin1String("en-")) ? QStringLiteral(",*") : QStringLiteral(",en,*")))
            .toLatin1();
    }();
    return value;
}

QNetworkReply::NetworkError networkError(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

} // namespace

DirectReply::DirectReply(TransferManager& manager, QNetworkAccessManager::Operation operation,
                         const QNetworkRequest& request, QByteArray body, QObject* parent)
    : QNetworkReply(parent), m_manager(manager),
      m_method(operation == QNetworkAccessManager::PostOperation ? "POST" : "GET"), m_body(std::move(body)),
      m_target(request.url()) {
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_inactivity.setSingleShot(true);
    connect(&m_inactivity, &QTimer::timeout, this, &DirectReply::abort);
    // Started from the event loop, as the library's replies are: the caller connects first.
    QMetaObject::invokeMethod(this, &DirectReply::start, Qt::QueuedConnection);
}

DirectReply::~DirectReply() {
    releaseSocket(false);
}

void DirectReply::abort() {
    if (isFinished())
        return;
    releaseSocket(false);
    if (m_library) {
        disconnect(m_library, nullptr, this, nullptr);
        m_library->abort();
    }
    QIODevice::close();
    finishWith(OperationCanceledError, tr("Operation canceled"));
}

qint64 DirectReply::bytesAvailable() const {
    return m_readable.size() + QIODevice::bytesAvailable();
}

qint64 DirectReply::readData(char* data, qint64 maxSize) {
    const qint64 count = qMin<qint64>(maxSize, m_readable.size());
    if (count == 0)
        return isFinished() ? -1 : 0;
    std::memcpy(data, m_readable.constData(), size_t(count));
    // Read whole as a rule (the transfer reads all there is at each readyRead); the block is kept.
    if (count == m_readable.size())
        m_readable.resize(0);
    else
        m_readable.remove(0, count);
    return count;
}

void DirectReply::start() {
    if (isFinished())
        return;
    m_parser = HttpResponseParser();
    m_next = Next::Deliver;
    m_socket = m_manager.takeConnection(TransferManager::originOf(m_target));
    m_reused = m_socket != nullptr;
    if (!m_socket) {
        m_socket = new QTcpSocket;
        m_socket->setProxy(QNetworkProxy::NoProxy);
        connect(m_socket, &QAbstractSocket::connected, this, &DirectReply::sendRequest);
    }
    const int timeoutMs = request().transferTimeout();
    auto restartInactivity = [this, timeoutMs] {
        if (timeoutMs > 0)
            m_inactivity.start(timeoutMs);
    };
    restartInactivity();
    connect(m_socket, &QTcpSocket::bytesWritten, this, restartInactivity);
    connect(m_socket, &QTcpSocket::readyRead, this, [this, restartInactivity] {
        restartInactivity();
        onReadyRead();
    });
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &DirectReply::onSocketEnded);
    connect(m_socket, &QAbstractSocket::disconnected, this, &DirectReply::onSocketEnded);
    if (m_reused)
        sendRequest();
    else
        m_socket->connectToHost(m_target.host(), quint16(m_target.port(80)),
                                QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void DirectReply::sendRequest() {
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Head and body in one write: one segment for a small form.
    m_socket->write(requestHead() + m_body);
}

QByteArray DirectReply::requestHead() const {
    QByteArray target = m_target.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!target.startsWith('/'))
        target.prepend('/');
    QByteArray host = m_target.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_target.port() >= 0 && m_target.port() != 80)
        host += ':' + QByteArray::number(m_target.port());

    QByteArray head;
    head.reserve(512);
    head += m_method + ' ' + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    const QNetworkRequest& sent = request();
    const bool hasBody = m_method == "POST";
    for (const QByteArray& name : sent.rawHeaderList()) {
        if (!hasBody && name.compare("Content-Type", Qt::CaseInsensitive) == 0)
            continue; // a POST redirected into a GET leaves its body behind
        head += name + ": " + sent.rawHeader(name) + "\r\n";
    }
    if (QNetworkCookieJar* jar = m_manager.cookieJar(); jar && !sent.hasRawHeader("Cookie")) {
        const QList<QNetworkCookie> cookies = jar->cookiesForUrl(m_target);
        for (qsizetype i = 0; i < cookies.size(); ++i)
            head += (i == 0 ? "Cookie: " : "; ") + cookies[i].toRawForm(QNetworkCookie::NameAndValueOnly);
        if (!cookies.isEmpty())
            head += "\r\n";
    }
    if (hasBody)
        head += "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
    if (!sent.hasRawHeader("Accept-Language"))
        head += "Accept-Language: " + acceptLanguage() + "\r\n";
    head += "Connection: Keep-Alive\r\n\r\n";
    return head;
}

void DirectReply::onReadyRead() {
    if (isFinished() || !m_socket || m_reading)
        return;
    // The socket is unbuffered: each read is one system call straight into the piece, which stays
    // the same block from piece to piece, and each piece is handed on before the next is read.
    m_reading = true;
    if (m_piece.isEmpty())
        m_piece.resize(64 * 1024);
    while (m_socket && !isFinished()) {
        const qint64 got = m_socket->read(m_piece.data(), m_piece.size());
        // An unbuffered socket finds the server's close in a read, and reports it by the result only.
        if (got < 0)
            m_endedWhileReading = true;
        if (got <= 0 || !take(QByteArrayView(m_piece.constData(), got)))
            break;
    }
    m_reading = false;
    // The server's close found by a read above is dealt with once the piece is handed on.
    if (std::exchange(m_endedWhileReading, false))
        onSocketEnded();
}

bool DirectReply::take(QByteArrayView data) {
    const qint64 bodyBefore = m_bodyBytes;
    while (!data.isEmpty()) {
        const bool hadHead = m_parser.headComplete();
        QByteArray& sink = m_next == Next::Deliver ? m_readable : m_discarded;
        const qsizetype sinkBefore = sink.size();
        data = data.sliced(m_parser.feed(data, sink));
        if (m_next == Next::Deliver)
            m_bodyBytes += sink.size() - sinkBefore;
        m_discarded.clear(); // the body of a redirect or of a refused logon is not the page
        if (m_parser.failed()) {
            releaseSocket(false);
            finishWith(ProtocolFailure, tr("The server's answer is not valid HTTP"));
            return false;
        }
        if (!hadHead && m_parser.headComplete())
            onHead();
        if (m_parser.done()) {
            onResponseDone(data.isEmpty());
            return false;
        }
    }
    if (m_bodyBytes > bodyBefore) {
        emit readyRead();
        if (!isFinished())
            emit downloadProgress(m_bodyBytes, m_parser.contentLength());
    }
    return !isFinished();
}

void DirectReply::onSocketEnded() {
    if (isFinished() || !m_socket)
        return;
    if (m_reading) {
        m_endedWhileReading = true;
        return;
    }
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        onReadyRead(); // what came before the close
        if (isFinished() || !m_socket)
            return;
    }
    // A kept connection the server closed while it lay idle: the request was never read.
    if (m_reused && !m_retried && m_parser.nothingReceived()) {
        m_retried = true;
        releaseSocket(false);
        return start();
    }
    if (m_parser.closed())
        return onResponseDone(false);
    const NetworkError error = networkError(m_socket->error());
    const QString text = m_socket->errorString();
    releaseSocket(false);
    finishWith(error, text);
}

void DirectReply::onHead() {
    if (QNetworkCookieJar* jar = m_manager.cookieJar()) {
        for (const auto& [name, value] : m_parser.headers()) {
            if (name.compare("Set-Cookie", Qt::CaseInsensitive) == 0)
                jar->setCookiesFromUrl(QNetworkCookie::parseCookies(value), m_target);
        }
    }
    const int status = m_parser.status();
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, status);
    m_next = nextAfter(status);
    if (m_next != Next::Deliver)
        return;
    for (const auto& [name, value] : m_parser.headers()) {
        const QByteArray before = rawHeader(name);
        setRawHeader(name, before.isEmpty() ? value : before + ", " + value);
    }
    emit metaDataChanged();
}

DirectReply::Next DirectReply::nextAfter(int status) const {
    if (isRedirect(status) && !m_parser.header("Location").isEmpty())
        return Next::Redirect;
    if (status != 401 || !request().hasRawHeader("Authorization"))
        return Next::Deliver;
    bool challenged = false;
    for (const auto& [name, value] : m_parser.headers()) {
        if (name.compare("WWW-Authenticate", Qt::CaseInsensitive) != 0)
            continue;
        if (value.trimmed().toLower().startsWith("basic"))
            return Next::Deliver; // the Basic logon already sent was refused
        challenged = true;
    }
    return challenged ? Next::LibraryPath : Next::Deliver;
}

void DirectReply::onResponseDone(bool connectionReusable) {
    releaseSocket(connectionReusable && m_parser.keepAlive());
    switch (m_next) {
    case Next::Redirect:
        return redirect();
    case Next::LibraryPath:
        return takeLibraryPath();
    case Next::Deliver:
        break;
    }
    if (m_bodyBytes > 0) {
        emit readyRead();
        if (isFinished())
            return;
    }
    const NetworkError error = statusError(m_parser.status());
    finishWith(error, error == NoError ? QString()
                                       : tr("Error transferring %1 - server replied: %2")
                                             .arg(m_target.toString(), QString::number(m_parser.status())));
}

void DirectReply::redirect() {
    const QUrl next = m_target.resolved(QUrl::fromEncoded(m_parser.header("Location")));
    if (++m_redirects > kMaxRedirects)
        return finishWith(TooManyRedirectsError, tr("Too many redirects"));
    // The server logon goes with every request: it must not reach another host, port or scheme.
    if (!next.isValid() || !sameOrigin(next, m_target))
        return finishWith(InsecureRedirectError, tr("Insecure redirect"));
    const int status = m_parser.status();
    if (status == 303 || ((status == 301 || status == 302) && m_method == "POST")) {
        m_method = "GET";
        m_body.clear();
    }
    m_target = next;
    setUrl(next);
    emit redirected(next);
    start();
}

void DirectReply::takeLibraryPath() {
    m_manager.requireLibraryPath(TransferManager::originOf(m_target));
    QNetworkRequest again = request();
    again.setUrl(m_target);
    again.setAttribute(TransferManager::kLibraryPathAttribute, true);
    m_library = m_method == "POST" ? m_manager.post(again, m_body) : m_manager.get(again);
    // The library asks the manager for the logon with its own reply, whose parent is this one.
    m_library->setParent(this);
    connect(m_library, &QNetworkReply::readyRead, this, [this] {
        m_readable += m_library->readAll();
        emit readyRead();
    });
    connect(m_library, &QNetworkReply::downloadProgress, this, &QNetworkReply::downloadProgress);
    connect(m_library, &QNetworkReply::finished, this, [this] {
        m_readable += m_library->readAll();
        setAttribute(QNetworkRequest::HttpStatusCodeAttribute,
                     m_library->attribute(QNetworkRequest::HttpStatusCodeAttribute));
        for (const auto& [name, value] : m_library->rawHeaderPairs())
            setRawHeader(name, value);
        finishWith(m_library->error(), m_library->errorString());
    });
}

void DirectReply::releaseSocket(bool keep) {
    if (!m_socket)
        return;
    QTcpSocket* socket = std::exchange(m_socket, nullptr);
    disconnect(socket, nullptr, this, nullptr);
    if (keep) {
        m_manager.keepConnection(TransferManager::originOf(m_target), socket);
        return;
    }
    socket->abort();
    socket->deleteLater();
}

void DirectReply::finishWith(NetworkError error, const QString& text) {
    if (isFinished())
        return;
    m_inactivity.stop();
    if (error != NoError)
        setError(error, text);
    setFinished(true);
    if (error != NoError)
        emit errorOccurred(error);
    emit finished();
}

QNetworkReply::NetworkError DirectReply::statusError(int status) const {
    // The codes the library gives the same answers; the transfer tells them apart by the status.
    switch (status) {
    case 401:
        return AuthenticationRequiredError;
    case 403:
        return ContentAccessDenied;
    case 404:
        return ContentNotFoundError;
    case 407:
        return ProxyAuthenticationRequiredError;
    case 500:
        return InternalServerError;
    default:
        break;
    }
    if (status >= 500)
        return UnknownServerError;
    return status >= 400 ? UnknownContentError : NoError;
}

} // namespace zelmora
