#include "groupware/PositionMenu.h"
#include "status/BoardRead.h"
#include "status/RowColour.h"
#include "status/ScheduleMerge.h"
#include "status/StatusRows.h"
#include "status/StatusText.h"

#include <QTest>

#include <QMap>

using namespace zelmora;

namespace {
const QDate kToday(2002, 6, 3);

QDateTime at(int h, int m, const QDate& date = kToday) {
    return QDateTime(date, QTime(h, m));
}

ScheduleItem item(qint16 kind, const QString& title, const QDateTime& start = {}, const QDateTime& end = {}) {
    ScheduleItem s;
    s.kind = kind;
    s.title = title;
    s.start = start;
    s.end = end;
    return s;
}

MemberRecord member(qint32 id, const QString& name, const QString& position = QString(),
                    const QDateTime& updated = at(9, 0)) {
    MemberRecord m;
    m.id = id;
    m.name = name;
    m.position = position;
    m.updated = updated;
    return m;
}

UserRecord user(qint32 id, QList<qint32> groups) {
    UserRecord u;
    u.id = id;
    u.groupIds = groups;
    return u;
}

QList<qint32> ids(const QList<MemberRecord>& members) {
    QList<qint32> out;
    for (const auto& m : members)
        out.append(m.id);
    return out;
}

// Boards by group id, with the read result of each; records which groups were asked for.
struct FakeBoards {
    QMap<qint32, QList<MemberRecord>> boards;
    QMap<qint32, bool> results;
    QList<qint32> asked;
    BoardReader reader() {
        return [this](qint32 gid, QList<MemberRecord>& out) {
            asked.append(gid);
            // A failed read leaves the list empty, as GetPositionList does.
            const bool ok = results.value(gid, true);
            out = ok ? boards.value(gid) : QList<MemberRecord>();
            return ok;
        };
    }
};
} // namespace

Q_DECLARE_METATYPE(zelmora::CellColour)
Q_DECLARE_METATYPE(zelmora::ScheduleItem)

class TestStatusLogic : public QObject {
    Q_OBJECT
private slots:
    void scheduleKeepsAlarmStateAcrossRefreshes() {
        const QTime timing(0, 10);
        QList<ScheduleItem> schedule =
            mergeSchedule({}, {item(1, QStringLiteral("朝会"), at(9, 5)), item(0, QStringLiteral("(複数日) 出張"))},
                          timing, at(8, 0));
        QCOMPARE(schedule.at(0).alarmTime, at(8, 55));
        QCOMPARE(schedule.at(1).alarmTime, at(8, 0)); // kind 0: the refresh that first saw it
        QVERIFY(schedule.at(0).armed && schedule.at(1).armed);

        schedule[0].armed = false; // raised
        schedule[1].alarmTime = at(8, 6);
        const QList<ScheduleItem> fresh = {item(0, QStringLiteral("(複数日) 出張")),
                                           item(1, QStringLiteral("朝会"), at(9, 5))};
        schedule = mergeSchedule(schedule, fresh, timing, at(9, 30));
        QCOMPARE(schedule.at(0).title, QStringLiteral("(複数日) 出張"));
        QCOMPARE(schedule.at(0).alarmTime, at(8, 6));
        QVERIFY(schedule.at(0).armed);
        QVERIFY(!schedule.at(1).armed);
        QCOMPARE(schedule.at(1).alarmTime, at(8, 55));
    }

    void changedScheduleItemIsArmedAgain_data() {
        QTest::addColumn<ScheduleItem>("changed");
        QTest::addColumn<QDateTime>("alarm");
        QTest::newRow("title") << item(2, QStringLiteral("定例会議"), at(10, 0), at(11, 0)) << at(9, 50);
        QTest::newRow("start") << item(2, QStringLiteral("会議"), at(10, 30), at(11, 0)) << at(10, 20);
        QTest::newRow("end") << item(2, QStringLiteral("会議"), at(10, 0), at(11, 30)) << at(9, 50);
        QTest::newRow("kind") << item(1, QStringLiteral("会議"), at(10, 0)) << at(9, 50);
    }

    void changedScheduleItemIsArmedAgain() {
        QFETCH(ScheduleItem, changed);
        QFETCH(QDateTime, alarm);
        ScheduleItem old = item(2, QStringLiteral("会議"), at(10, 0), at(11, 0));
        old.armed = false;
        old.alarmTime = at(9, 50);
        const auto merged = mergeSchedule({old}, {changed}, QTime(0, 10), at(9, 55));
        QVERIFY(merged.at(0).armed);
        QCOMPARE(merged.at(0).alarmTime, alarm);
    }

