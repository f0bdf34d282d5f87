#include "cli/CliOutput.h"

#include "cli/CliConnection.h"
#include "net/TransferResult.h"
#include "net/Transport.h"

#include <QJsonDocument>

namespace zelmora::cli {

int openAndLogin(CliConnection& connection, const CliArgs& args) {
    if (const int code = connection.open(args); code != ExitOk)
        return code;
    return connection.login();
}

int openAndLoginUser(CliConnection& connection, const CliArgs& args, const char* synopsis) {
    if (const int code = connection.open(args); code != ExitOk)
        return code;
    if (!connection.hasUser()) {
        printErr(QStringLiteral("no user: give --user ID, or --data DIR whose last user has a stored password\n"));
        return usage(synopsis);
    }
    return connection.login();
}

int usage(const char* synopsis) {
    printErr(QStringLiteral("usage: zelmora-cli [options] %1\n%2\n")
                 .arg(QString::fromUtf8(synopsis), QString::fromUtf8(kConnectionUsage)));
    return ExitUsage;
}

void printJson(const QJsonArray& value) {
    printOut(QString::fromUtf8(QJsonDocument(value).toJson()));
}

void printJson(const QJsonObject& value) {
    printOut(QString::fromUtf8(QJsonDocument(value).toJson()));
}

QJsonValue dateTimeJson(const QDateTime& at) {
    if (!at.isValid())
        return QJsonValue::Null;
    return at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

int pageFailure(const PageResult& page, const QString& what) {
    if (page.noAnswer()) {
        printErr(page.message() + QLatin1Char('\n'));
        return ExitNoAnswer;
    }
    if (page.error != TransferError::None)
        printErr(page.message() + QLatin1Char('\n'));
    else if (!IsValidPage(page.text))
        printErr(QStringLiteral("the server answered with an error page\n"));
    else if (!what.isEmpty())
        printErr(what + QLatin1Char('\n'));
    return ExitFailed;
}

int postOutcome(const PostResult& post) {
    if (post.ok())
        return ExitOk;
    printErr(post.message() + QLatin1Char('\n'));
    switch (post.error) {
    case TransferError::Watchdog:
    case TransferError::TimedOut:
    case TransferError::CannotConnect:
    case TransferError::ConnectionClosed:
        return ExitNoAnswer;
    default:
        return ExitFailed;
    }
}

} // namespace zelmora::cli
