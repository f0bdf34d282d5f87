// The resident program over many refreshes: the real zelmora on a data folder that logs in by
// itself, both clocks at their fastest and ticking every 100 ms (ZELMORA_TEST_TICK_MS), while the
// server's data changes all the time (others' whereabouts, mail, memos, articles, appointments),
// so that the grid, the position and link menus of the window and the tray, and the notice window
// are rebuilt on every tick. Its support log (zelmora.diag, every four ticks) must show no growth of
// menu items, actions or windows. Resident memory is printed only: a short run cannot tell a leak
// from the allocator settling; bench/longrun.sh judges it over ten minutes of real time.
#include "core/LogonName.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/TestScrambling.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>

using namespace zelmora;
using namespace zelmora::test;

namespace {

constexpr int kTickMs = 100;
constexpr int kRunMs = 60000;

struct Sample {
    qint64 rssKb = 0;
    int menuActions = 0;
    int actions = 0;
    int topLevel = 0;
    int objects = 0;
};

QList<Sample> samplesOf(const QString& log) {
    static const QRegularExpression line(
        QStringLiteral("zelmora\\.diag: resources rss_kb=(-?\\d+) menu_actions=(\\d+) actions=(\\d+) top_level=(\\d+) "
                       "visible=\\d+ objects=(\\d+)"));
    QList<Sample> samples;
    for (auto it = line.globalMatch(log); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        samples.append({m.captured(1).toLongLong(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                        m.captured(5).toInt()});
    }
    return samples;
}

// The least of a field over some samples: a sample taken in the middle of a refresh counts the
// menu items that wait for their deletion too, but a leak raises even the least.
template <typename F> int least(const QList<Sample>& samples, F field) {
    int value = INT_MAX;
    for (const Sample& s : samples)
        value = std::min(value, field(s));
    return value;
}

} // namespace

class TestLongRun : public QObject {
    Q_OBJECT
private slots:
    void manyRefreshesOfChangingDataLeaveNothingBehind() {
        SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir data;
        const QString key = QStringLiteral("1") + QStringLiteral("山田 太郎") + logonNameOrCommon(GetLoginUserName());
        writeFile(data.filePath(QStringLiteral("Zelmora.ini")),
                  crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=") + sim.baseUrl().toString(),
                             QStringLiteral("PROXY_MODE=1"), QStringLiteral("TIMEOUT=10"),
                             QStringLiteral("GET_INTERVAL=0"), QStringLiteral("UPDATE_INTERVAL=0"),
                             QStringLiteral("LASTLOGINUSER_GROUP=1"), QStringLiteral("LASTLOGINUSER_NAME=1"), QString(),
                             QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=ON"),
                             QStringLiteral("PASSWORD=") + scrambleForTest(key, QStringLiteral("pass1")),
                             QStringLiteral("END_ACTION_TYPE=NONE"), QStringLiteral("NOTIFY_SCHEDULE=OFF")}));

        QProcess zelmora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zelmora.diag=true"));
        env.insert(QStringLiteral("ZELMORA_TEST_TICK_MS"), QString::number(kTickMs));
        zelmora.setProcessEnvironment(env);
        zelmora.setProcessChannelMode(QProcess::MergedChannels);
        zelmora.start(QStringLiteral(ZELMORA_EXE), {data.path()});
        QVERIFY(zelmora.waitForStarted(10000));
        QString log;

        // The server's data changes about twice per tick of the program.
        const QDeadlineTimer run(kRunMs);
        int steps = 0;
        while (!run.hasExpired() && zelmora.state() == QProcess::Running) {
            QTest::qWait(kTickMs / 2);
            steps = sim.churn(1);
            log += QString::fromUtf8(zelmora.readAll());
        }
        QVERIFY2(zelmora.state() == QProcess::Running, qPrintable(log.right(4000)));
        ::kill(pid_t(zelmora.processId()), SIGTERM);
        QVERIFY(zelmora.waitForFinished(20000));
        log += QString::fromUtf8(zelmora.readAll());
        QCOMPARE(zelmora.exitCode(), 0);

        // Many refreshes of a changing board: the test is worth nothing without them.
        QVERIFY2(steps > 200, qPrintable(QString::number(steps)));
        const qsizetype boardReads = sim.requests(QStringLiteral("WhereIndex")).size();
        QVERIFY2(boardReads > 100, qPrintable(QString::number(boardReads)));

        // Samples once the program runs (its menus exist), a quarter in; the last quarter.
        QList<Sample> samples = samplesOf(log);
        samples.erase(samples.begin(),
                      std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.menuActions > 0; }));
        QVERIFY2(samples.size() >= 40, qPrintable(log.right(4000)));
        const qsizetype quarter = samples.size() / 4;
        const QList<Sample> early = samples.mid(quarter / 2, quarter);
        const QList<Sample> late = samples.mid(samples.size() - quarter);
        const auto menuActions = [](const Sample& s) { return s.menuActions; };
        const auto actions = [](const Sample& s) { return s.actions; };
        const auto topLevel = [](const Sample& s) { return s.topLevel; };
        const auto objects = [](const Sample& s) { return s.objects; };
        qInfo("%lld board reads, %d changes; menu items %d -> %d, actions %d -> %d, windows %d -> %d, objects %d -> "
              "%d; resident memory %lld kB -> %lld kB",
              qint64(boardReads), steps, least(early, menuActions), least(late, menuActions), least(early, actions),
              least(late, actions), least(early, topLevel), least(late, topLevel), least(early, objects),
              least(late, objects), early.first().rssKb, late.last().rssKb);
        QVERIFY(least(late, menuActions) <= least(early, menuActions));
        QVERIFY(least(late, actions) <= least(early, actions));
        QVERIFY(least(late, topLevel) <= least(early, topLevel));
        QVERIFY(least(late, objects) <= least(early, objects));
    }
};

QTEST_MAIN(TestLongRun)
#include "tst_longrun.moc"
