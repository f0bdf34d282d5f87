#include "notify/AlarmLogic.h"
#include "notify/NoticeBoxes.h"
#include "status/ScheduleMerge.h"

#include <QTest>

using namespace zelmora;

namespace {
const QDate kToday(2002, 6, 3);
const QTime kTiming(0, 10);

QDateTime at(int h, int m, int s = 0) {
    return QDateTime(kToday, QTime(h, m, s));
}

ScheduleItem item(qint16 kind, const QString& title, const QDateTime& start = {}, const QDateTime& end = {}) {
    ScheduleItem s;
    s.kind = kind;
    s.title = title;
    s.start = start;
    s.end = end;
    return s;
}

// Titles raised by one complete tick.
QStringList tick(QList<ScheduleItem>& schedule, const QDateTime& now, bool enabled = true) {
    AlarmTick walk(enabled);
    QStringList raised;
    while (const auto ref = walk.next(schedule, now))
        raised.append(ref->title);
    return raised;
}

// The schedule as a refresh at `now` leaves it when the page lists `page`.
QList<ScheduleItem> refresh(const QList<ScheduleItem>& current, const QList<ScheduleItem>& page, const QDateTime& now) {
    return mergeSchedule(current, page, kTiming, now);
}
} // namespace

class TestAlarm : public QObject {
    Q_OBJECT
private slots:
    void dueTestIsStrictAndChecksTheEnd() {
        ScheduleItem meeting = item(2, QStringLiteral("会議"), at(10, 0), at(11, 0));
        meeting.armed = true;
        meeting.alarmTime = at(9, 50);
        QVERIFY(!isAlarmDue(meeting, at(9, 50)));
        QVERIFY(isAlarmDue(meeting, at(9, 50, 1)));
        QVERIFY(isAlarmDue(meeting, at(10, 59, 59)));
        QVERIFY(!isAlarmDue(meeting, at(11, 0)));
        meeting.armed = false;
        QVERIFY(!isAlarmDue(meeting, at(10, 0)));
        ScheduleItem odd = item(5, QStringLiteral("?"), at(10, 0));
        odd.armed = true;
        odd.alarmTime = at(9, 0);
        QVERIFY(!isAlarmDue(odd, at(10, 0)));
    }

    // Program started during or after an appointment: the first refresh arms every item.
    void itemsSeenLate() {
        const QList<ScheduleItem> page = {item(2, QStringLiteral("会議"), at(10, 0), at(11, 0)),
                                          item(1, QStringLiteral("来客"), at(10, 0)),
                                          item(0, QStringLiteral("(複数日) 出張"))};
        QList<ScheduleItem> during = refresh({}, page, at(10, 30));
        QCOMPARE(tick(during, at(10, 31)),
                 (QStringList{QStringLiteral("会議"), QStringLiteral("来客"), QStringLiteral("(複数日) 出張")}));
        QVERIFY(tick(during, at(10, 32)).isEmpty());

        QList<ScheduleItem> after = refresh({}, page, at(11, 5));
        QCOMPARE(tick(after, at(11, 6)), (QStringList{QStringLiteral("来客"), QStringLiteral("(複数日) 出張")}));
        QVERIFY(after.at(0).armed); // never raised, the end has passed

        // Kind 0 comes at the first tick after the refresh that saw it, not at the same second.
        QList<ScheduleItem> fresh = refresh({}, {page.at(2)}, at(15, 0));
        QVERIFY(tick(fresh, at(15, 0)).isEmpty());
        QCOMPARE(tick(fresh, at(15, 0, 1)).size(), 1);
    }

    void raisedAlarmStaysRaisedAcrossRefreshes() {
        const QList<ScheduleItem> page = {item(1, QStringLiteral("朝会"), at(9, 5))};
        QList<ScheduleItem> schedule = refresh({}, page, at(8, 0));
        QVERIFY(tick(schedule, at(8, 55)).isEmpty());
        QCOMPARE(tick(schedule, at(8, 56)), QStringList{QStringLiteral("朝会")});
        schedule = refresh(schedule, page, at(9, 0));
        QVERIFY(tick(schedule, at(9, 1)).isEmpty());
    }

    void notifyScheduleOffRaisesNothing() {
        QList<ScheduleItem> schedule = refresh({}, {item(0, QStringLiteral("出張"))}, at(8, 0));
        QVERIFY(tick(schedule, at(9, 0), false).isEmpty());
        QVERIFY(schedule.at(0).armed);
    }

    void twoItemsAtOneTick() {
        QList<ScheduleItem> schedule =
            refresh({}, {item(1, QStringLiteral("A"), at(10, 0)), item(1, QStringLiteral("B"), at(10, 0))}, at(8, 0));
        AlarmTick walk(true);
        const auto first = walk.next(schedule, at(9, 51));
        const auto second = walk.next(schedule, at(9, 51));
        QVERIFY(first && second);
        QCOMPARE(first->index, 0);
        QCOMPARE(second->index, 1);
        QVERIFY(!walk.next(schedule, at(9, 51)));
        QVERIFY(!schedule.at(0).armed && !schedule.at(1).armed);
    }

