#include "app/ResidentClocks.h"

#include <QTest>

using namespace zelmora;

namespace {
// Number of the first tick on which the clock acts, counting from 1; 0 when it does not act in `limit`.
int firstDueTick(IntervalClock& clock, int limit = 200) {
    for (int tick = 1; tick <= limit; ++tick) {
        if (clock.tick())
            return tick;
    }
    return 0;
}
} // namespace

class TestResidentClocks : public QObject {
    Q_OBJECT
private slots:
    void actsEveryIntervalMinutes_data() {
        QTest::addColumn<qint16>("minutes");
        QTest::addColumn<int>("tick");
        QTest::newRow("5 minutes") << qint16(5) << 20;
        QTest::newRow("1 minute") << qint16(1) << 4;
        QTest::newRow("0") << qint16(0) << 1;
        QTest::newRow("negative") << qint16(-3) << 1;
    }

    void actsEveryIntervalMinutes() {
        QFETCH(qint16, minutes);
        QFETCH(int, tick);
        IntervalClock clock;
        clock.setInterval(minutes);
        clock.on();
        QCOMPARE(firstDueTick(clock), tick);
        // ... and again a full interval later, without drift.
        QCOMPARE(firstDueTick(clock), tick);
        QCOMPARE(firstDueTick(clock), tick);
    }

    void disabledClockIgnoresTicksAndClearRestarts() {
        IntervalClock clock;
        QList<bool> changes;
        clock.setEnabledHandler([&changes](bool on) { changes.append(on); });
        clock.setInterval(1);
        QVERIFY(!clock.tick());
        QCOMPARE(clock.elapsedMs(), 0);
        clock.on();
        clock.tick();
        clock.tick();
        clock.off();
        QVERIFY(!clock.tick());
        QCOMPARE(clock.elapsedMs(), 30000);
        clock.on();
        clock.clear();
        QVERIFY(clock.isEnabled());
        QCOMPARE(firstDueTick(clock), 4);
        QCOMPARE(changes, (QList<bool>{true, false, true, false, true}));
    }

    // A registration tick that falls inside a board read is skipped, and its clock starts over, so the next
    // registration comes one full UPDATE_INTERVAL after the skipped tick.
    void registrationInsideBoardReadIsSkipped() {
        ResidentClocks clocks;
        clocks.getClock().setInterval(5);
        clocks.updateClock().setInterval(3);
        clocks.getClock().on();
        clocks.updateClock().on();
        for (int i = 0; i < 11; ++i)
            QVERIFY(!clocks.updateClock().tick());

        QVERIFY(clocks.beginGetData());
        QVERIFY(!clocks.getClock().isEnabled());
        QVERIFY(clocks.bflgWhileGettingData());
        QVERIFY(clocks.updateClock().tick());       // 12th tick: due ...
        QVERIFY(!clocks.beginUpdatePosition(true)); // ... but the read is running
        QVERIFY(!clocks.bflgWhileUpdatingData());
        QVERIFY(clocks.updateClock().isEnabled());
        clocks.endGetData();
        QVERIFY(clocks.getClock().isEnabled());
        QVERIFY(!clocks.bflgWhileGettingData());

        QCOMPARE(firstDueTick(clocks.updateClock()), 12);
        QVERIFY(clocks.beginUpdatePosition(true));
        QVERIFY(!clocks.updateClock().isEnabled());
        QVERIFY(!clocks.beginGetData()); // a board tick during the registration is skipped the same way
        QVERIFY(!clocks.bflgWhileGettingData());
        clocks.endUpdatePosition();
        QVERIFY(clocks.updateClock().isEnabled());
        QVERIFY(clocks.beginGetData());
    }

    void notLoggedInRegistersNothing() {
        ResidentClocks clocks;
        clocks.updateClock().on();
        QVERIFY(!clocks.beginUpdatePosition(false));
        QVERIFY(!clocks.bflgWhileUpdatingData());
        QVERIFY(clocks.updateClock().isEnabled());
        // The board read is not held up by the refused pass.
        QVERIFY(clocks.beginGetData());
    }
};

QTEST_GUILESS_MAIN(TestResidentClocks)
#include "tst_residentclocks.moc"
