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
    if (!args.rest().isEmpty())
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
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
    if (args.rest().size() != 1)
        return usage(synopsis);
    WhereEntryRequest request;
    request.detail = args.rest().constFirst();
    request.contact = args.value(QStringLiteral("contact"));
    request.until = args.value(QStringLiteral("until"));
    request.unit = args.value(QStringLiteral("unit"));
    bool ok = true;
    const qint32 forId = args.has(QStringLiteral("for")) ? args.value(QStringLiteral("for")).toInt(&ok) : -1;
    if (!ok || (args.has(QStringLiteral("for")) && forId < 0))
        return usage(synopsis);

    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
        return code;
    request.memberId = forId >= 0 ? forId : connection.session().userId();
    return report(PostWhereEntry(connection.settings(), request), request);
}

} // namespace zelmora::cli
