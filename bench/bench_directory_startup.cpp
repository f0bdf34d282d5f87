// The user directory as start-up reads it, for large organisations: the reader over the generated
// whereabouts pages of a whole organisation (the page of all groups, then one page per group of 50
// members), time per member; and the group list and every group's page read from the development
// server over loopback.
#include "groupware/Directory.h"
#include "net/Transport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#ifdef ZELMORA_BENCH_WITH_SIM
#include "support/SimServer.h"
#endif

using namespace zelmora;

namespace {

constexpr int kMembersPerGroup = 50;

// Names repeat as they do in a large company, so some members share a name.
QString memberName(int id) {
    static const QStringList surnames = {QStringLiteral("佐藤"), QStringLiteral("鈴木"), QStringLiteral("高橋"),
                                         QStringLiteral("田中"), QStringLiteral("伊藤"), QStringLiteral("渡辺"),
                                         QStringLiteral("山本"), QStringLiteral("中村"), QStringLiteral("小林"),
                                         QStringLiteral("加藤"), QStringLiteral("吉田"), QStringLiteral("山田")};
    static const QStringList given = {QStringLiteral("太郎"), QStringLiteral("花子"), QStringLiteral("一郎"),
                                      QStringLiteral("健"),   QStringLiteral("美咲"), QStringLiteral("大輔"),
                                      QStringLiteral("陽子"), QStringLiteral("翔"),   QStringLiteral("直樹"),
                                      QStringLiteral("恵"),   QStringLiteral("誠"),   QStringLiteral("由美"),
                                      QStringLiteral("拓也"), QStringLiteral("彩"),   QStringLiteral("浩二"),
                                      QStringLiteral("千尋"), QStringLiteral("剛"),   QStringLiteral("愛")};
    return surnames.at(id % surnames.size()) + QLatin1Char(' ') + given.at((id / surnames.size()) % given.size());
}

// Every member belongs to one group of 50; every tenth also to the next group.
QList<qint32> groupsOf(int id, int groups) {
    const qint32 home = qint32((id - 1) / kMembersPerGroup) % groups + 1;
    QList<qint32> list{home};
    if (id % 10 == 0 && groups > 1)
        list.append(home % groups + 1);
    return list;
}

QString groupSelect(int groups, int selected) {
    QStringList l{QStringLiteral("<select name=\"gid\" onChange=\"this.form.submit()\">"),
                  QStringLiteral("<option value=\"0\">(全員)")};
    for (int g = 1; g <= groups; ++g)
        l << QStringLiteral("<option value=\"%1\"%2>部署%1")
                 .arg(g)
                 .arg(g == selected ? QStringLiteral(" selected") : QString());
    l << QStringLiteral("</select>");
    return l.join(QStringLiteral("\r\n"));
}

// A whereabouts page as the server writes it: the group select, then one member per line.
QString wherePage(int groups, int groupId, const QList<int>& members) {
    QStringList l{QStringLiteral("<html><head><title>サイボウズ Office 4 行き先案内板</title></head><body>"),
                  QStringLiteral("<form name=\"WhereIndex\" method=\"get\" action=\"office.exe\">"),
                  groupSelect(groups, groupId), QStringLiteral("<table border=1 cellspacing=0 cellpadding=3>"),
                  QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>名前</th><th width=60>電話メモ</th>"
                                 "<th nowrap>行き先</th><th nowrap>連絡（先）</th></tr>")};
    for (const int id : members) {
        l << QStringLiteral("<tr bgcolor=\"#ffffff\"><td nowrap><a href=\"office.exe?page=OfficeInfo&id=%1\">%2</a>"
                            "</td><td align=center>&nbsp;</td><td><a href=\"office.exe?page=WhereEntry&id=%1&gid=%3\">"
                            "<font size=+1>在席*</font></a><br><font color=\"#336699\" size=-1>2024/12/06 (金) 09:%4"
                            "</font></td><td>内線%5*<br></td></tr>")
                 .arg(id)
                 .arg(memberName(id))
                 .arg(groupId)
                 .arg(id % 60, 2, 10, QLatin1Char('0'))
                 .arg(100 + id % 900);
    }
    l << QStringLiteral("</table>") << QStringLiteral("</form>") << QStringLiteral("<p>")
      << QStringLiteral("</body></html>");
    return l.join(QStringLiteral("\r\n"));
}