    void readsBoardsByMode() {
        FakeBoards fake;
        fake.boards[0] = {member(1, QStringLiteral("全員"))};
        fake.boards[10] = {member(1, QStringLiteral("佐藤")), member(2, QStringLiteral("鈴木"))};
        fake.boards[20] = {member(3, QStringLiteral("高橋")), member(1, QStringLiteral("佐藤")),
                           member(4, QStringLiteral("田中"))};
        const QList<qint32> tabs = {10, 20};
        QList<MemberRecord> members;

        QVERIFY(readBoardsByMode(0, tabs, 1, fake.reader(), members));
        QCOMPARE(ids(members), QList<qint32>{1});
        QVERIFY(readBoardsByMode(1, tabs, 2, fake.reader(), members));
        QCOMPARE(ids(members), (QList<qint32>{3, 1, 4}));
        QCOMPARE(fake.asked, (QList<qint32>{0, 20}));

        // A member of both groups appears once.
        QVERIFY(readBoardsByMode(2, tabs, 1, fake.reader(), members));
        QCOMPARE(ids(members), (QList<qint32>{1, 2, 3, 4}));
        // The last tab's read decides the result.
        fake.results[10] = false;
        QVERIFY(readBoardsByMode(2, tabs, 1, fake.reader(), members));
        QCOMPARE(ids(members), (QList<qint32>{3, 1, 4}));
        fake.results[10] = true;
        fake.results[20] = false;
        QVERIFY(!readBoardsByMode(2, tabs, 1, fake.reader(), members));
    }

    void readsNothingWithoutUsableTab() {
        FakeBoards fake;
        const QList<MemberRecord> shown = {member(7, QStringLiteral("前回"))};
        QList<MemberRecord> members = shown;
        QVERIFY(!readBoardsByMode(1, {}, 1, fake.reader(), members));
        QVERIFY(!readBoardsByMode(1, {10}, 2, fake.reader(), members));
        QVERIFY(!readBoardsByMode(1, {10}, 0, fake.reader(), members));
        QVERIFY(!readBoardsByMode(3, {10}, 1, fake.reader(), members));
        QVERIFY(fake.asked.isEmpty());
        QCOMPARE(ids(members), QList<qint32>{7});
        QVERIFY(!readBoardsByMode(2, {}, 1, fake.reader(), members));
        QVERIFY(members.isEmpty());
    }

    void entryColour_data() {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QDateTime>("updated");
        QTest::addColumn<CellColour>("colour");
        const QDateTime yesterday = at(18, 0, kToday.addDays(-1));
        QTest::newRow("yesterday, marked present") << QStringLiteral("在席*") << yesterday << CellColour::Red;
        QTest::newRow("yesterday, marked absent") << QStringLiteral("在席?") << yesterday << CellColour::Red;
        QTest::newRow("no entry") << QString() << QDateTime() << CellColour::Red;
        QTest::newRow("tomorrow") << QStringLiteral("出張") << at(8, 0, kToday.addDays(1)) << CellColour::Red;
        QTest::newRow("absent") << QStringLiteral("在席?") << at(0, 0) << CellColour::Magenta;
        QTest::newRow("both marks") << QStringLiteral("*?") << at(9, 0) << CellColour::Magenta;
        QTest::newRow("present") << QStringLiteral("在席*") << at(23, 59) << CellColour::Blue;
        QTest::newRow("by hand") << QStringLiteral("会議") << at(9, 0) << CellColour::Black;
    }

    void entryColour() {
        QFETCH(QString, position);
        QFETCH(QDateTime, updated);
        QFETCH(CellColour, colour);
        QCOMPARE(zelmora::entryColour(member(1, QString(), position, updated), kToday), colour);
    }

    void gridShowsDirectoryMembersOfTheTabGroup() {
        MemberRecord sato = member(1, QStringLiteral("佐藤"), QStringLiteral("在席*"), at(9, 41));
        sato.memo = true;
        sato.contact = QStringLiteral("内線12*");
        const MemberRecord stranger = member(2, QStringLiteral("部外者"));
        const MemberRecord never = member(3, QStringLiteral("鈴木"), QString(), QDateTime());
        const QList<UserRecord> users = {user(1, {10, 20}), user(3, {20})};

        const auto rows10 = statusRows({sato, stranger, never}, users, 10, kToday);
        QCOMPARE(rows10.size(), 1);
        QCOMPARE(rows10.at(0).userId, 1);
        QCOMPARE(rows10.at(0).name, QStringLiteral("佐藤"));
        QCOMPARE(rows10.at(0).memo, QStringLiteral("○"));
        QCOMPARE(rows10.at(0).contact, QStringLiteral("内線12*"));
        QCOMPARE(rows10.at(0).updated, QStringLiteral("2002/06/03 09:41"));
        QCOMPARE(rows10.at(0).colour, CellColour::Blue);

        const auto rows20 = statusRows({sato, stranger, never}, users, 20, kToday);
        QCOMPARE(rows20.size(), 2);
        QCOMPARE(rows20.at(1).userId, 3);
        QVERIFY(rows20.at(1).memo.isEmpty());
        QVERIFY(rows20.at(1).updated.isEmpty());
        QCOMPARE(rows20.at(1).colour, CellColour::Red);
        QVERIFY(statusRows({sato}, users, 30, kToday).isEmpty());
    }

