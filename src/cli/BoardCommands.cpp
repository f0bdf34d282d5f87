// zelmora-cli board, me, choices, permission: reading the whereabouts pages as JSON.
// Exit status: 0 read, 1 the server answered with an error page (or refused the login), 2 usage,
// 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "groupware/Board.h"
#include "groupware/Registration.h"
#include "net/Transport.h"

#include <QJsonArray>

namespace zelmora::cli {

namespace {

QJsonObject memberJson(const MemberRecord& m) {
    return QJsonObject{{QStringLiteral("id"), m.id},
                       {QStringLiteral("name"), m.name},
                       {QStringLiteral("position"), m.position},
                       {QStringLiteral("updated"), dateTimeJson(m.updated)},
                       {QStringLiteral("contact"), m.contact},
                       {QStringLiteral("memo"), m.memo},
                       {QStringLiteral("auto"), m.autoRegistered},
                       {QStringLiteral("present"), m.present}};
}

} // namespace

int runBoardCommand(const CliArgs& args) {
    bool ok = false;
    const qint32 groupId = args.rest().size() == 1 ? args.rest().constFirst().toInt(&ok) : 0;
    if (!ok || groupId < 0)
        return usage("board GID");
    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;

    QList<MemberRecord> members;
    PageResult page;
    if (!GetPositionList(connection.settings(), connection.session(), members, groupId, &page))
        return pageFailure(page);
    QJsonArray out;
    for (const MemberRecord& m : members)
        out.append(memberJson(m));
    printJson(out);
    return ExitOk;
}

int runMeCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("me --user ID");
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, "me --user ID"); code != ExitOk)
        return code;

    PageResult page;
    const MemberRecord own = GetMyPosition(connection.settings(), connection.session(), &page);
    if (own.name.isEmpty())
        return pageFailure(page, QStringLiteral("the entry page shows no entry"));
    QJsonObject out = memberJson(own);
    out.remove(QStringLiteral("id"));
    out.remove(QStringLiteral("memo"));
    printJson(out);
    return ExitOk;
}

int runChoicesCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("choices --user ID");
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, "choices --user ID"); code != ExitOk)
        return code;

    PageResult page;
    const WhereEntryChoices choices = GetWhereEntryChoices(connection.settings(), connection.session(), &page);
    if (!IsValidPage(page.text))
        return pageFailure(page);
    printJson(QJsonObject{{QStringLiteral("place"), QJsonArray::fromStringList(choices.placesWithoutSeparators())},
                          {QStringLiteral("until"), QJsonArray::fromStringList(choices.until)},
                          {QStringLiteral("unit"), QJsonArray::fromStringList(choices.unit)}});
    return ExitOk;
}

int runPermissionCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("permission --user ID");
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, "permission --user ID"); code != ExitOk)
        return code;

    // The program checks against its user directory; here the board of everyone stands in for it.
    QList<MemberRecord> everyone;
    PageResult page;
    if (!GetPositionList(connection.settings(), connection.session(), everyone, 0, &page))
        return pageFailure(page);
    QList<UserRecord> users;
    for (const MemberRecord& m : everyone)
        users.append(UserRecord{m.id, m.name, {}, 0, false});

    ConnectionSettings& settings = connection.settings();
    settings.memberPermissionState = PermissionDenied;
    CheckPositionPermission(settings, connection.session(), users, &page);
    if (page.isError())
        return pageFailure(page);
    printJson(QJsonObject{{QStringLiteral("state"), settings.memberPermissionState}});
    return ExitOk;
}

} // namespace zelmora::cli
