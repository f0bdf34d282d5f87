// The real zelmora executable against a groupware server that fails: down at start, down in the
// middle of a run, hanging, cutting pages off, answering with error pages, behind a proxy that is
// down, refusing the server logon. The program runs offscreen; what it shows is read from its
// support log: message boxes, the status window's title with the rows it shows, every request's
// outcome and time, and the event loop's longest stall per second. ZELMORA_TEST_ANSWER answers
// its modal windows, ZELMORA_TEST_TICK_MS makes its timers tick fast, ZELMORA_TEST_WATCHDOG_MS
// shortens the request watchdog.
#include "core/LogonName.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/TestScrambling.h"
#include "support/TinyProxy.h"
#include "support/ZelmoraProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zelmora;
using namespace zelmora::test;

namespace {

const QString kUnreachableBox =
    QStringLiteral("message box: エラー | サイボウズサーバーにアクセスできません.\\r\\n設定を確認してください");
const QString kDialogCheckBox = QStringLiteral("message box: エラー | サイボウズサーバーにアクセスできません.");
const QString kSettingsIncompleteBox =
    QStringLiteral("message box: エラー | 設定が正しく行われませんでしたので終了します.");
const QString kSettingsDialogAnswer = QStringLiteral("test answer: zelmora::frmSetParameter");
const QString kErrorTitle = QStringLiteral("status title: ゼルモラ - サーバーにアクセスできません | rows shown: ");
const QString kStartupComplete = QStringLiteral("start-up complete");

QString logonName() {
    return logonNameOrCommon(GetLoginUserName());
}

// A loopback port on which nothing listens (for now).
quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

SimServer::Options onPort(quint16 port, const QString& basicAuth = {}) {
    SimServer::Options options;
    options.extraArguments = {QStringLiteral("--port"), QString::number(port)};
    options.basicAuth = basicAuth;
    return options;
}

QString serverUrl(quint16 port) {
    return QStringLiteral("http://127.0.0.1:%1/scripts/cbag/").arg(port);
}

// The program on a data folder, its modal windows answered with `answer` ("ok" or "cancel"), its
// request watchdog shortened to `watchdogMs` when that is given.
QProcessEnvironment testHooks(const QString& answer, int watchdogMs) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("ZELMORA_TEST_ANSWER"), answer);
    if (watchdogMs > 0)
        env.insert(QStringLiteral("ZELMORA_TEST_WATCHDOG_MS"), QString::number(watchdogMs));
    return env;
}

class Zelmora : public ZelmoraProcess {
public:
    Zelmora(const QString& dataFolder, const QString& answer, int watchdogMs = 0)
        : ZelmoraProcess(QStringLiteral(ZELMORA_EXE), dataFolder, testHooks(answer, watchdogMs)) {}
};

// `ok`, with the program's whole log printed when it is false (the failure message is cut short).
bool withLog(bool ok, Zelmora& zelmora) {
    if (!ok)
        for (const QString& line : zelmora.lines())
            qInfo().noquote() << "  |" << line;
    return ok;
}

// Index of the first log line from `from` on that contains `text`, or -1.
qsizetype findLine(const QStringList& lines, const QString& text, qsizetype from = 0) {
    for (qsizetype i = qMax<qsizetype>(from, 0); i < lines.size(); ++i)
        if (lines.at(i).contains(text))
            return i;
    return -1;
}

int count(const QStringList& lines, const QString& text) {
    int n = 0;
    for (const QString& line : lines)
        n += line.contains(text);
    return n;
}

