// Gathering the user directory and reading selects from large pages: time per member or option,
// which must stay flat as the pages grow (no rescanning of the page, no quadratic lookups).
#include "groupware/Directory.h"
#include "net/PatternUtils.h"

#include <benchmark/benchmark.h>

#include <QStringList>

using namespace zelmora;

namespace {

// A whereabouts page of `members` rows; every fifth member shares a name with another.
QString groupPage(int members, int firstId) {
    QStringList l{QStringLiteral("<html><body><form action=\"office.exe\">"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">")};
    for (int i = 0; i < members; ++i) {
        const int id = firstId + i;
        l << QStringLiteral("<tr bgcolor=\"#ffffff\"><td nowrap><a href=\"office.exe?page=OfficeInfo&id=%1\">"
                            "社員 %2</a></td>")
                 .arg(id)
                 .arg(id % 5 == 0 ? id - 1 : id)
          << QStringLiteral("<td align=center>&nbsp;</td><td><a href=\"office.exe?page=WhereEntry&id=%1&gid=0\">"
                            "<font size=-1>在席</font></a><br></td><td>内線%1<br></td></tr>")
                 .arg(id);
    }
    l << QStringLiteral("</table></form><p></body></html>");
    return l.join(QStringLiteral("\r\n"));
}

// Two group pages: the second lists the first one's members again and as many new ones.
void BM_GatherUsers(benchmark::State& state) {
    const int members = int(state.range(0));
    const QString first = groupPage(members, 1);
    const QString second = groupPage(members * 2, 1);
    qsizetype users = 0;
    for (auto _ : state) {
        DirectoryBuilder builder(QStringLiteral("office.exe"));
        builder.addGroupPage(first, 1);
        builder.addGroupPage(second, 2);
        users = builder.users().size();
        benchmark::DoNotOptimize(users);
    }
    if (users != members * 2)
        state.SkipWithError("users missing from the directory");
    state.SetComplexityN(members);
}
BENCHMARK(BM_GatherUsers)->Arg(100)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_SelectOptions(benchmark::State& state) {
    const int count = int(state.range(0));
    QStringList l{QStringLiteral("<select name=\"gid\" onChange=\"go()\">")};
    for (int i = 0; i < count; ++i)
        l << QStringLiteral("<option value=\"%1\"%2>グループ %1")
                 .arg(i)
                 .arg(i == 3 ? QStringLiteral(" selected") : QString());
    l << QStringLiteral("</select>");
    const QString page = l.join(QStringLiteral("\r\n"));
    QList<SelectOption> options;
    for (auto _ : state) {
        GetSelectOptions(page, QStringLiteral("gid"), options);
        benchmark::DoNotOptimize(options.data());
    }
    if (options.size() != count)
        state.SkipWithError("options missing");
    state.SetComplexityN(count);
}
BENCHMARK(BM_SelectOptions)->Arg(100)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_CutAllBetween(benchmark::State& state) {
    const int count = int(state.range(0));
    QString page;
    for (int i = 0; i < count; ++i)
        page += QStringLiteral("<li><a href=\"http://example.co.jp/%1\">リンク %1</a>\r\n").arg(i);
    QStringList pieces;
    for (auto _ : state) {
        CutAllBetween(page, QStringLiteral("< *li *>"), QStringLiteral("< */a *>"), pieces, CutKeepEnd);
        benchmark::DoNotOptimize(pieces.data());
    }
    if (pieces.size() != count)
        state.SkipWithError("pieces missing");
    state.SetComplexityN(count);
}
BENCHMARK(BM_CutAllBetween)->Arg(100)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
