// Every page reader on pages no groupware server should send: huge, with 100,000 board rows, nested
// without end, with start markers that never end, with bytes that are no cp932. The readers must
// return sane results. How long each takes is printed for the record, never asserted: ctest's
// time-out is the only bound.
#include "HostilePages.h"

#include "core/DateTimeText.h"
#include "groupware/Board.h"
#include "groupware/Directory.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/TopPage.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QElapsedTimer>
#include <QTest>

#include <functional>

using namespace zelmora;

namespace {

const QString kProgram = QStringLiteral("office.exe");
const QDate kToday(2002, 6, 3);

struct Reader {
    const char* name;
    // Returns the number of things read; each reader also checks what it can about its result.
    std::function<qsizetype(const QString&)> read;
};

QList<Reader> readers() {
    return {
        {"readPositionList",
         [](const QString& page) {
             QList<MemberRecord> members;
             readPositionList(page, kProgram, members);
             return members.size();
         }},
        {"readMyPosition", [](const QString& page) { return readMyPosition(page).position.size(); }},
        {"readDateTime", [](const QString& page) { return qsizetype(readDateTime(page, kToday).isValid()); }},
        {"readWhereEntryChoices", [](const QString& page) { return readWhereEntryChoices(page).place.size(); }},
        {"permissionStateFromPage",
         [](const QString& page) { return qsizetype(permissionStateFromPage(page, PermissionKept)); }},
        {"GetNotice",
         [](const QString& page) {
             qint32 last = 0;
             const NoticeCounts counts = GetNotice(page, -1, last);
             return qsizetype(counts.mail + counts.circular + counts.memo + counts.workflow);
         }},
        {"GetTodaySchedule",
         [](const QString& page) {
             QList<ScheduleItem> items;
             return GetTodaySchedule(page, QStringLiteral("山田 太郎"), kToday, items);
         }},
        {"GetLinks",
         [](const QString& page) {
             QList<LinkItem> links;
             return GetLinks(page, links);
         }},
        {"readLatestArticleId", [](const QString& page) { return qsizetype(readLatestArticleId(page, kProgram)); }},
        {"readGroupList",
         [](const QString& page) {
             QList<GroupRecord> groups;
             readGroupList(page, groups);
             return groups.size();
         }},
        {"readBoardGroups", [](const QString& page) { return readBoardGroups(page).size(); }},
        {"DirectoryBuilder",
         [](const QString& page) {
             DirectoryBuilder builder(kProgram);
             builder.addGroupPage(page, 3);
             return builder.users().size();
         }},
        {"usableApplicationsOf", [](const QString& page) { return qsizetype(usableApplicationsOf(page)); }},
        {"IsValidPage", [](const QString& page) { return qsizetype(IsValidPage(page)); }},
        {"GetSelectOptions",
         [](const QString& page) {
             QList<SelectOption> options;
             return GetSelectOptions(page, QStringLiteral("gid"), options);
         }},
        {"CutAllBetween",
         [](const QString& page) {
             QStringList pieces;
             return CutAllBetween(page, QStringLiteral("< *td[^>]*>"), QStringLiteral("< */td *>"), pieces, 0);
         }},
        {"RegExpSplit",
         [](const QString& page) {
             QStringList pieces;
             return RegExpSplit(page, QStringLiteral("< *tr[^>]*>"), pieces, true);
         }},
    };
}

} // namespace

class TestHostilePages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_pages = test::hostilePages(); }

    void everyReaderCopes_data() {
        QTest::addColumn<int>("page");
        for (int i = 0; i < m_pages.size(); ++i)
            QTest::newRow(qPrintable(m_pages[i].name)) << i;
    }

    void everyReaderCopes() {
        QFETCH(int, page);
        const QString& text = m_pages[page].text;
        QHash<QString, qsizetype> results;
        for (const Reader& reader : readers()) {
            QElapsedTimer clock;
            clock.start();
            const qsizetype result = reader.read(text);
            qInfo("%-24s %8lld ms  result %lld", reader.name, clock.elapsed(), qlonglong(result));
            QVERIFY2(result >= -1 && result <= text.size(), reader.name);
            results.insert(QLatin1String(reader.name), result);
        }
        if (m_pages[page].name.contains(QLatin1String("board rows"))) {
            // Nothing is lost at that size: every row, every user, the own entry's group select.
            QCOMPARE(results.value(QStringLiteral("readPositionList")), 100000);
            QCOMPARE(results.value(QStringLiteral("DirectoryBuilder")), 100000);
            QCOMPARE(results.value(QStringLiteral("readBoardGroups")), 1);
            QCOMPARE(results.value(QStringLiteral("IsValidPage")), 1);
        }
    }

    void largeBoardReadsEveryMemberRight() {
        QList<MemberRecord> members;
        QVERIFY(readPositionList(test::boardWithRows(100000), kProgram, members));
        QCOMPARE(members.size(), 100000);
        for (const qsizetype i : {qsizetype(0), qsizetype(49999), qsizetype(99999)}) {
            QCOMPARE(members[i].id, qint32(i + 1));
            QCOMPARE(members[i].name, QStringLiteral("社員 %1").arg(i + 1));
            QCOMPARE(members[i].contact, QStringLiteral("内線%1*").arg(i + 1));
            QCOMPARE(members[i].updated, QDateTime(kToday, QTime(9, 41)));
        }
    }

private:
    QList<test::HostilePage> m_pages;
};

QTEST_GUILESS_MAIN(TestHostilePages)
#include "tst_hostilepages.moc"
