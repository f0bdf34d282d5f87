// The alarm check of the resident window and its alarm windows, on a clock the test sets: one
// window per due item with its message and sound, snooze and cancel, and a list replaced by a
// refresh while windows are open or while the check runs.
#include "core/Clock.h"
#include "notify/ScheduleAlarm.h"
#include "notify/frmAlarm.h"
#include "status/ScheduleMerge.h"
#include "ui/NoticeSound.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zelmora;

namespace {
const QDate kToday(2024, 12, 6);
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
} // namespace

class TestAlarmWindows : public QObject {
    Q_OBJECT

    QList<ScheduleItem> m_schedule;
    UserSettings m_user;
    QStringList m_sounds;
    std::unique_ptr<ScheduleAlarm> m_alarm;

    // The list as a refresh at `now` leaves it when the top page lists `page`.
    void refresh(const QList<ScheduleItem>& page, const QDateTime& now) {
        m_schedule = mergeSchedule(m_schedule, page, kTiming, now);
    }

    QStringList tickAt(const QDateTime& now) {
        Clock::setFixed(now);
        const int before = int(m_sounds.size());
        const QList<frmAlarm*> open = m_alarm->openWindows();
        m_alarm->Tick();
        QStringList raised;
        for (frmAlarm* window : m_alarm->openWindows()) {
            if (!open.contains(window))
                raised << window->lblSchedule()->text();
        }
        // Every new window sounds once.
        [&] { QCOMPARE(int(m_sounds.size()) - before, int(raised.size())); }();
        return raised;
    }

    frmAlarm* lastWindow() const { return m_alarm->openWindows().isEmpty() ? nullptr : m_alarm->openWindows().last(); }

private slots:
    void init() {
        m_schedule.clear();
        m_user = UserSettings();
        m_user.ALARM_SOUNDFILE = QStringLiteral("/usr/share/sounds/alarm.wav");
        m_sounds.clear();
        ui::setSoundPlayer([this](const QString& file) { m_sounds << file; });
        m_alarm = std::make_unique<ScheduleAlarm>(m_schedule, m_user);
    }

    void cleanup() {
        m_alarm.reset();
        ui::setSoundPlayer({});
        Clock::reset();
    }

