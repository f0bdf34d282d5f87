// Reading the whereabouts board of large groups: time per member of the page reader.
#include "core/Clock.h"
#include "core/Cp932.h"
#include "core/Cp932Stream.h"
#include "core/DateTimeText.h"
#include "groupware/Board.h"
#include "groupware/BoardPage.h"
#include "net/Transport.h"

#include <benchmark/benchmark.h>

#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>

using namespace zelmora;

namespace {

// A board page as the server writes it, one member per row, with every kind of row: memo icons,
// marked entries, members without an entry.
QString boardPage(int members) {
    QStringList l{QStringLiteral("<html><head><title>サイボウズ Office 4 行き先案内板</title></head><body>"),
                  QStringLiteral("<form name=\"WhereIndex\" method=\"get\" action=\"office.exe\">"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
                  QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>名前</th><th width=60>電話メモ</th>"
                                 "<th nowrap>行き先</th><th nowrap>連絡（先）</th></tr>")};
    for (int id = 1; id <= members; ++id) {
        QString row = QStringLiteral("<tr bgcolor=\"#ffffff\"><td nowrap><a href=\"office.exe?page=OfficeInfo&id=%1\">"
                                     "社員 %1号</a></td>")
                          .arg(id);
        row += id % 7 == 0 ? QStringLiteral("<td align=center><a href=\"office.exe?page=WhereHistory&id=%1&gid=0\">"
                                            "<img src=\"/cb4/recept.gif\" border=0 width=16 height=16></a></td>")
                                 .arg(id)
                           : QStringLiteral("<td align=center>&nbsp;</td>");
        const QString link = QStringLiteral("<td><a href=\"office.exe?page=WhereEntry&id=%1&gid=0\">").arg(id);
        if (id % 11 == 0) {
            row += link + QStringLiteral("<font size=-1>登録されていません</font></a><br><td><br></td></tr>");
        } else {
            const QString mark = id % 3 == 0 ? QStringLiteral("?") : QStringLiteral("*");
            row += link + QStringLiteral("<font size=+1>在席%1</font></a><br><font color=\"#336699\" size=-1>"
                                         "2024/12/%2 (金) %3:%4</font></td><td>内線%5%1<br></td></tr>")
                              .arg(mark)
                              .arg(1 + id % 28, 2, 10, QLatin1Char('0'))
                              .arg(8 + id % 10)
                              .arg(id % 60, 2, 10, QLatin1Char('0'))
                              .arg(100 + id % 900);
        }
        l << row;
    }
    l << QStringLiteral("</table>") << QStringLiteral("<img src=\"/cb4/recept.gif\" border=0>：電話メモがあります")
      << QStringLiteral("</form>") << QStringLiteral("<p>") << QStringLiteral("</body></html>");
    return l.join(QStringLiteral("\r\n"));
}

void BM_ReadBoard(benchmark::State& state) {
    const int members = int(state.range(0));
    const QString page = boardPage(members);
    QList<MemberRecord> list;
    for (auto _ : state) {
        readPositionList(page, QStringLiteral("office.exe"), list);
        benchmark::DoNotOptimize(list.data());
    }
    if (list.size() != members)
        state.SkipWithError("members missing from the board");
    state.counters["per_member"] = benchmark::Counter(double(members), benchmark::Counter::kIsIterationInvariantRate |
                                                                           benchmark::Counter::kInvert);
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_ReadBoard)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The board read again after a read of the same page with N rows changed (members moved or
// updated), taking over the records of the rows that came back unchanged; 1,000 members.
void BM_ReadBoardAgain(benchmark::State& state) {
    const int changed = int(state.range(0));
    const QString page = boardPage(1000);
    QString before = page;
    for (int k = 0; k < changed; ++k)
        before.replace(QStringLiteral(">内線%1").arg(100 + (1 + k * 1000 / changed) % 900),
                       QStringLiteral(">外線%1").arg(k));
    BoardMemo::Entry last{{before, QStringLiteral("office.exe"), Clock::today(), QTimeZone::systemTimeZone()}, {}, {}};
    readPositionList(last.key, last.members, nullptr, &last.pieces);
    BoardMemo::Key key = last.key;
    key.page = page;
    QList<MemberRecord> list;
    for (auto _ : state) {
        readPositionList(key, list, &last, nullptr);
        benchmark::DoNotOptimize(list.data());
    }
    if (list.size() != 1000 || (changed > 0 && before == page))
        state.SkipWithError("the pages are not as meant");
}
BENCHMARK(BM_ReadBoardAgain)->Arg(0)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The page taken apart into rows of marked fields, without reading the fields into records.
void BM_BoardRows(benchmark::State& state) {
    const int members = int(state.range(0));
    const QString page = boardPage(members);
    BoardPage board(QStringLiteral("office.exe"));
    qsizetype rows = 0;
    for (auto _ : state) {
        rows = 0;
        board.read(page, [&rows](QStringView) { ++rows; });
        benchmark::DoNotOptimize(rows);
    }
    if (rows != members)
        state.SkipWithError("rows missing from the board");
}
BENCHMARK(BM_BoardRows)->Arg(1000)->Unit(benchmark::kMillisecond);

// The update times of a 1,000-member board read on their own: as local times (0) and in the system's
// time zone (1), as the board reader makes them.
void BM_UpdateTimes(benchmark::State& state) {
    QStringList texts;
    for (int id = 1; id <= 1000; ++id)
        texts << QStringLiteral("2024/12/%1  %2:%3")
                     .arg(1 + id % 28, 2, 10, QLatin1Char('0'))
                     .arg(8 + id % 10)
                     .arg(id % 60, 2, 10, QLatin1Char('0'));
    const QDate today(2024, 12, 20);
    const QTimeZone zone = state.range(0) ? QTimeZone::systemTimeZone() : QTimeZone();
    for (auto _ : state) {
        for (const QString& text : texts)
            benchmark::DoNotOptimize(readDateTime(text, today, zone));
    }
}
BENCHMARK(BM_UpdateTimes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The check every page of the server goes through before it is read, on a whole board page.
void BM_IsValidPage(benchmark::State& state) {
    const QString page = boardPage(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(IsValidPage(page));
    if (!IsValidPage(page))
        state.SkipWithError("the board page was taken for an error page");
}
BENCHMARK(BM_IsValidPage)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The board's bytes decoded as they come in, in pieces of 64 KB: the program's stream (/0) and the
// converter it stands for (/1), side by side.
constexpr qsizetype kPiece = 64 * 1024;

void BM_DecodeBoard(benchmark::State& state) {
    const QByteArray bytes = cp932::encode(boardPage(1000));
    const auto pieces = [&bytes](auto&& append) {
        for (qsizetype at = 0; at < bytes.size(); at += kPiece)
            append(QByteArrayView(bytes).sliced(at, std::min(kPiece, bytes.size() - at)));
    };
    for (auto _ : state) {
        QString text;
        if (state.range(0) == 0) {
            cp932::Stream stream;
            stream.reserve(bytes.size());
            pieces([&stream](QByteArrayView piece) { stream.append(piece); });
            text = stream.take();
        } else {
            QStringDecoder decoder(cp932::kCodecName);
            text.reserve(bytes.size());
            pieces([&](QByteArrayView piece) { text += decoder.decode(piece); });
        }
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeBoard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