// The number after "rows shown: " in a title line.
int rowsShown(const QString& line) {
    static const QRegularExpression re(QStringLiteral("rows shown: (\\d+)"));
    const QRegularExpressionMatch m = re.match(line);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A title line that tells a successful refresh.
bool isRefreshedTitle(const QString& line) {
    static const QRegularExpression re(
        QStringLiteral("status title: ゼルモラ - \\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2} 更新 \\| rows shown: \\d+$"));
    return re.match(line.trimmed()).hasMatch();
}

qsizetype findRefreshedTitle(const QStringList& lines, qsizetype from) {
    for (qsizetype i = qMax<qsizetype>(from, 0); i < lines.size(); ++i)
        if (isRefreshedTitle(lines.at(i)))
            return i;
    return -1;
}

// "after N ms" of a request's outcome line.
int requestMs(const QString& line) {
    static const QRegularExpression re(QStringLiteral("after (\\d+) ms"));
    const QRegularExpressionMatch m = re.match(line);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The event loop's stall figures reported between two log lines and, with `andNext`, the report
// after them, which covers the end of the interval (and whatever the program did right after it).
QList<int> stallsBetween(const QStringList& lines, qsizetype first, qsizetype last, bool andNext) {
    static const QRegularExpression report(QStringLiteral("longest event-loop stall (\\d+) ms"));
    static const QRegularExpression single(QStringLiteral("event loop stalled for (\\d+) ms"));
    QList<int> figures;
    for (qsizetype i = first; i < lines.size(); ++i) {
        const bool after = i > last;
        if (after && !andNext)
            break;
        QRegularExpressionMatch m = report.match(lines.at(i));
        const bool isReport = m.hasMatch();
        if (!isReport)
            m = single.match(lines.at(i));
        if (!m.hasMatch())
            continue;
        figures << m.captured(1).toInt();
        if (after && isReport)
            break;
    }
    return figures;
}

QStringList commonSection(const QString& url, const QStringList& extra = {}) {
    QStringList lines{QStringLiteral("[COMMON]")};
    const QStringList base{QStringLiteral("SERVER_URL=") + url,   QStringLiteral("PROXY_MODE=1"),
                           QStringLiteral("TIMEOUT=4"),           QStringLiteral("GET_INTERVAL=1"),
                           QStringLiteral("UPDATE_INTERVAL=59"),  QStringLiteral("LASTLOGINUSER_GROUP=1"),
                           QStringLiteral("LASTLOGINUSER_NAME=1")};
    for (const QString& line : base) {
        const QString key = line.left(line.indexOf(QLatin1Char('=')) + 1);
        bool replaced = false;
        for (const QString& e : extra)
            replaced = replaced || e.startsWith(key);
        if (!replaced)
            lines << line;
    }
    return lines + extra;
}

// User 1 of the built-in organisation (山田 太郎, "pass1") with a remembered password; no
// end-of-day entry, so that an ending program does not talk to the server.
QStringList userSection() {
    const QString key = QStringLiteral("1") + QStringLiteral("山田 太郎") + logonName();
    return QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=ON"),
                       QStringLiteral("PASSWORD=") + scrambleForTest(key, QStringLiteral("pass1")),
                       QStringLiteral("END_ACTION_TYPE=NONE")};
}

QStringList serverLogonSection(const QString& user, const QString& password) {
    const QString logon = logonName();
    return QStringList{QString(), QStringLiteral("[SERVER_LOGON]"),
                       scrambleForTest(logon, logon) + QStringLiteral(":") + scrambleForTest(logon, user) +
                           QStringLiteral("=") + scrambleForTest(logon, password)};
}

void writeSettings(const QTemporaryDir& data, const QStringList& lines) {
    writeFile(data.filePath(QStringLiteral("Zelmora.ini")), crlfCp932(lines));
}

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
private:
    // Waits for a refreshed title after `from` and returns its line index (-1 on time-out).
    qsizetype waitForRefresh(Zelmora& zelmora, qsizetype from, int ms = 30000) {
        qsizetype at = -1;
        waitUntil([&] { return (at = findRefreshedTitle(zelmora.lines(), from)) >= 0; }, ms);
        return at;
    }
    qsizetype waitForLine(Zelmora& zelmora, const QString& text, qsizetype from = 0, int ms = 30000) {
        qsizetype at = -1;
        waitUntil([&] { return (at = findLine(zelmora.lines(), text, from)) >= 0; }, ms);
        return at;
    }
    void endNormally(Zelmora& zelmora) {
        zelmora.terminate();
        QVERIFY(withLog(zelmora.finished(20000), zelmora));
        QCOMPARE(zelmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zelmora.exitCode(), 0);
    }

private slots:
    // Nothing answers at the program's start: the unreachable message, then the settings dialog,
    // whose confirmation keeps failing its own server check; once the server is there the
    // confirmation goes through and the launch goes on to the end.
    void serverDownAtStartKeepsTheSettingsDialogUntilItAnswers() {
        const quint16 port = freePort();
        QVERIFY(port != 0);
        QTemporaryDir data;
        writeSettings(data, commonSection(serverUrl(port)) + userSection());
        Zelmora zelmora(data.path(), QStringLiteral("ok"));
        QVERIFY(zelmora.started());

        const qsizetype box = waitForLine(zelmora, kUnreachableBox);
        QVERIFY(withLog(box >= 0, zelmora));
        // The dialog is confirmed twice while the server is still down: each time its check fails
        // with the same message and the dialog stays.
        QVERIFY(withLog(waitUntil([&] { return count(zelmora.lines(), kSettingsDialogAnswer) >= 2; }), zelmora));
        const qsizetype firstAnswer = findLine(zelmora.lines(), kSettingsDialogAnswer);
        QVERIFY(firstAnswer > box);
        // The dialog's own check says so in one line.
        bool dialogCheckFailed = false;
        for (const QString& line : zelmora.lines().mid(firstAnswer))
            dialogCheckFailed = dialogCheckFailed || line.trimmed().endsWith(kDialogCheckBox);
        QVERIFY(withLog(dialogCheckFailed, zelmora));
        QCOMPARE(findLine(zelmora.lines(), kStartupComplete), -1);

        SimServer sim(onPort(port));
        QVERIFY(sim.start());
        QVERIFY(withLog(waitForLine(zelmora, kStartupComplete) >= 0, zelmora));
        QCOMPARE(sim.requests(QStringLiteral("login")).size(), 1);
        QCOMPARE(findLine(zelmora.lines(), kSettingsIncompleteBox), -1);
        endNormally(zelmora);
    }

    // The server goes away while the program runs: the next refresh fails with the error title and
    // keeps the rows it showed; no message box interrupts the user. The server comes back (a restart
    // that forgot every session): the next refresh logs in again by itself and shows the board.
    void serverStopsMidRunAndComesBack() {
        auto sim = std::make_unique<SimServer>();
        QVERIFY(sim->start());
        const quint16 port = sim->port();
        QTemporaryDir data;
        writeSettings(data, commonSection(sim->baseUrl().toString()) + userSection());
        Zelmora zelmora(data.path(), QStringLiteral("ok"));
        QVERIFY(zelmora.started());
        const qsizetype good = waitForRefresh(zelmora, 0);
        QVERIFY(withLog(good >= 0, zelmora));
        const int rows = rowsShown(zelmora.lines().at(good));
        QVERIFY(rows > 0);
        const int boxes = count(zelmora.lines(), QStringLiteral("message box:"));

        const qsizetype stoppedAt = zelmora.lines().size();
        sim->stop();
        const qsizetype failed = waitForLine(zelmora, kErrorTitle, stoppedAt);
        QVERIFY(withLog(failed >= 0, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(failed)), rows);
        QVERIFY(zelmora.lines().at(failed).trimmed().endsWith(kErrorTitle + QString::number(rows)));
        // Every refresh fails while it is away.
        QVERIFY(withLog(waitForLine(zelmora, kErrorTitle, failed + 1) > failed, zelmora));

        sim = std::make_unique<SimServer>(onPort(port));
        QVERIFY(sim->start());
        const qsizetype back = waitForRefresh(zelmora, failed);
        QVERIFY(withLog(back > failed, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(back)), rows);
        // The restarted server knew no session: the program logged in again and read the top page.
        QVERIFY(withLog(findLine(zelmora.lines(), QStringLiteral("logged in again; repeating the request"), failed) >
                            failed,
                        zelmora));
        QCOMPARE(sim->requests(QStringLiteral("login")).size(), 1);
        QVERIFY(!sim->requests(QStringLiteral("toppage")).isEmpty());
        QCOMPARE(count(zelmora.lines(), QStringLiteral("message box:")), boxes);
        endNormally(zelmora);
    }

    // A server that takes the connection and never answers. The start-up registration (a POST)
    // is given up by the watchdog and the launch goes on; a board read (a GET) fails after TIMEOUT
    // with the error title, the rows kept, and the next refresh is whole again. Throughout both
    // waits the event loop keeps running: its longest stall stays well under a second (a window
    // frozen by the wait would stall for the whole 4-second time-out; a loaded machine adds a few
    // hundred milliseconds at most).
    void hangingServer() {
        SimServer sim;
        QVERIFY(sim.start());
        QVERIFY(sim.setFault(QStringLiteral("hang"), 0, 0, 1, QStringLiteral("Contact=*")));
        QTemporaryDir data;
        writeSettings(data, commonSection(sim.baseUrl().toString()) + userSection());
        const int watchdogMs = 1500;
        Zelmora zelmora(data.path(), QStringLiteral("ok"), watchdogMs);
        QVERIFY(zelmora.started());

        const qsizetype postEnd = waitForLine(zelmora, QStringLiteral("  -> watchdog"));
        QVERIFY(withLog(postEnd >= 0, zelmora));
        const qsizetype post = findLine(zelmora.lines(), QStringLiteral("POST "));
        QVERIFY(post >= 0 && post < postEnd);
        QVERIFY(zelmora.lines().at(post).contains(QStringLiteral("Detail=在席*")));
        const int postMs = requestMs(zelmora.lines().at(postEnd));
        // Coarse timers may fire up to 5 % early.
        QVERIFY2(postMs >= watchdogMs * 9 / 10 && postMs < watchdogMs + 5000, qPrintable(QString::number(postMs)));
        QVERIFY(withLog(waitForLine(zelmora, kStartupComplete, postEnd) > postEnd, zelmora));
        const qsizetype good = waitForRefresh(zelmora, postEnd);
        QVERIFY(withLog(good >= 0, zelmora));
        const int rows = rowsShown(zelmora.lines().at(good));
        QVERIFY(rows > 0);
        // The hung POST was sent once, not again.
        int posts = 0;
        for (const QJsonObject& r : sim.requests())
            posts += r.value(QStringLiteral("method")).toString() == QLatin1String("POST");
        QCOMPARE(posts, 1);

        const qsizetype armedAt = zelmora.lines().size();
        QVERIFY(sim.setFault(QStringLiteral("hang"), 0, 0, 1, QStringLiteral("page=WhereIndex")));
        const qsizetype getEnd = waitForLine(zelmora, QStringLiteral("  -> timeout"), armedAt);
        QVERIFY(withLog(getEnd >= 0, zelmora));
        qsizetype get = getEnd;
        while (get > 0 && !zelmora.lines().at(get).contains(QStringLiteral("GET ")))
            --get;
        QVERIFY(zelmora.lines().at(get).contains(QStringLiteral("page=WhereIndex")));
        const int getMs = requestMs(zelmora.lines().at(getEnd));
        QVERIFY2(getMs >= 4000 * 9 / 10 && getMs < 4000 + 8000, qPrintable(QString::number(getMs)));
        const qsizetype failed = waitForLine(zelmora, kErrorTitle, getEnd);
        QVERIFY(withLog(failed > getEnd, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(failed)), rows);
        const qsizetype back = waitForRefresh(zelmora, failed);
        QVERIFY(withLog(back > failed, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(back)), rows);

        // The stall figures of both waits (and the reports that cover their ends).
        QVERIFY(
            withLog(waitUntil([&] { return stallsBetween(zelmora.lines(), get, getEnd, true).size() >= 4; }), zelmora));
        // The POST's wait is followed at once by the loading of the windows: its figures are only
        // those reported inside the wait.
        const QList<int> postStalls = stallsBetween(zelmora.lines(), post, postEnd, false);
        const QList<int> getStalls = stallsBetween(zelmora.lines(), get, getEnd, true);
        qInfo() << "event-loop stalls (ms) during the hung POST:" << postStalls << "and the hung GET:" << getStalls;
        QVERIFY(postStalls.size() >= 1);
        QVERIFY(getStalls.size() >= 4);
        for (const int stall : postStalls + getStalls)
            QVERIFY2(stall < 1000, qPrintable(QString::number(stall)));
        endNormally(zelmora);
    }

    // Answers that break off or are no page of the board: each makes the refresh fail with the
    // error title and the rows kept, and the refresh after the server is well again recovers.
    void brokenAnswersOfTheBoard() {
        SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir data;
        writeSettings(data, commonSection(sim.baseUrl().toString()) + userSection());
        Zelmora zelmora(data.path(), QStringLiteral("ok"));
        QVERIFY(zelmora.started());
        qsizetype at = waitForRefresh(zelmora, 0);
        QVERIFY(withLog(at >= 0, zelmora));
        const int rows = rowsShown(zelmora.lines().at(at));
        QVERIFY(rows > 0);

        struct Fault {
            const char* name;
            const char* mode;
            int code;
        };
        const Fault faults[] = {{"connection cut off mid-page", "drop", 200},
                                {"403", "status", 403},
                                {"404", "status", 404},
                                {"500", "status", 500},
                                {"error page", "errorpage", 0},
                                {"licence-key page", "licence", 0}};
        for (const Fault& fault : faults) {
            const qsizetype armedAt = zelmora.lines().size();
            QVERIFY(sim.setFault(QLatin1String(fault.mode), fault.code, 0, -1, QStringLiteral("page=WhereIndex")));
            const qsizetype failed = waitForLine(zelmora, kErrorTitle, armedAt);
            QVERIFY2(withLog(failed >= 0, zelmora), fault.name);
            QVERIFY2(rowsShown(zelmora.lines().at(failed)) == rows, fault.name);
            const qsizetype clearedAt = zelmora.lines().size();
            QVERIFY(sim.clearFault());
            at = waitForRefresh(zelmora, clearedAt);
            QVERIFY2(withLog(at >= 0, zelmora), fault.name);
            QVERIFY2(rowsShown(zelmora.lines().at(at)) == rows, fault.name);
        }
        // A server that forgot its sessions is no fault to show: the program logs in again and the
        // refresh goes through.
        const qsizetype expiredAt = zelmora.lines().size();
        QVERIFY(sim.expireSessions());
        const qsizetype renewed =
            waitForLine(zelmora, QStringLiteral("logged in again; repeating the request"), expiredAt);
        QVERIFY(withLog(renewed >= 0, zelmora));
        at = waitForRefresh(zelmora, renewed);
        QVERIFY(withLog(at > renewed, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(at)), rows);
        QCOMPARE(findLine(zelmora.lines(), kErrorTitle, expiredAt), -1);
        QCOMPARE(count(zelmora.lines(), QStringLiteral("message box:")), 0);
        endNormally(zelmora);
    }

    // PROXY_MODE 2 through a real proxy that goes down in the middle of a run: the refresh fails
    // with the error title and the rows kept; once the proxy is back the next refresh recovers.
    void proxyStopsMidRunAndComesBack() {
        if (!TinyProxy::available())
            QSKIP("tinyproxy is not installed");
        SimServer sim;
        QVERIFY(sim.start());
        TinyProxy proxy;
        QVERIFY2(proxy.start(), qPrintable(proxy.error()));
        QTemporaryDir data;
        writeSettings(data, commonSection(sim.baseUrl().toString(),
                                          {QStringLiteral("PROXY_MODE=2"), QStringLiteral("PROXY_SERVER=127.0.0.1"),
                                           QStringLiteral("PROXY_PORTNO=%1").arg(proxy.port())}) +
                                userSection());
        Zelmora zelmora(data.path(), QStringLiteral("ok"));
        QVERIFY(zelmora.started());
        const qsizetype good = waitForRefresh(zelmora, 0);
        QVERIFY(withLog(good >= 0, zelmora));
        const int rows = rowsShown(zelmora.lines().at(good));
        QVERIFY(rows > 0);
        // Every request went through the proxy.
        for (const QJsonObject& r : sim.requests())
            QVERIFY(!r.value(QStringLiteral("via")).toString().isEmpty());

        const qsizetype stoppedAt = zelmora.lines().size();
        proxy.stop();
        const qsizetype failed = waitForLine(zelmora, kErrorTitle, stoppedAt);
        QVERIFY(withLog(failed >= 0, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(failed)), rows);

        QVERIFY2(proxy.start(proxy.port()), qPrintable(proxy.error()));
        const qsizetype back = waitForRefresh(zelmora, failed);
        QVERIFY(withLog(back > failed, zelmora));
        QCOMPARE(rowsShown(zelmora.lines().at(back)), rows);
        QCOMPARE(count(zelmora.lines(), QStringLiteral("message box:")), 0);
        endNormally(zelmora);
    }

    // Starts that cannot reach the server, with the settings dialog cancelled: the unreachable
    // message, the dialog, the settings-incomplete message, and the end of the program.
    void unreachableStartEndsWhenTheDialogIsCancelled_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no server") << QStringLiteral("down");
        QTest::newRow("server never answers") << QStringLiteral("hang");
        QTest::newRow("server trickles its answer") << QStringLiteral("trickle");
        QTest::newRow("proxy down (PROXY_MODE 2)") << QStringLiteral("proxy");
        QTest::newRow("server logon refused") << QStringLiteral("auth");
    }
    void unreachableStartEndsWhenTheDialogIsCancelled() {
        QFETCH(QString, kind);
        const quint16 deadPort = freePort();
        QVERIFY(deadPort != 0);
        SimServer sim(onPort(0, kind == QLatin1String("auth") ? QStringLiteral("webuser:web-secret") : QString()));
        QStringList settings;
        if (kind == QLatin1String("down")) {
            settings = commonSection(serverUrl(deadPort)) + userSection();
        } else if (kind == QLatin1String("hang") || kind == QLatin1String("trickle")) {
            QVERIFY(sim.start());
            QVERIFY(sim.setFault(kind));
            settings = commonSection(sim.baseUrl().toString()) + userSection();
        } else if (kind == QLatin1String("proxy")) {
            QVERIFY(sim.start());
            settings = commonSection(sim.baseUrl().toString(),
                                     {QStringLiteral("PROXY_MODE=2"), QStringLiteral("PROXY_SERVER=127.0.0.1"),
                                      QStringLiteral("PROXY_PORTNO=%1").arg(deadPort)}) +
                       userSection();
        } else {
            QVERIFY(sim.start());
            settings = commonSection(sim.baseUrl().toString(), {QStringLiteral("SERVER_PASSWORD_REQUIRED=ON")}) +
                       serverLogonSection(QStringLiteral("webuser"), QStringLiteral("wrong-secret")) + userSection();
        }
        QTemporaryDir data;
        writeSettings(data, settings);

        Zelmora zelmora(data.path(), QStringLiteral("cancel"));
        QVERIFY(zelmora.started());
        QVERIFY(withLog(zelmora.finished(30000), zelmora));
        QCOMPARE(zelmora.exitStatus(), QProcess::NormalExit);
        const QStringList lines = zelmora.lines();
        const qsizetype box = findLine(lines, kUnreachableBox);
        const qsizetype dialog = findLine(lines, kSettingsDialogAnswer + QStringLiteral(" \"設定\" with cancel"));
        const qsizetype end = findLine(lines, kSettingsIncompleteBox);
        QVERIFY(withLog(box >= 0 && dialog > box && end > dialog, zelmora));
        QCOMPARE(findLine(lines, kStartupComplete), -1);

        if (kind == QLatin1String("hang") || kind == QLatin1String("trickle")) {
            // The server check gave up after TIMEOUT (4 s), however much trickled in.
            const qsizetype check = findLine(lines, QStringLiteral("  -> timeout"));
            QVERIFY(withLog(check >= 0 && check < box, zelmora));
            QVERIFY(requestMs(lines.at(check)) >= 4000 * 9 / 10);
            QVERIFY(requestMs(lines.at(check)) < 4000 + 2000);
            QVERIFY(sim.clearFault()); // lets the held connections go
        } else if (kind == QLatin1String("proxy")) {
            // Nothing went round the proxy.
            QVERIFY(sim.requests().isEmpty());
        } else if (kind == QLatin1String("auth")) {
            QVERIFY(!sim.requests().isEmpty());
            for (const QJsonObject& r : sim.requests())
                QCOMPARE(r.value(QStringLiteral("kind")).toString(), QStringLiteral("unauthorised"));
            QVERIFY(!zelmora.log().contains(QStringLiteral("wrong-secret")));
        }
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
