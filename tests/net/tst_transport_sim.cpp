// The transport against the development server: the login carried by cookies, texts with
// Japanese and form delimiters arriving unchanged, server logon on every request, the server's
// fault switches and its error pages.
#include "core/Settings.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "net/InetProtocol.h"
#include "net/Transport.h"
#include "support/SimServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QTest>

using namespace zelmora;
using zelmora::test::SimServer;

namespace {
const QString kTopPageQuery = QStringLiteral("?_System=Login&_Update=再読込");

ConnectionSettings settingsFor(const SimServer& sim, qint16 timeoutSeconds = 10) {
    ConnectionSettings c;
    c.SERVER_URL = sim.baseUrl().toString();
    c.TIMEOUT = timeoutSeconds;
    c.PROXY_MODE = 1;
    c.updateProgramUrl();
    return c;
}

// The program's transfer object with fresh cookies, so that no test inherits another's login.
void resetTransport(const ConnectionSettings& c, const QString& user = {}, const QString& password = {}) {
    InetProtocol& inet = InetProtocol::instance();
    inet.manager()->setCookieJar(new QNetworkCookieJar);
    inet.setWatchdogInterval(InetProtocol::kWatchdogMs);
    SetInetOptions(c, user, password);
}
} // namespace

class TestTransportSim : public QObject {
    Q_OBJECT
private:
    SimServer m_sim;

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        QVERIFY(m_sim.reset());
        m_sim.clearRequests();
        resetTransport(settingsFor(m_sim));
    }

    void cookiesCarryTheLogin() {
        const ConnectionSettings c = settingsFor(m_sim);
        GroupwareSession session;
        // User 5's password holds cp932 text and "&".
        QVERIFY(Login(c, session, 5, QStringLiteral("ぱす&5")));
        QCOMPARE(session.userId(), 5);
        const PageResult top = GetPage(c.programUrl + kTopPageQuery);
        QVERIFY(top.text.contains(kTopPageTitle));
        QVERIFY(IsValidPage(top.text));
        const QJsonObject logged = m_sim.requests(QStringLiteral("toppage")).last();
        QVERIFY(logged.value(QStringLiteral("cookie")).toString().contains(QStringLiteral("CBSESSID")));
        QCOMPARE(logged.value(QStringLiteral("user")).toInt(), 5);

        // Once the server forgets the session, the same request gets the login page, which is no
        // usable page.
        QVERIFY(m_sim.expireSessions());
        const PageResult expired = GetPage(c.programUrl + kTopPageQuery);
        QCOMPARE(expired.error, TransferError::None);
        QVERIFY(!expired.text.contains(kTopPageTitle));
        QVERIFY(!IsValidPage(expired.text));

        QVERIFY(!Login(c, session, 5, QStringLiteral("ぱす")));
        QCOMPARE(session.userId(), GroupwareSession::kNoUser);
        QCOMPARE(m_sim.requests(QStringLiteral("login-failed")).size(), 1);
    }

    void textsWithDelimitersArriveUnchanged() {
        const ConnectionSettings c = settingsFor(m_sim);
        GroupwareSession session;
        QVERIFY(Login(c, session, 1, QStringLiteral("pass1")));

        WhereEntryRequest entry;
        entry.memberId = 1;
        entry.detail = QStringLiteral("A&B社=打合せ 100%+α");
        entry.contact = QStringLiteral("内線#12&13");
        PostResult posted = PostForm(c.programUrl + QLatin1Char('?'), whereEntryForm(entry));
        QVERIFY(posted.ok());
        QVERIFY(!posted.timedOut());

        FormData memo;
        const QString memoText = QStringLiteral("見積書の件&価格=1,000円+税 (50%引き)\r\n折返しお願いします");
        memo.add(QStringLiteral("Page"), QStringLiteral("WhereMemo"))
            .add(QStringLiteral("ID"), 2)
            .add(QStringLiteral("Whom"), QStringLiteral("田中&鈴木"))
            .add(QStringLiteral("Memo"), memoText);
        posted = PostForm(c.programUrl + QLatin1Char('?'), memo,
                          QStringLiteral("Content-Type: application/x-www-form-urlencoded\r\n"));
        QVERIFY(posted.ok());

        const QJsonObject entryLog = m_sim.requests(QStringLiteral("WhereEntry-post")).last();
        const QJsonObject fields = entryLog.value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("Detail")).toString(), entry.detail);
        QCOMPARE(fields.value(QStringLiteral("Contact")).toString(), entry.contact);
        QCOMPARE(entryLog.value(QStringLiteral("headers")).toObject().value(QStringLiteral("content-type")).toString(),
                 QStringLiteral("application/x-www-form-urlencoded"));
        const QJsonArray order = entryLog.value(QStringLiteral("fieldList")).toArray();
        QStringList names;
        for (const auto& pair : order)
            names << pair.toArray().at(0).toString();
        QCOMPARE(names, QStringList({"Page", "GID", "ID", "Bpage", "Detail", "Until", "Unit", "Contact", "Submit"}));

        const QJsonObject memoFields =
            m_sim.requests(QStringLiteral("WhereMemo-post")).last().value(QStringLiteral("fields")).toObject();
        QCOMPARE(memoFields.value(QStringLiteral("Memo")).toString(), memoText);
        QCOMPARE(memoFields.value(QStringLiteral("Whom")).toString(), QStringLiteral("田中&鈴木"));

        // The server stored them as typed.
        bool stored = false;
        for (const auto& e : m_sim.state().value(QStringLiteral("entries")).toArray()) {
            const QJsonObject o = e.toObject();
            if (o.value(QStringLiteral("user")).toInt() == 1) {
                QCOMPARE(o.value(QStringLiteral("position")).toString(), entry.detail);
                QCOMPARE(o.value(QStringLiteral("contact")).toString(), entry.contact);
                stored = true;
            }
        }
        QVERIFY(stored);
    }

    void serverLogonGoesWithEveryRequest() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("webadmin:s3cr&t");
        SimServer guarded(options);
        QVERIFY(guarded.start());
        const ConnectionSettings c = settingsFor(guarded);

        resetTransport(c, QStringLiteral("webadmin"), QStringLiteral("s3cr&t"));
        GroupwareSession session;
        QVERIFY(CheckServer(c));
        QVERIFY(Login(c, session, 2, QStringLiteral("pass2")));
        WhereEntryRequest entry;
        entry.memberId = 2;
        entry.detail = QStringLiteral("外出");
        QVERIFY(PostForm(c.programUrl + QLatin1Char('?'), whereEntryForm(entry)).ok());
        const QList<QJsonObject> served = guarded.requests();
        QCOMPARE(served.size(), 3);
        for (const QJsonObject& r : served) {
            QVERIFY(r.value(QStringLiteral("authorization")).toBool());
            QCOMPARE(r.value(QStringLiteral("status")).toInt(), 200);
        }

        // A wrong pair is refused, also after a right one was in use, and nothing loops.
        resetTransport(c, QStringLiteral("webadmin"), QStringLiteral("wrong"));
        PageResult page;
        QVERIFY(!CheckServer(c, &page));
        QCOMPARE(page.error, TransferError::AuthenticationFailed);
        QVERIFY(page.isError());
        QCOMPARE(PostForm(c.programUrl + QLatin1Char('?'), whereEntryForm(entry)).error,
                 TransferError::AuthenticationFailed);
        resetTransport(c);
        QCOMPARE(GetPage(c.programUrl).error, TransferError::AuthenticationFailed);
        QVERIFY(guarded.requests(QStringLiteral("WhereEntry-post")).size() == 1);
    }

    void silentServerEndsByTimeoutAndWatchdog() {
        const ConnectionSettings quick = settingsFor(m_sim, 1);
        resetTransport(quick);
        InetProtocol::instance().setWatchdogInterval(5000);
        QVERIFY(m_sim.setFault(QStringLiteral("hang")));
        QElapsedTimer clock;
        clock.start();
        const PageResult page = GetPage(quick.programUrl);
        QCOMPARE(page.error, TransferError::TimedOut);
        QVERIFY(page.isError());
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 4500, qPrintable(QString::number(clock.elapsed())));

        const ConnectionSettings slow = settingsFor(m_sim, 30);
        SetInetOptions(slow, {}, {});
        InetProtocol::instance().setWatchdogInterval(400);
        clock.restart();
        const PostResult post = PostForm(slow.programUrl + QLatin1Char('?'), QByteArray("Page=WhereEntry&ID=1"));
        QVERIFY(post.timedOut());
        QCOMPARE(post.error, TransferError::Watchdog);
        QVERIFY(clock.elapsed() < 4000);

        QVERIFY(m_sim.clearFault());
        const PageResult next = GetPage(slow.programUrl);
        QCOMPARE(next.error, TransferError::None);
        QVERIFY(next.text.contains(kServerCheckText));
    }

    void brokenAnswersAreReported() {
        const ConnectionSettings c = settingsFor(m_sim, 5);
        QVERIFY(m_sim.setFault(QStringLiteral("drop")));
        PageResult page = GetPage(c.programUrl);
        QCOMPARE(page.error, TransferError::ConnectionClosed);
        QVERIFY(page.noAnswer());
        QVERIFY(page.text.isEmpty());

        // A 500 page is returned as text for IsValidPage to reject; a POST reports the status.
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 500));
        page = GetPage(c.programUrl);
        QCOMPARE(page.error, TransferError::None);
        QCOMPARE(page.httpStatus, 500);
        QVERIFY(!page.isError());
        QVERIFY(page.text.contains(QStringLiteral("HTTP 500 - Internal server error")));
        QVERIFY(!IsValidPage(page.text));
        const PostResult post = PostForm(c.programUrl + QLatin1Char('?'), QByteArray("Page=WhereEntry&ID=1"));
        QCOMPARE(post.error, TransferError::ServerError);
        QVERIFY(!post.timedOut());

        // A slow answer within the limits is simply waited for.
        QVERIFY(m_sim.setDelay(300));
        page = GetPage(c.programUrl);
        QCOMPARE(page.error, TransferError::None);
        QVERIFY(IsValidPage(page.text));
    }

    void serverErrorPagesAreRejected_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("code");
        QTest::newRow("404") << QStringLiteral("status") << 404;
        QTest::newRow("403") << QStringLiteral("status") << 403;
        QTest::newRow("groupware error page") << QStringLiteral("errorpage") << 0;
    }
    void serverErrorPagesAreRejected() {
        QFETCH(QString, mode);
        QFETCH(int, code);
        const ConnectionSettings c = settingsFor(m_sim);
        QVERIFY(IsValidPage(GetPage(c.programUrl).text));
        QVERIFY(m_sim.setFault(mode, code));
        const PageResult page = GetPage(c.programUrl);
        QCOMPARE(page.error, TransferError::None); // an answer, which only IsValidPage judges
        QVERIFY(!page.text.isEmpty());
        QVERIFY(!IsValidPage(page.text));
    }
};

QTEST_GUILESS_MAIN(TestTransportSim)
#include "tst_transport_sim.moc"
