#pragma once

#include <QByteArray>
#include <QString>

namespace zelmora {

// What the groupware answers, instead of the page asked for, to a request that needs a login it
// does not know: nobody logged in, or the session ended on the server's side (a restart).
inline const QString kLoginRequiredText = QStringLiteral("ログインが必要です");

// How a request to the groupware server ended.
enum class TransferError {
    None,                 // an answer arrived (a 4xx page, and a 5xx page of a GET, count as answers)
    MalformedUrl,         // the URL could not be sent; GetPage gives an empty page
    UnencodableText,      // the URL holds characters without a cp932 code
    Watchdog,             // the watchdog ended the wait; GetPage gives an empty page, PostForm true
    Cancelled,            // InetProtocol::cancel() ended the request
    TimedOut,             // TIMEOUT seconds passed without an answer
    CannotConnect,        // refused, unknown host, unreachable proxy
    ConnectionClosed,     // the connection broke off in the middle of the answer
    AuthenticationFailed, // the web server (or proxy) refused the server logon credentials
    ServerError,          // a 5xx answer to a POST (a GET returns the page)
    TooLarge,             // the answer went on beyond InetProtocol::kMaxBodyBytes and was cut off
    Other,
};

// Japanese description of an error, for message boxes and the command line.
QString describeTransferError(TransferError error, int httpStatus = 0);

// Outcome of GetPage.
struct PageResult {
    QString text; // body decoded from cp932 (also of 4xx/5xx answers); empty without an answer
    TransferError error = TransferError::None;
    int httpStatus = 0; // 0 when no answer arrived
    QString detail;     // the network library's own wording, for diagnostics

    // True when the caller's error handling must see the failure. The watchdog, a malformed URL
    // and a cancel give an empty page instead, which the page readers treat as missing data.
    bool isError() const {
        return error != TransferError::None && error != TransferError::Watchdog &&
               error != TransferError::MalformedUrl && error != TransferError::Cancelled;
    }
    // True when the server did not answer at all (cannot connect, time-out, watchdog, cut off).
    bool noAnswer() const;
    QString message() const { return describeTransferError(error, httpStatus); }
};

// Outcome of PostForm. The answer's body is not read.
struct PostResult {
    TransferError error = TransferError::None;
    int httpStatus = 0;
    QString detail;
    // The answer was the "login required" page: the server did not take the form. Only this is
    // looked for in the answer.
    bool loginRequired = false;

    // The request got no answer in time (watchdog or TIMEOUT) and was cancelled; it is not retried.
    bool timedOut() const { return error == TransferError::Watchdog || error == TransferError::TimedOut; }
    bool ok() const { return error == TransferError::None; }
    QString message() const { return describeTransferError(error, httpStatus); }
};

} // namespace zelmora
