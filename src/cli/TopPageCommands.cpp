// zelmora-cli notices, latest-article, schedule, links: the personal top page and the newest
// bulletin article of the logged-in user.
// Exit status: 0 read, 1 the server answered with an error page (or refused the login), 2 usage,
// 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "core/Clock.h"
#include "groupware/Directory.h"
#include "groupware/TopPage.h"
#include "net/Transport.h"

#include <QJsonArray>

namespace zelmora::cli {

namespace {

// Fetches a page of the logged-in user into `text`; an exit code other than ExitOk when it did
// not come or is the groupware's error page (the login-required page is one).
int fetchPage(CliConnection& connection, const QString& query, QString& text) {
    const PageResult page = GetPage(connection.settings().programUrl + query);
    if (page.isError() || !IsValidPage(page.text))
        return pageFailure(page);
    text = page.text;
    return ExitOk;
}

int fetchTopPage(CliConnection& connection, QString& text) {
    return fetchPage(connection, QStringLiteral("?_System=Login&_Update=再読込"), text);
}

// The newest article on the bulletin index, -1 when it shows none (also for a user who may not
// use the bulletin board).
int fetchLatestArticleId(CliConnection& connection, qint32& id) {
    QString text;
    if (const int code = fetchPage(connection, QStringLiteral("?page=BulletinIndex"), text); code != ExitOk)
        return code;
    id = readLatestArticleId(text, connection.settings().programName);
    return ExitOk;
}

QJsonValue timeJson(const QDateTime& at) {
    return at.isValid() ? QJsonValue(at.time().toString(QStringLiteral("HH:mm"))) : QJsonValue(QJsonValue::Null);
}

} // namespace

int runNoticesCommand(const CliArgs& args) {
    static const char* const synopsis = "notices --user ID [--last-article N]";
    bool ok = true;
    qint32 lastNotified =
        args.has(QStringLiteral("last-article")) ? args.value(QStringLiteral("last-article")).toInt(&ok) : 0;
    if (!args.rest().isEmpty() || !ok)
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
        return code;

    QString page;
    if (const int code = fetchTopPage(connection, page); code != ExitOk)
        return code;
    qint32 latest = -1;
    if (const int code = fetchLatestArticleId(connection, latest); code != ExitOk)
        return code;
    const NoticeCounts counts = GetNotice(page, latest, lastNotified);
    printJson(QJsonObject{{QStringLiteral("mail"), counts.mail},
                          {QStringLiteral("circular"), counts.circular},
                          {QStringLiteral("memo"), counts.memo},
                          {QStringLiteral("newArticle"), counts.newArticle},
                          {QStringLiteral("workflow"), counts.workflow}});
    return ExitOk;
}

int runLatestArticleCommand(const CliArgs& args) {
    static const char* const synopsis = "latest-article --user ID";
    if (!args.rest().isEmpty())
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
        return code;
    qint32 id = -1;
    if (const int code = fetchLatestArticleId(connection, id); code != ExitOk)
        return code;
    printJson(QJsonObject{{QStringLiteral("id"), id}});
    return ExitOk;
}

int runScheduleCommand(const CliArgs& args) {
    static const char* const synopsis = "schedule --user ID";
    if (!args.rest().isEmpty())
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
        return code;

    QString page;
    if (const int code = fetchTopPage(connection, page); code != ExitOk)
        return code;
    // The user's row of the schedule box is found by the name the directory gives the user.
    QList<UserRecord> users;
    if (const int code = connection.userDirectory(users); code != ExitOk)
        return code;
    const QString name = userNameById(users, connection.session().userId());
    if (name.isEmpty()) {
        printErr(QStringLiteral("user %1 is not in the user directory\n").arg(connection.session().userId()));
        return ExitFailed;
    }
    QList<ScheduleItem> items;
    GetTodaySchedule(page, name, Clock::today(), items);
    QJsonArray out;
    for (const ScheduleItem& item : items) {
        out.append(QJsonObject{{QStringLiteral("kind"), item.kind},
                               {QStringLiteral("start"), timeJson(item.start)},
                               {QStringLiteral("end"), timeJson(item.end)},
                               {QStringLiteral("title"), item.title}});
    }
    printJson(out);
    return ExitOk;
}

int runLinksCommand(const CliArgs& args) {
    static const char* const synopsis = "links --user ID";
    if (!args.rest().isEmpty())
        return usage(synopsis);
    CliConnection connection;
    if (const int code = openAndLoginUser(connection, args, synopsis); code != ExitOk)
        return code;

    QString page;
    if (const int code = fetchTopPage(connection, page); code != ExitOk)
        return code;
    QList<LinkItem> links;
    GetLinks(page, links);
    QJsonArray out;
    for (const LinkItem& link : links)
        out.append(QJsonObject{{QStringLiteral("title"), link.title}, {QStringLiteral("url"), link.url}});
    printJson(out);
    return ExitOk;
}

} // namespace zelmora::cli
