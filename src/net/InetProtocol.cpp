#include "net/InetProtocol.h"

#include "core/Cp932.h"
#include "core/Cp932Stream.h"
#include "core/Logging.h"
#include "net/TransferManager.h"
#include "net/Transport.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

namespace zelmora {

namespace {

// Proxy mode 0 follows the desktop's settings, as the browser does; the factory is asked per
// request so that a changed setting applies at once.
class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

bool sentAsIs(unsigned char c) {
    // Printable ASCII that may stand in a URL; anything else is percent-encoded.
    return c > 0x20 && c < 0x7F && !QByteArrayView("\"<>\\^`{|}").contains(char(c));
}

// The network library names the request's URL in its error texts ("Error transferring URL - server
// replied: ..."), and the login's URL carries the password: it is shown with the password hidden.
QString withoutPasswords(const QString& errorText, const QUrl& url) {
    QString text = errorText;
    const QString hidden = redactPasswords(url.toString(QUrl::FullyEncoded));
    for (const QUrl::ComponentFormattingOption format : {QUrl::FullyEncoded, QUrl::PrettyDecoded}) {
        const QString shown = url.toString(format);
        if (!shown.isEmpty())
            text.replace(shown, hidden);
    }
    return redactPasswords(text);
}

// A fixed word per outcome, for the support log (the Japanese descriptions share their wording).
const char* outcomeWord(TransferError error) {
    switch (error) {
    case TransferError::None:
        return "answered";
    case TransferError::MalformedUrl:
        return "malformed-url";
    case TransferError::UnencodableText:
        return "unencodable";
    case TransferError::Watchdog:
        return "watchdog";
    case TransferError::Cancelled:
        return "cancelled";
    case TransferError::TimedOut:
        return "timeout";
    case TransferError::CannotConnect:
        return "cannot-connect";
    case TransferError::ConnectionClosed:
        return "connection-closed";
    case TransferError::AuthenticationFailed:
        return "authentication-failed";
    case TransferError::ServerError:
        return "server-error";
    case TransferError::TooLarge:
        return "too-large";
    case TransferError::Other:
        break;
    }
    return "other";
}

} // namespace

struct InetProtocol::Transfer {
    QNetworkReply* reply = nullptr;
    bool finished = false;
    // Set by the watchdog or cancel() before they abort the reply: the network library reports all
    // three ends (and its own transfer time-out) as OperationCanceledError.
    TransferError reason = TransferError::None;
    bool authenticationAnswered = false;
    QNetworkReply::NetworkError networkError = QNetworkReply::NoError;
    int httpStatus = 0;
    // The answer, decoded as it comes in: a large page costs no long pause once it is all there.
    cp932::Stream text;
    QByteArray piece;
    QString detail;
    QElapsedTimer sent; // how long the server took is the first question about a slow or failed request
};

InetProtocol::InetProtocol(QObject* parent) : QObject(parent), m_manager(new TransferManager(this)) {
    // The groupware keeps its login in a session cookie; the jar lives as long as this object.
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager));
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this, &InetProtocol::onAuthenticationRequired);
    applyProxy();
}

InetProtocol::~InetProtocol() {
    if (m_current && !m_current->finished)
        endTransfer(m_current, TransferError::Cancelled);
}

QNetworkAccessManager* InetProtocol::manager() const {
    return m_manager;
}

InetProtocol& InetProtocol::instance() {
    static QPointer<InetProtocol> theInstance;
    if (!theInstance)
        theInstance = new InetProtocol(QCoreApplication::instance());
    return *theInstance;
}

void InetProtocol::setOptions(const InetOptions& options) {
    if (options == m_options)
        return;
    m_options = options;
    applyProxy();
    // Cached credentials and connections through the old proxy must not outlive a change.
    m_manager->clearAccessCache();
    m_manager->dropConnection();
}

void InetProtocol::applyProxy() {
    switch (m_options.proxyMode) {
    case 1:
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        break;
    case 2: {
        const qint32 port = m_options.proxyPort;
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, m_options.proxyServer,
                                          port > 0 && port <= 65535 ? quint16(port) : quint16(0)));
        break;
    }
    default:
        m_manager->setProxyFactory(new SystemProxyFactory);
        break;
    }
}

