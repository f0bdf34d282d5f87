#include "app/SignalForwarder.h"
#include "core/IdleTimeScale.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace zelmora;

// The platform pieces under the resident controller: signals forwarded into the event loop and
// session idle times of uncertain unit.
class TestResidentPlatform : public QObject {
    Q_OBJECT
private slots:
    void forwardsTerminationSignalsIntoTheEventLoop() {
        SignalForwarder forwarder;
        QVERIFY(forwarder.install());
        QVERIFY(forwarder.isInstalled());
        QSignalSpy spy(&forwarder, &SignalForwarder::received);

        ::raise(SIGTERM);
        ::raise(SIGHUP);
        // Nothing is delivered inside the handler; the event loop brings both.
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGHUP);

        // Only one owner of the handlers at a time.
        SignalForwarder second;
        QVERIFY(!second.install());
    }

    void restoresThePreviousHandlersWhenDestroyed() {
        static volatile sig_atomic_t seen = 0;
        auto* previous = std::signal(SIGINT, [](int) { seen = 1; });
        {
            SignalForwarder forwarder;
            QVERIFY(forwarder.install({SIGINT}));
            QSignalSpy spy(&forwarder, &SignalForwarder::received);
            ::raise(SIGINT);
            QTRY_COMPARE(spy.count(), 1);
            QCOMPARE(int(seen), 0);
        }
        ::raise(SIGINT);
        QCOMPARE(int(seen), 1);
        std::signal(SIGINT, previous);

        // And a new forwarder can take over.
        SignalForwarder again;
        QVERIFY(again.install());
    }

    void readsMillisecondsAndSecondsOfIdleTime() {
        IdleTimeScale ms(IdleTimeScale::Unit::Milliseconds);
        QCOMPARE(ms.toSeconds(659999, 60000), 659);
        IdleTimeScale seconds(IdleTimeScale::Unit::Seconds);
        QCOMPARE(seconds.toSeconds(660, 60000), 660);
    }

    void settlesAnUnknownUnitFromTheGrowthOfTheReading() {
        // A desktop answering in seconds: read as milliseconds at first (the user looks present),
        // then recognised once the reading grew by about 60 in a minute.
        IdleTimeScale inSeconds;
        QCOMPARE(inSeconds.toSeconds(600, 60000), 0);
        QCOMPARE(inSeconds.toSeconds(660, 60050), 660);
        QCOMPARE(inSeconds.unit(), IdleTimeScale::Unit::Seconds);
        QCOMPARE(inSeconds.toSeconds(3, 60000), 3);

        IdleTimeScale inMilliseconds;
        QCOMPARE(inMilliseconds.toSeconds(120000, 60000), 120);
        QCOMPARE(inMilliseconds.toSeconds(180100, 60000), 180);
        QCOMPARE(inMilliseconds.unit(), IdleTimeScale::Unit::Milliseconds);
        // Once known, a small seconds-like reading is not taken for seconds.
        QCOMPARE(inMilliseconds.toSeconds(700, 60000), 0);

        // Input between the readings (the reading went down) or too short a span tells nothing.
        IdleTimeScale undecided;
        undecided.toSeconds(5000, 60000);
        undecided.toSeconds(300, 60000);
        undecided.toSeconds(310, 2000);
        QCOMPARE(undecided.unit(), IdleTimeScale::Unit::Unknown);
    }
};

QTEST_GUILESS_MAIN(TestResidentPlatform)
#include "tst_residentplatform.moc"
