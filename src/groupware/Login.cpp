#include "groupware/Login.h"

#include "net/FormData.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

namespace zelmora {

namespace {

// A SERVER_URL that already ended in the program name gets it appended a second time.
bool hasDoubledProgramName(const ConnectionSettings& connection) {
    const QString pattern = connection.SERVER_OS_TYPE == 1 ? QStringLiteral(R"((/|\\)office.cgi(\?)?(/|\\)office.cgi)")
                                                           : QStringLiteral(R"((/|\\)office.exe(\?)?(/|\\)office.exe)");
    return RegExpFind(connection.programUrl, pattern, true) > 0;
}

struct ApplicationLink {
    ApplicationFlag flag;
    const char* page;
};
constexpr ApplicationLink kApplicationLinks[] = {
    {AppSchedule, "ScheduleIndex"}, {AppWhereabouts, "WhereIndex"}, {AppBulletin, "BulletinIndex"},
    {AppCircular, "CircularIndex"}, {AppWebMail, "WebMailIndex"},   {AppWorkflow, "WorkFlowIndex"},
};

} // namespace

bool CheckServer(const ConnectionSettings& connection, PageResult* page) {
    if (hasDoubledProgramName(connection)) {
        if (page)
            *page = PageResult{};
        return false;
    }
    const PageResult result = GetPage(connection.programUrl);
    if (page)
        *page = result;
    return result.text.contains(kServerCheckText);
}

bool Login(const ConnectionSettings& connection, GroupwareSession& session, qint32 userId, const QString& password,
           PageResult* page) {
    FormData query;
    query.add(QStringLiteral("_System"), QStringLiteral("login"))
        .add(QStringLiteral("_Login"), QStringLiteral("1"))
        .add(QStringLiteral("_ID"), userId)
        .add(QStringLiteral("Password"), password);
    bool encodable = true;
    const QString url = query.appendedTo(connection.programUrl, &encodable);
    PageResult result;
    if (encodable)
        result = GetPage(url);
    else
        result.error = TransferError::UnencodableText; // such a password cannot be the right one
    if (page)
        *page = result;
    if (encodable && result.text.contains(kTopPageTitle)) {
        session.setUser(userId, password);
        return true;
    }
    session.clearUser();
    return false;
}

ApplicationFlags usableApplicationsOf(const QString& topPage) {
    ApplicationFlags mask = 0;
    for (const ApplicationLink& link : kApplicationLinks) {
        // A link to exactly the program ("office." and three characters) with the single query key
        // page, quoted either way.
        const QString pattern = QStringLiteral("< *a +href *= *['\"]office\\.... *\\?page *= *") +
                                QLatin1String(link.page) + QStringLiteral("['\"] *>");
        if (RegExpFind(topPage, pattern, true) > 0)
            mask |= link.flag;
    }
    return mask;
}

ApplicationFlags GetUsableApplications(ConnectionSettings& connection) {
    connection.usableApplications = 0;
    return usableApplicationsOf(GetPage(connection.programUrl).text);
}

} // namespace zelmora