    void listShortenedDuringTheTick() {
        QList<ScheduleItem> schedule = refresh(
            {}, {item(0, QStringLiteral("A")), item(0, QStringLiteral("B")), item(0, QStringLiteral("C"))}, at(8, 0));
        AlarmTick walk(true);
        QCOMPARE(walk.next(schedule, at(8, 1))->title, QStringLiteral("A"));
        // A refresh, run while the first alarm window was shown, replaced the list by a shorter one.
        schedule = refresh(schedule, {item(0, QStringLiteral("A"))}, at(8, 1));
        QVERIFY(!walk.next(schedule, at(8, 1)));
        // Replaced by a reordered one: the walk goes on from where it was on the new list.
        schedule = refresh({}, {item(0, QStringLiteral("X")), item(0, QStringLiteral("Y"))}, at(8, 0));
        AlarmTick other(true);
        QCOMPARE(other.next(schedule, at(8, 1))->title, QStringLiteral("X"));
        schedule = refresh({}, {item(0, QStringLiteral("Z")), item(0, QStringLiteral("Y"))}, at(8, 0));
        QCOMPARE(other.next(schedule, at(8, 1))->title, QStringLiteral("Y"));
        QVERIFY(schedule.at(0).armed);
    }

    void snoozeTwiceMovesFromEachPress() {
        QList<ScheduleItem> schedule = refresh({}, {item(1, QStringLiteral("朝会"), at(9, 5))}, at(8, 0));
        AlarmTick walk(true);
        const AlarmRef ref = *walk.next(schedule, at(8, 56));
        QCOMPARE(alarmMessage(schedule.at(ref.index)), QStringLiteral("09:05 朝会の時間になりました."));

        QVERIFY(snoozeAlarm(schedule, ref, at(8, 58)));
        QCOMPARE(schedule.at(0).alarmTime, at(9, 3));
        QVERIFY(tick(schedule, at(9, 3)).isEmpty());
        QCOMPARE(tick(schedule, at(9, 4)).size(), 1);

        QVERIFY(snoozeAlarm(schedule, ref, at(9, 10)));
        QCOMPARE(schedule.at(0).alarmTime, at(9, 15));
        QVERIFY(schedule.at(0).armed);
        QVERIFY(cancelAlarm(schedule, ref));
        QVERIFY(!schedule.at(0).armed);
        QVERIFY(!schedule.at(0).alarmTime.isValid());
        QVERIFY(tick(schedule, at(9, 16)).isEmpty());
    }

    void titleChangedAfterSnoozeCountsAsNew() {
        QList<ScheduleItem> schedule = refresh({}, {item(2, QStringLiteral("会議"), at(10, 0), at(11, 0))}, at(8, 0));
        const AlarmRef ref = *AlarmTick(true).next(schedule, at(9, 51));
        QVERIFY(snoozeAlarm(schedule, ref, at(9, 52)));
        schedule = refresh(schedule, {item(2, QStringLiteral("定例会議"), at(10, 0), at(11, 0))}, at(9, 53));
        QVERIFY(schedule.at(0).armed);
        QCOMPARE(schedule.at(0).alarmTime, at(9, 50));
        // The old window's buttons no longer find their item.
        QVERIFY(!snoozeAlarm(schedule, ref, at(9, 54)));
        QVERIFY(!cancelAlarm(schedule, ref));
        QCOMPARE(tick(schedule, at(9, 54)), QStringList{QStringLiteral("定例会議")});
        QCOMPARE(alarmMessage(schedule.at(0)), QStringLiteral("10:00-11:00 定例会議の時間になりました."));
    }

    void buttonsFindTheirItemAfterARefresh() {
        QList<ScheduleItem> schedule = {item(0, QStringLiteral("A")), item(0, QStringLiteral("B"))};
        schedule[1].armed = true;
        bool direct = false;
        QCOMPARE(findAlarmTarget(schedule, {1, QStringLiteral("B")}, &direct), 1);
        QVERIFY(direct);
        QCOMPARE(findAlarmTarget(schedule, {5, QStringLiteral("B")}, &direct), 1);
        QVERIFY(!direct);
        QCOMPARE(findAlarmTarget(schedule, {1, QStringLiteral("A")}, &direct), -1); // found, but not armed
        QCOMPARE(findAlarmTarget({}, {0, QStringLiteral("A")}), -1);

        // Searched target: snooze keeps it armed with the new time; cancel disarms it.
        QVERIFY(snoozeAlarm(schedule, {0, QStringLiteral("B")}, at(12, 0)));
        QCOMPARE(schedule.at(1).alarmTime, at(12, 5));
        QVERIFY(!schedule.at(0).armed);
        QVERIFY(cancelAlarm(schedule, {0, QStringLiteral("B")}));
        QVERIFY(!schedule.at(1).armed);
    }

    void noticeBoxesFollowUsableApplications() {
        ConnectionSettings connection;
        connection.usableApplications = AppAll & ~AppWebMail;
        auto boxes = noticeBoxes(1 | 4, connection);
        QCOMPARE(boxes[0].caption, QStringLiteral("メールが届いています"));
        QVERIFY(!boxes[0].enabled && !boxes[0].ticked); // mail waiting, but web mail is not usable
        QVERIFY(boxes[2].enabled && boxes[2].ticked);
        QVERIFY(boxes[1].enabled && !boxes[1].ticked);
        connection.CHECK_USABLE_APPLICATION = false;
        boxes = noticeBoxes(1, connection);
        QVERIFY(boxes[0].enabled && boxes[0].ticked);
    }

    void noticeButtonOpensFirstTickedPage() {
        QCOMPARE(noticePageQuery({true, false, true, false, false}, 7), QStringLiteral("?page=WebMailIndex"));
        QCOMPARE(noticePageQuery({false, false, true, true, false}, 7),
                 QStringLiteral("?page=WhereHistory&id=7&gid=0"));
        QVERIFY(noticePageQuery({}, 7).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
