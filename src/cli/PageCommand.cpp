#include "cli/PageCommand.h"

#include "cli/CliConnection.h"
#include "net/Transport.h"

namespace zelmora::cli {

int runPageCommand(const CliArgs& args) {
    if (args.rest().size() > 1) {
        printErr(
            QStringLiteral("usage: zelmora-cli [options] page [QUERY]\n%1\n").arg(QLatin1String(kConnectionUsage)));
        return ExitUsage;
    }
    CliConnection connection;
    if (const int code = connection.open(args); code != ExitOk)
        return code;
    if (const int code = connection.login(); code != ExitOk)
        return code;

    QString url = connection.settings().programUrl;
    if (!args.rest().isEmpty())
        url += QLatin1Char('?') + args.rest().constFirst();
    const PageResult page = GetPage(url);
    printOut(page.text);
    if (page.noAnswer()) {
        printErr(page.message() + QLatin1Char('\n'));
        return ExitNoAnswer;
    }
    if (page.isError()) {
        printErr(page.message() + QLatin1Char('\n'));
        return ExitFailed;
    }
    if (IsValidPage(page.text))
        return ExitOk;
    // The server's own error page was printed; its status says what went wrong.
    if (page.httpStatus >= 500)
        printErr(describeTransferError(TransferError::ServerError, page.httpStatus) + QLatin1Char('\n'));
    return ExitFailed;
}

} // namespace zelmora::cli