QUrl InetProtocol::wireUrl(const QString& url, TransferError* error) {
    auto fail = [error](TransferError e) {
        if (error)
            *error = e;
        return QUrl();
    };
    if (error)
        *error = TransferError::None;
    const qsizetype schemeEnd = url.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0)
        return fail(TransferError::MalformedUrl);
    static const QRegularExpression authorityEnd(QStringLiteral("[/?#]"));
    qsizetype pathStart = url.indexOf(authorityEnd, schemeEnd + 3);
    if (pathStart < 0)
        pathStart = url.size();

    const QString authority = url.left(pathStart);
    QByteArray bytes;
    bool ascii = true;
    for (const QChar c : authority)
        ascii = ascii && c.unicode() < 0x80;
    // A host name in Japanese goes out in its ACE form; QUrl knows IDNA, and the authority holds
    // no percent-encoded bytes that it could mangle.
    bytes = ascii ? authority.toLatin1() : QUrl(authority).toEncoded();

    bool encodable = true;
    const QByteArray rest = cp932::encode(url.mid(pathStart), &encodable);
    if (!encodable)
        return fail(TransferError::UnencodableText);
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : rest) {
        const auto c = static_cast<unsigned char>(ch);
        if (sentAsIs(c)) {
            bytes.append(ch);
        } else {
            bytes.append('%');
            bytes.append(hex[c >> 4]);
            bytes.append(hex[c & 0x0F]);
        }
    }
    // Strict mode keeps every %XX as it is; tolerant parsing would turn stray bytes into U+FFFD.
    QUrl result = QUrl::fromEncoded(bytes, QUrl::StrictMode);
    const QString scheme = result.scheme().toLower();
    if (!result.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        result.host().isEmpty())
        return fail(TransferError::MalformedUrl);
    return result;
}

QNetworkRequest InetProtocol::makeRequest(const QUrl& url) const {
    QNetworkRequest request(url);
    // An inactivity limit: it fires when nothing arrives for TIMEOUT seconds. A GET is bounded as a
    // whole besides (get()), so a server that trickles its answer cannot hold it for ever.
    request.setTransferTimeout(timeoutMs());
    // The server logon credentials go with every request; a redirect to another scheme, host or
    // port would hand them to that host, so only redirects within the server's origin are followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setHeader(
        QNetworkRequest::UserAgentHeader,
        QStringLiteral("Mozilla/4.0 (compatible; Zelmora/%1)").arg(QStringLiteral(ZELMORA_VERSION_STRING)));
    if (!m_options.userName.isEmpty()) {
        // Sent with every request, so that a server that asks for its own logon never sees a
        // request without it. Windows sends the pair in the ANSI code page; so do we.
        const QByteArray pair = cp932::encode(m_options.userName + QLatin1Char(':') + m_options.password);
        request.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    return request;
}

InetProtocol::TransferPtr InetProtocol::start(QNetworkReply* reply) {
    auto transfer = std::make_shared<Transfer>();
    transfer->reply = reply;
    transfer->sent.start();
    m_current = transfer;
    connect(reply, &QNetworkReply::finished, this, [this, transfer] { onReplyFinished(transfer); });
    connect(reply, &QNetworkReply::readyRead, this, [transfer] { readArrived(*transfer); });
    // What arrives is read and decoded at once; an answer without end would take all memory, so it
    // is cut at the cap.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, transfer](qint64 received, qint64) {
        if (received > kMaxBodyBytes)
            endTransfer(transfer, TransferError::TooLarge);
    });
    return transfer;
}

void InetProtocol::onReplyFinished(const TransferPtr& transfer) {
    QNetworkReply* reply = transfer->reply;
    if (!reply || transfer->finished)
        return;
    transfer->networkError = reply->error();
    transfer->httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen()) // an aborted reply is closed
        readArrived(*transfer);
    if (reply->error() != QNetworkReply::NoError)
        transfer->detail = withoutPasswords(reply->errorString(), reply->request().url());
    transfer->finished = true;
    transfer->reply = nullptr;
    reply->deleteLater();
    emit transferFinished();
}

void InetProtocol::readArrived(Transfer& transfer) {
    QNetworkReply* reply = transfer.reply;
    if (!reply || transfer.finished)
        return;
    if (transfer.piece.isEmpty()) {
        // The first piece: room for the announced length, up to the cap, so that a large page is
        // not copied as it grows, and one buffer to read every piece through.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            transfer.text.reserve(qBound<qint64>(0, length.toLongLong(), kMaxBodyBytes));
        transfer.piece.resize(64 * 1024);
    }
    qint64 got = 0;
    while ((got = reply->read(transfer.piece.data(), transfer.piece.size())) > 0)
        transfer.text.append(QByteArrayView(transfer.piece.constData(), got));
}

void InetProtocol::onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator) {
    // Answered once per request: a refused pair makes the server ask again, and answering that
    // again would loop. Left unanswered, the request ends with an authentication error.
    // A direct request that the server wants another logon scheme for hands over to a reply of the
    // network library, its child.
    const bool current = m_current && reply && (m_current->reply == reply || m_current->reply == reply->parent());
    if (!current || m_current->authenticationAnswered || m_options.userName.isEmpty())
        return;
    m_current->authenticationAnswered = true;
    authenticator->setUser(m_options.userName);
    authenticator->setPassword(m_options.password);
}

bool InetProtocol::isExecuting() const {
    return m_current && !m_current->finished;
}

void InetProtocol::cancel() {
    if (isExecuting())
        endTransfer(m_current, TransferError::Cancelled);
}

void InetProtocol::endTransfer(const TransferPtr& transfer, TransferError reason) {
    if (transfer->finished)
        return;
    transfer->reason = reason;
    if (transfer->reply)
        transfer->reply->abort(); // emits finished() before it returns
    if (!transfer->finished) {
        transfer->finished = true;
        emit transferFinished();
    }
}

