#pragma once

#include "net/TransferResult.h"

#include <QObject>
#include <QUrl>

#include <memory>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace zelmora {

class TransferManager;

// What SetInetOptions hands to the transfer object.
struct InetOptions {
    int timeoutSeconds = 180; // TIMEOUT; 0 or less: no request time-out (the watchdog bounds GETs then)
    int proxyMode = 0;        // 0 system settings, 1 no proxy, 2 proxyServer:proxyPort
    QString proxyServer;
    qint32 proxyPort = 0;
    QString userName; // server logon (HTTP authentication of the web server), not the groupware login
    QString password;

    bool operator==(const InetOptions&) const = default;
};

// The one HTTP connection of the program (frmInetProtocol): a network access manager whose
// cookie jar carries the groupware login for the life of the program, the proxy and server
// logon settings, and the waits that keep the event loop running while a request is out.
//
// Requests are serialised: a request first waits for the running one. The waits run a nested
// event loop, so timers and clicks are handled meanwhile; a handler that starts its own request
// from inside a wait queues behind the running one in the same way. Each wait arms its own
// watchdog (tmrTimeOverTimer, 30 s) because waits nest; when it fires the running transfer is
// cancelled.
class InetProtocol : public QObject {
    Q_OBJECT
public:
    static constexpr int kWatchdogMs = 30000;
    // Largest answer body taken in: far above any groupware page (a big board is some hundred
    // kilobytes). A longer answer is cut off and fails as TransferError::TooLarge.
    static constexpr qint64 kMaxBodyBytes = 32 * 1024 * 1024;

    explicit InetProtocol(QObject* parent = nullptr);
    ~InetProtocol() override;

    // The program's transfer object, created on first use and kept until the application ends.
    static InetProtocol& instance();

    void setOptions(const InetOptions& options);
    const InetOptions& options() const { return m_options; }

    // Interval of the watchdog in milliseconds (kWatchdogMs unless a test shortens it).
    void setWatchdogInterval(int ms) { m_watchdogMs = ms; }
    int watchdogInterval() const { return m_watchdogMs; }

    // GET; the whole transfer is bounded by the request time-out. `url` is ASCII with a percent-encoded query; other
    // characters are sent as percent-encoded cp932 bytes.
    PageResult get(const QString& url);
    // POST of an application/x-www-form-urlencoded body; bounded by the watchdog. `headers` is
    // empty or "Name: value" lines separated by CR LF.
    PostResult post(const QString& url, const QByteArray& body, const QString& headers = {});

    // Ends the running request, if any; its caller sees TransferError::Cancelled.
    void cancel();
    bool isExecuting() const;
    // True when the last wait was ended by the watchdog.
    bool bTimeOut() const { return m_bTimeOut; }

    QNetworkAccessManager* manager() const;

    // The bytes a URL text is sent as: ASCII kept, other characters as percent-encoded cp932.
    // An invalid result (with `error` set) when the text is no http(s) URL.
    static QUrl wireUrl(const QString& url, TransferError* error = nullptr);

signals:
    void transferFinished();

private:
    struct Transfer;
    using TransferPtr = std::shared_ptr<Transfer>;

    void applyProxy();
    QNetworkRequest makeRequest(const QUrl& url) const;
    TransferPtr start(QNetworkReply* reply);
    void onReplyFinished(const TransferPtr& transfer);
    static void readArrived(Transfer& transfer);
    void onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void waitForRunning();
    void waitFor(const TransferPtr& transfer, bool armWatchdog, int deadlineMs = 0);
    int timeoutMs() const { return m_options.timeoutSeconds > 0 ? m_options.timeoutSeconds * 1000 : 0; }
    void endTransfer(const TransferPtr& transfer, TransferError reason);
    static TransferError classify(const Transfer& transfer);
    static void logOutcome(const Transfer& transfer, TransferError error);

    TransferManager* m_manager = nullptr;
    InetOptions m_options;
    int m_watchdogMs = kWatchdogMs;
    bool m_bTimeOut = false;
    TransferPtr m_current;
};

} // namespace zelmora
