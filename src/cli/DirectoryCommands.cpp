// zelmora-cli groups, users: the group list and the user directory as the server has them now.
// Exit status: 0 read, 1 the server answered with an error page (or refused the login), 2 usage,
// 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "groupware/Directory.h"
#include "net/Transport.h"

#include <QJsonArray>

namespace zelmora::cli {

int runGroupsCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("groups");
    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;

    QList<GroupRecord> groups;
    PageResult page;
    if (!GetGroupList(connection.settings(), groups, &page))
        return pageFailure(page, QStringLiteral("the login page offers no groups"));
    QJsonArray out;
    for (const GroupRecord& g : groups)
        out.append(QJsonObject{{QStringLiteral("id"), g.id}, {QStringLiteral("name"), g.name}});
    printJson(out);
    return ExitOk;
}

int runUsersCommand(const CliArgs& args) {
    if (!args.rest().isEmpty())
        return usage("users");
    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;

    QList<UserRecord> users;
    PageResult page;
    if (!GetUserData(connection.settings(), users, &page))
        return pageFailure(page);
    QJsonArray out;
    for (const UserRecord& u : users) {
        QJsonArray groupIds;
        for (const qint32 id : u.groupIds)
            groupIds.append(id);
        out.append(QJsonObject{{QStringLiteral("id"), u.id},
                               {QStringLiteral("name"), u.name},
                               {QStringLiteral("groups"), groupIds},
                               {QStringLiteral("duplicate"), u.duplicateName}});
    }
    printJson(out);
    return ExitOk;
}

} // namespace zelmora::cli
