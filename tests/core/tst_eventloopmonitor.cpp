// The stall figure must see a thread that is kept busy, and must stay low while the event loop runs.
#include "core/EventLoopMonitor.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTest>

using namespace zelmora;

class TestEventLoopMonitor : public QObject {
    Q_OBJECT
private slots:
    void measuresABlockedThreadAndReportsIt() {
        QLoggingCategory::setFilterRules(QStringLiteral("zelmora.eventloop=true"));
        EventLoopMonitor monitor(100000);
        monitor.start();
        QTest::qWait(100);
        const qint64 idle = monitor.longestStallMs();

        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^event loop stalled for \\d+ ms$")));
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 400) {
        }
        QTest::qWait(60);
        QVERIFY2(monitor.longestStallMs() >= 350, qPrintable(QString::number(monitor.longestStallMs())));
        QVERIFY(monitor.longestStallMs() > idle);
        QCOMPARE(monitor.periodStallMs(), monitor.longestStallMs());
    }

    void eachReportPeriodStartsFromZero() {
        QLoggingCategory::setFilterRules(QStringLiteral("zelmora.eventloop=true"));
        EventLoopMonitor monitor(200);
        monitor.start();
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^event loop stalled for \\d+ ms$")));
        QTest::ignoreMessage(
            QtDebugMsg, QRegularExpression(QStringLiteral("^longest event-loop stall \\d+ ms in the last \\d+ ms$")));
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 300) {
        }
        QTest::qWait(500);
        QVERIFY(monitor.longestStallMs() >= 250);
        QVERIFY2(monitor.periodStallMs() < 250, qPrintable(QString::number(monitor.periodStallMs())));
    }
};

QTEST_GUILESS_MAIN(TestEventLoopMonitor)
#include "tst_eventloopmonitor.moc"
