// zelmora-cli check, login, apps: server check, login and the usable applications.
// Exit status: 0 yes, 1 the server answered no, 2 usage, 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "groupware/Login.h"

namespace zelmora::cli {

int runCheckCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("check");
    CliConnection connection;
    if (const int code = connection.open(args); code != ExitOk)
        return code;
    PageResult page;
    const bool ok = CheckServer(connection.settings(), &page);
    printJson(QJsonObject{{QStringLiteral("ok"), ok}});
    if (ok)
        return ExitOk;
    return page.noAnswer() ? pageFailure(page) : ExitFailed;
}

int runLoginCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("login --user ID");
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, "login --user ID"); code != ExitOk) {
        if (code != ExitUsage)
            printJson(QJsonObject{{QStringLiteral("ok"), false}});
        return code;
    }
    printJson(QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("user"), connection.session().userId()}});
    return ExitOk;
}

int runAppsCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("apps --user ID");
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, "apps --user ID"); code != ExitOk)
        return code;
    const ApplicationFlags mask = GetUsableApplications(connection.settings());
    connection.settings().usableApplications = mask;
    printJson(QJsonObject{{QStringLiteral("mask"), int(mask)}});
    return ExitOk;
}

} // namespace zelmora::cli