struct Pages {
    QString all;            // page of group 0, which offers the groups
    QList<QString> byGroup; // page of group g at g - 1
};

Pages directoryPages(int members) {
    const int groups = qMax(1, members / kMembersPerGroup);
    QList<QList<int>> rows(groups);
    for (int id = 1; id <= members; ++id)
        for (const qint32 g : groupsOf(id, groups))
            rows[g - 1].append(id);
    Pages pages;
    pages.all = wherePage(groups, 0, {});
    for (int g = 1; g <= groups; ++g)
        pages.byGroup.append(wherePage(groups, g, rows[g - 1]));
    return pages;
}

void BM_ReadDirectory(benchmark::State& state) {
    const int members = int(state.range(0));
    const Pages pages = directoryPages(members);
    QList<UserRecord> users;
    for (auto _ : state) {
        DirectoryBuilder builder(QStringLiteral("office.exe"));
        for (const GroupRecord& group : readBoardGroups(pages.all))
            builder.addGroupPage(pages.byGroup.at(group.id - 1), group.id);
        users = builder.users();
        benchmark::DoNotOptimize(users.data());
    }
    if (users.size() != members)
        state.SkipWithError("members missing from the directory");
    state.counters["per_member"] = benchmark::Counter(double(members), benchmark::Counter::kIsIterationInvariantRate |
                                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadDirectory)->Arg(100)->Arg(1000)->Arg(2000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

#ifdef ZELMORA_BENCH_WITH_SIM
// The organisation file of the development server with `members` members in `groups` groups, each
// with a whereabouts entry, so that every board row is written in full.
QByteArray organisationJson(int members, int groups) {
    QJsonArray groupList;
    for (int g = 1; g <= groups; ++g)
        groupList.append(
            QJsonObject{{QStringLiteral("id"), g}, {QStringLiteral("name"), QStringLiteral("部署%1").arg(g)}});
    QJsonArray users;
    QJsonArray entries;
    for (int id = 1; id <= members; ++id) {
        QJsonArray groupIds;
        for (const qint32 g : groupsOf(id, groups))
            groupIds.append(g);
        users.append(QJsonObject{{QStringLiteral("id"), id},
                                 {QStringLiteral("name"), memberName(id)},
                                 {QStringLiteral("password"), QStringLiteral("pass%1").arg(id)},
                                 {QStringLiteral("groups"), groupIds}});
        entries.append(QJsonObject{{QStringLiteral("user"), id},
                                   {QStringLiteral("position"), QStringLiteral("在席*")},
                                   {QStringLiteral("contact"), QStringLiteral("内線%1*").arg(100 + id % 900)},
                                   {QStringLiteral("updated"), QStringLiteral("today 9:00")}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("name"), QStringLiteral("ベンチ商事")},
                                     {QStringLiteral("groups"), groupList},
                                     {QStringLiteral("users"), users},
                                     {QStringLiteral("entries"), entries}})
        .toJson(QJsonDocument::Compact);
}

// Start-up's directory read against a server on loopback: GetGroupList, then GetUserData (the page of
// all groups and one page per group). Wall-clock time, as most of it is spent waiting for pages.
void BM_FetchDirectoryFromServer(benchmark::State& state) {
    const int members = int(state.range(0));
    const int groups = int(state.range(1));
    test::SimServer::Options options;
    options.organisationJson = organisationJson(members, groups);
    test::SimServer sim(options);
    if (!sim.start()) {
        state.SkipWithError("groupware-sim did not start");
        return;
    }
    ConnectionSettings connection;
    connection.SERVER_URL = sim.baseUrl().toString();
    connection.PROXY_MODE = 1;
    connection.TIMEOUT = 30;
    connection.updateProgramUrl();
    SetInetOptions(connection, {}, {});

    QList<GroupRecord> groupList;
    QList<UserRecord> users;
    bool ok = true;
    for (auto _ : state) {
        const bool read = GetGroupList(connection, groupList) && GetUserData(connection, users);
        ok = ok && read;
        benchmark::DoNotOptimize(users.data());
    }
    if (!ok || groupList.size() != groups || users.size() != members)
        state.SkipWithError("the directory was not read in full");
    state.counters["per_member"] = benchmark::Counter(double(members), benchmark::Counter::kIsIterationInvariantRate |
                                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_FetchDirectoryFromServer)->Args({2000, 40})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
#endif

} // namespace

int main(int argc, char** argv) {
    // The transfer object waits for its pages in an event loop.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