    void startedDuringAndAfterAnAppointment() {
        const QList<ScheduleItem> page = {item(2, QStringLiteral("会議"), at(10, 0), at(11, 0)),
                                          item(1, QStringLiteral("来客"), at(10, 0)), item(0, QStringLiteral("出張"))};
        refresh(page, at(10, 30));
        QCOMPARE(tickAt(at(10, 31)), (QStringList{QStringLiteral("10:00-11:00 会議の時間になりました."),
                                                  QStringLiteral("10:00 来客の時間になりました."),
                                                  QStringLiteral("出張の時間になりました.")}));
        QCOMPARE(m_sounds.first(), m_user.ALARM_SOUNDFILE);
        frmAlarm* window = lastWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("アラーム"));
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window->cmdAlarmOn()->text(), QStringLiteral("5分後に通知"));
        QCOMPARE(window->cmdAlarmoff()->text(), QStringLiteral("アラームを解除"));
        // Raised alarms are unarmed: the next tick and a refresh bring none of them back.
        refresh(page, at(10, 32));
        QVERIFY(tickAt(at(10, 33)).isEmpty());

        // Started after the end: only the kinds without an end come, the item of kind 1 seen late too.
        m_schedule.clear();
        refresh(page, at(15, 0));
        QCOMPARE(tickAt(at(15, 1)), (QStringList{QStringLiteral("10:00 来客の時間になりました."),
                                                 QStringLiteral("出張の時間になりました.")}));
    }

    void snoozeTwiceThenCancel() {
        m_user.ALARM_SOUNDFILE.clear();
        refresh({item(1, QStringLiteral("定例会議"), at(10, 0))}, at(9, 0));
        QVERIFY(tickAt(at(9, 50)).isEmpty()); // the alarm time itself is not yet past
        QCOMPARE(tickAt(at(9, 50, 30)).size(), 1);
        QCOMPARE(m_sounds, QStringList{QString()}); // no file: the beep

        Clock::setFixed(at(9, 52));
        lastWindow()->cmdAlarmOn()->click();
        QVERIFY(m_alarm->openWindows().isEmpty());
        QVERIFY(m_schedule.first().armed);
        QCOMPARE(m_schedule.first().alarmTime, at(9, 57));
        QVERIFY(tickAt(at(9, 57)).isEmpty());
        QCOMPARE(tickAt(at(9, 57, 1)).size(), 1);

        // The second snooze counts from its own press.
        Clock::setFixed(at(10, 1));
        lastWindow()->cmdAlarmOn()->click();
        QCOMPARE(m_schedule.first().alarmTime, at(10, 6));
        QCOMPARE(tickAt(at(10, 6, 30)).size(), 1);

        lastWindow()->cmdAlarmoff()->click();
        QVERIFY(!m_schedule.first().armed);
        QVERIFY(tickAt(at(10, 30)).isEmpty());

        // The close box leaves the alarm as raised: no reminder.
        refresh({item(0, QStringLiteral("資料作成"))}, at(10, 40));
        QCOMPARE(tickAt(at(10, 41)).size(), 1);
        lastWindow()->close();
        QVERIFY(tickAt(at(11, 0)).isEmpty());
    }

    void buttonsAfterARefreshReplacedTheList() {
        refresh({item(1, QStringLiteral("朝会"), at(9, 0)), item(1, QStringLiteral("定例会議"), at(10, 0))}, at(8, 0));
        QCOMPARE(tickAt(at(9, 55)).size(), 2);
        frmAlarm* meeting = lastWindow();
        QCOMPARE(meeting->alarm().title, QStringLiteral("定例会議"));

        // Snoozed, then renamed on the server: after the refresh the renamed item is new and comes
        // at the next tick; the old title is gone with its snooze.
        Clock::setFixed(at(9, 56));
        meeting->cmdAlarmOn()->click();
        refresh({item(1, QStringLiteral("朝会"), at(9, 0)), item(1, QStringLiteral("定例会議(変更)"), at(10, 0))},
                at(9, 58));
        QVERIFY(m_schedule.at(1).armed);
        QCOMPARE(m_schedule.at(1).alarmTime, at(9, 50));
        QCOMPARE(tickAt(at(9, 59)), QStringList{QStringLiteral("10:00 定例会議(変更)の時間になりました.")});
        QVERIFY(tickAt(at(10, 5)).isEmpty());

        // The morning meeting's window outlived a refresh that dropped its item: the buttons find
        // nothing and only close the window.
        frmAlarm* morning = m_alarm->openWindows().first();
        QCOMPARE(morning->alarm().title, QStringLiteral("朝会"));
        refresh({item(1, QStringLiteral("定例会議(変更)"), at(10, 0))}, at(10, 6));
        const QList<ScheduleItem> before = m_schedule;
        Clock::setFixed(at(10, 7));
        morning->cmdAlarmOn()->click();
        QCOMPARE(m_schedule.size(), 1);
        QCOMPARE(m_schedule.first().armed, before.first().armed);
        QCOMPARE(m_schedule.first().alarmTime, before.first().alarmTime);
        QCOMPARE(m_alarm->openWindows().size(), 1);
    }

    void listShortenedInTheMiddleOfATick() {
        refresh({item(0, QStringLiteral("一")), item(0, QStringLiteral("二")), item(0, QStringLiteral("三"))},
                at(8, 0));
        // A refresh that runs while the first alarm window is shown empties the list.
        QTimer::singleShot(0, m_alarm.get(), [this] { m_schedule.clear(); });
        QCOMPARE(tickAt(at(8, 1)), QStringList{QStringLiteral("一の時間になりました.")});
    }

    void switchedOff() {
        m_user.NOTIFY_SCHEDULE = false;
        refresh({item(0, QStringLiteral("出張"))}, at(8, 0));
        QVERIFY(tickAt(at(9, 0)).isEmpty());
        QVERIFY(m_schedule.first().armed);
        QVERIFY(m_sounds.isEmpty());
    }
};

QTEST_MAIN(TestAlarmWindows)
#include "tst_alarmwindows.moc"
