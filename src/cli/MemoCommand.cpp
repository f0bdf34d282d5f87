// zelmora-cli memo: a telephone memo for a member, as the desktop program's memo dialog sends it.
// Exit status: 0 sent and answered, 1 not sent or refused, 2 usage (also an unreadable time),
// 3 no answer.
#include "cli/CliConnection.h"
#include "cli/CliOutput.h"
#include "core/Clock.h"
#include "groupware/Board.h"
#include "groupware/TelMemo.h"

namespace zelmora::cli {

namespace {

const char* const kSynopsis = "memo --to ID --user ID [--from NAME] [--request 0|1|2] [--tel T] [--message M]\n"
                              "     [--writer W] [--time HH:MM]";

// The logged-in user's name: from the own entry page, else from the board of everyone.
QString ownName(CliConnection& connection) {
    const MemberRecord own = GetMyPosition(connection.settings(), connection.session());
    if (!own.name.isEmpty())
        return own.name;
    QList<MemberRecord> everyone;
    GetPositionList(connection.settings(), connection.session(), everyone, 0);
    for (const MemberRecord& m : std::as_const(everyone)) {
        if (m.id == connection.session().userId())
            return m.name;
    }
    return QString();
}

} // namespace

int runMemoCommand(const CliArgs& args) {
    if (!args.rest().isEmpty() || !args.has(QStringLiteral("to")) || !args.has(QStringLiteral("user")))
        return usage(kSynopsis);
    TelMemoRequest memo;
    bool ok = false;
    memo.toUserId = args.value(QStringLiteral("to")).toInt(&ok);
    if (!ok || memo.toUserId <= 0)
        return usage(kSynopsis);
    memo.request = args.value(QStringLiteral("request"), QStringLiteral("0")).toInt(&ok);
    if (!ok || memo.request < 0 || memo.request >= kTelMemoRequestCount)
        return usage(kSynopsis);
    const QDateTime now = Clock::now();
    memo.date = memoDateCaption(now.date());
    memo.time = args.value(QStringLiteral("time"), now.toString(QStringLiteral("HH:mm")));
    if (!isValidMemoTime(memo.time)) {
        printErr(QStringLiteral("時刻の指定が正しくありません\n"));
        return ExitUsage;
    }
    memo.whom = args.value(QStringLiteral("from"));
    memo.tel = args.value(QStringLiteral("tel"));
    memo.memo = args.value(QStringLiteral("message"));

    CliConnection connection;
    if (const int code = openAndLogin(connection, args); code != ExitOk)
        return code;
    memo.writer = args.has(QStringLiteral("writer")) ? args.value(QStringLiteral("writer")) : ownName(connection);
    const int code = postOutcome(PostTelMemo(connection.settings(), memo));
    printJson(QJsonObject{{QStringLiteral("ok"), code == ExitOk},
                          {QStringLiteral("to"), memo.toUserId},
                          {QStringLiteral("date"), memo.date},
                          {QStringLiteral("writer"), memo.writer}});
    return code;
}

} // namespace zelmora::cli