    void titleTellsRefreshTimeOrFailure() {
        QCOMPARE(statusTitle(false, at(9, 41)), QStringLiteral("ゼルモラ - 2002/06/03 09:41 更新"));
        QCOMPARE(statusTitle(true, at(9, 41)), QStringLiteral("ゼルモラ - サーバーにアクセスできません"));
    }

    void noticeLinesAndDueState() {
        NoticeCounts counts;
        counts.mail = 3;
        counts.circular = 12;
        counts.memo = 1;
        counts.newArticle = true;
        counts.workflow = 5;
        UserSettings user;
        NoticeSummary all = summarizeNotices(counts, user);
        QCOMPARE(all.lines,
                 (QStringList{QStringLiteral("メールが3件届いています。"), QStringLiteral("未読の回覧が12件あります。"),
                              QStringLiteral("電話メモが1件あります。"), QStringLiteral("新着の掲示があります。"),
                              QStringLiteral("申請・決済書類が5件あります。")}));
        QCOMPARE(all.informationType, quint16(31));
        QVERIFY(all.due);

        // Mail only, NOTIFY_MAIL off: the line is shown but the notice window is not due.
        NoticeCounts mailOnly;
        mailOnly.mail = 2;
        user.NOTIFY_MAIL = false;
        const NoticeSummary quiet = summarizeNotices(mailOnly, user);
        QCOMPARE(quiet.lines, QStringList{QStringLiteral("メールが2件届いています。")});
        QCOMPARE(quiet.informationType, quint16(1));
        QVERIFY(!quiet.due);

        // A switched-on notice makes it due, and a switched-off one stays in the bits.
        mailOnly.memo = 4;
        const NoticeSummary memo = summarizeNotices(mailOnly, user);
        QCOMPARE(memo.informationType, quint16(5));
        QVERIFY(memo.due);
        QVERIFY(!summarizeNotices(NoticeCounts(), UserSettings()).due);
    }

    void scheduleLinesByKind() {
        const QList<ScheduleItem> schedule = {
            item(0, QStringLiteral("(複数日) 出張")), item(1, QStringLiteral("朝会"), at(9, 5)),
            item(2, QStringLiteral("会議"), at(10, 0), at(11, 30)), item(7, QStringLiteral("不明"), at(12, 0))};
        QCOMPARE(scheduleLines(schedule), (QStringList{QStringLiteral("(複数日) 出張"), QStringLiteral("09:05 朝会"),
                                                       QStringLiteral("10:00-11:30 会議")}));
    }

    void placeMenuChecksTheOwnPlace() {
        const QList<SelectOption> select = {{QString(), QStringLiteral("選択")},
                                            {QStringLiteral("1"), QStringLiteral("在席")},
                                            {QString(), QStringLiteral("--")},
                                            {QStringLiteral("2"), QStringLiteral("会議")},
                                            {QStringLiteral("3"), QStringLiteral("外出")}};
        const QStringList options = placeTexts(select);
        MemberRecord own = member(1, QString(), QStringLiteral("会議"));
        PlaceMenu menu = placeMenu(options, own);
        QCOMPARE(menu.places.size(), 4);
        QCOMPARE(menu.places.at(0).caption, QStringLiteral("在席"));
        QVERIFY(menu.places.at(1).separator);
        QVERIFY(menu.places.at(2).checked);
        QVERIFY(!menu.places.at(0).checked && !menu.places.at(3).checked);
        QVERIFY(!menu.autoChecked);

        own.position = QStringLiteral("在席");
        own.autoRegistered = true;
        menu = placeMenu(options, own);
        QVERIFY(menu.autoChecked);
        for (const auto& place : menu.places)
            QVERIFY(!place.checked);
    }
};

QTEST_GUILESS_MAIN(TestStatusLogic)
#include "tst_statuslogic.moc"
