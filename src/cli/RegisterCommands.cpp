// zelmora-cli present, absent, register: whereabouts entry requests for a member.
// Exit status: 0 sent and answered, 1 not sent or refused, 2 usage, 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "groupware/Registration.h"

namespace zelmora::cli {

namespace {

int report(const PostResult& post, const WhereEntryRequest& request) {
    const int code = postOutcome(post);
    printJson(QJsonObject{{QStringLiteral("ok"), code == ExitOk},
                          {QStringLiteral("id"), request.memberId},
                          {QStringLiteral("position"), request.detail},
                          {QStringLiteral("contact"), request.contact}});
    return code;
}

int registerAutomatically(const CliArgs& args, bool present, const char* synopsis) {
    if (!args.rest().isEmpty() || !args.has(QStringLiteral("user")))
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;
    const ConnectionSettings& settings = connection.settings();
    const PostResult post = RegistPosition(settings, connection.session(), present);
    return report(post, autoRegistrationRequest(settings, connection.session().userId(), present));
}

} // namespace

int runPresentCommand(const CliArgs& args) {
    return registerAutomatically(args, true, "present --user ID");
}

int runAbsentCommand(const CliArgs& args) {
    return registerAutomatically(args, false, "absent --user ID");
}

int runRegisterCommand(const CliArgs& args) {
    static const char* const synopsis = "register PLACE --user ID [--contact C] [--until N] [--unit U] [--for ID]";
    if (args.rest().size() != 1 || !args.has(QStringLiteral("user")))
        return usage(synopsis);
    WhereEntryRequest request;
    request.detail = args.rest().constFirst();
    request.contact = args.value(QStringLiteral("contact"));
    request.until = args.value(QStringLiteral("until"));
    request.unit = args.value(QStringLiteral("unit"));
    bool ok = true;
    request.memberId = args.value(QStringLiteral("for"), args.value(QStringLiteral("user"))).toInt(&ok);
    if (!ok || request.memberId < 0)
        return usage(synopsis);

    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;
    return report(PostWhereEntry(connection.settings(), request), request);
}

} // namespace zelmora::cli