void InetProtocol::waitFor(const TransferPtr& transfer, bool armWatchdog, int deadlineMs) {
    m_bTimeOut = false;
    if (transfer->finished)
        return;
    QEventLoop loop;
    connect(this, &InetProtocol::transferFinished, &loop, [&loop, transfer] {
        if (transfer->finished)
            loop.quit();
    });
    // tmrTimeOverTimer of this wait. It cancels the transfer from its own handler, not after the
    // loop returns: a nested wait (a timer handler's request) may be running above this one.
    QTimer tmrTimeOverTimer;
    tmrTimeOverTimer.setSingleShot(true);
    connect(&tmrTimeOverTimer, &QTimer::timeout, this, [this, transfer] {
        if (transfer->finished)
            return;
        m_bTimeOut = true;
        endTransfer(transfer, TransferError::Watchdog);
    });
    if (armWatchdog)
        tmrTimeOverTimer.start(m_watchdogMs);
    // The whole transfer's bound: ends the request as its time-out however much trickles in.
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this, transfer] { endTransfer(transfer, TransferError::TimedOut); });
    if (deadlineMs > 0)
        deadline.start(deadlineMs);
    loop.exec();
    // The loop also returns when the application quits; the request must not outlive the wait.
    if (!transfer->finished)
        endTransfer(transfer, TransferError::Cancelled);
}

void InetProtocol::waitForRunning() {
    // A request started from inside a wait (a timer's handler) queues here until the running one
    // ends; the watchdog of this wait cancels a running request that hangs.
    while (isExecuting()) {
        const TransferPtr running = m_current;
        waitFor(running, true);
    }
}

TransferError InetProtocol::classify(const Transfer& transfer) {
    if (transfer.reason != TransferError::None)
        return transfer.reason;
    switch (transfer.networkError) {
    case QNetworkReply::NoError:
        return TransferError::None;
    case QNetworkReply::OperationCanceledError: // only the transfer time-out aborts without a reason
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        return TransferError::TimedOut;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::UnknownProxyError:
        return TransferError::CannotConnect;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProtocolFailure:
        return TransferError::ConnectionClosed;
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return TransferError::AuthenticationFailed;
    case QNetworkReply::ProtocolUnknownError:
        return TransferError::MalformedUrl;
    default:
        break;
    }
    if (transfer.httpStatus >= 500)
        return TransferError::ServerError;
    // 4xx: the server's own error page, returned as text for IsValidPage to judge.
    if (transfer.httpStatus >= 400)
        return TransferError::None;
    return TransferError::Other;
}

void InetProtocol::logOutcome(const Transfer& transfer, TransferError error) {
    qCDebug(lcNet).noquote() << "  ->" << outcomeWord(error) << transfer.httpStatus
                             << describeTransferError(error, transfer.httpStatus) << transfer.detail << "after"
                             << transfer.sent.elapsed() << "ms";
}

PageResult InetProtocol::get(const QString& url) {
    waitForRunning();
    PageResult result;
    const QUrl wire = wireUrl(url, &result.error);
    if (!wire.isValid())
        return result;
    qCDebug(lcNet) << "GET" << redactPasswords(url);
    const TransferPtr transfer = start(m_manager->get(makeRequest(wire)));
    // The request time-out bounds a GET from its start to its last byte; the watchdog only stands
    // in when there is none.
    waitFor(transfer, timeoutMs() <= 0, timeoutMs());
    result.error = classify(*transfer);
    // A 5xx answer is the server's own error page, returned as text like a 4xx one: only
    // IsValidPage judges it (one group page in trouble must not fail a whole directory read).
    if (result.error == TransferError::ServerError)
        result.error = TransferError::None;
    result.httpStatus = transfer->httpStatus;
    result.detail = transfer->detail;
    logOutcome(*transfer, result.error);
    // The groupware writes cp932 whatever a web server or proxy labels the page with.
    if (result.error == TransferError::None || result.error == TransferError::AuthenticationFailed)
        result.text = transfer->text.take();
    return result;
}

PostResult InetProtocol::post(const QString& url, const QByteArray& body, const QString& headers) {
    waitForRunning();
    PostResult result;
    const QUrl wire = wireUrl(url, &result.error);
    if (!wire.isValid())
        return result;
    QNetworkRequest request = makeRequest(wire);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : headers.split(lineBreak, Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            request.setRawHeader(line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toLatin1());
    }
    qCDebug(lcNet).noquote() << "POST" << redactPasswords(url) << body.size() << "bytes:" << describeFormBody(body);
    const TransferPtr transfer = start(m_manager->post(request, body));
    waitFor(transfer, true);
    result.error = classify(*transfer);
    result.httpStatus = transfer->httpStatus;
    result.detail = transfer->detail;
    // The answer is read for this one text only: a session the server forgot is worth a new login.
    if (result.error == TransferError::None)
        result.loginRequired = IsLoginRequiredPage(transfer->text.take());
    logOutcome(*transfer, result.error);
    return result;
}

} // namespace zelmora
