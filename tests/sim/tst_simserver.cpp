// The development server over HTTP: login and session cookie, open and login-only pages, the two
// forms changing the next board, HTTP Basic authentication, the fault switches and the request log.
#include "SimClient.h"
#include "core/Cp932.h"
#include "support/SimServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {
const QString kLoginRequired = QStringLiteral("ログインが必要です");
const QString kTopTitle = QStringLiteral("サイボウズ Office 4 個人トップページ");

QByteArray loginQuery(int id, const QString& password) {
    return "_System=login&_Login=1&_ID=" + QByteArray::number(id) + "&Password=" + cp932::formEncode(password);
}

// The board row of one member, from its member link to the end of the row.
QString boardRow(const QString& board, int id) {
    const QString link = QStringLiteral("?page=OfficeInfo&id=%1\"").arg(id);
    const qsizetype at = board.indexOf(link);
    return at < 0 ? QString() : board.mid(at, board.indexOf(QLatin1String("</tr>"), at) - at);
}
} // namespace

class TestSimServer : public QObject {
    Q_OBJECT

private:
    SimServer m_sim;
    QUrl url(const QByteArray& query) const { return SimClient::withQuery(m_sim.programUrl(), query); }
    void login(SimClient& client, int id, const QString& password) {
        const SimAnswer a = client.get(url(loginQuery(id, password)));
        QVERIFY2(a.text().contains(kTopTitle), "login failed");
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        QVERIFY(m_sim.reset());
        m_sim.clearRequests();
    }

    void serverCheckBeforeLoginShowsVersionFormAndAllApplications() {
        SimClient client;
        const SimAnswer a = client.get(m_sim.programUrl());
        QCOMPARE(a.status, 200);
        QCOMPARE(a.contentType, QByteArray("text/html; charset=Shift_JIS"));
        const QString page = a.text();
        QVERIFY(page.contains(QStringLiteral("サイボウズ(R) Office Version 4.0")));
        QVERIFY(page.contains(QStringLiteral("name=\"Password\"")));
        QVERIFY(!page.contains(kTopTitle));
        for (const char* app :
             {"ScheduleIndex", "WhereIndex", "BulletinIndex", "CircularIndex", "WebMailIndex", "WorkFlowIndex"})
            QVERIFY2(page.contains(QStringLiteral("<a href=\"office.exe?page=%1\">").arg(QLatin1String(app))), app);
        QCOMPARE(m_sim.baseUrl().toString(), QStringLiteral("http://127.0.0.1:%1/scripts/cbag/").arg(m_sim.port()));
    }

    void loginSetsSessionCookieAndFailureDoesNot() {
        SimClient client;
        SimAnswer a = client.get(url(loginQuery(1, QStringLiteral("wrong"))));
        QCOMPARE(a.status, 200);
        QVERIFY(!a.text().contains(kTopTitle));
        QVERIFY(a.setCookie.isEmpty());
        QVERIFY(client.get(url("_System=Login&_Update=" + cp932::formEncode(QStringLiteral("再読込"))))
                    .text()
                    .contains(kLoginRequired));

        a = client.get(url(loginQuery(1, QStringLiteral("pass1"))));
        QVERIFY(a.text().contains(kTopTitle));
        QVERIFY(a.setCookie.startsWith("CBSESSID="));
        QVERIFY(a.text().contains(QStringLiteral("<b>山田 太郎</b>")));
        // The cookie carries the login: the program URL and the top page query now show the user's page.
        QVERIFY(client.get(m_sim.programUrl()).text().contains(kTopTitle));
        QVERIFY(client.get(url("_System=Login&_Update=" + cp932::formEncode(QStringLiteral("再読込"))))
                    .text()
                    .contains(kTopTitle));
        QCOMPARE(m_sim.state().value(QLatin1String("sessions")).toArray(), QJsonArray{1});

        // A password with cp932 text and "&" works when it is percent-encoded.
        SimClient other;
        login(other, 5, QStringLiteral("ぱす&5"));
        const QList<QJsonObject> logins = m_sim.requests(QStringLiteral("login"));
        QCOMPARE(logins.size(), 2);
        QCOMPARE(logins.last().value(QLatin1String("fields")).toObject().value(QLatin1String("Password")).toString(),
                 QStringLiteral("ぱす&5"));
        QCOMPARE(m_sim.requests(QStringLiteral("login-failed")).size(), 1);
    }

    void loginByBrowserFormPost() {
        SimClient client;
        const SimAnswer a = client.post(m_sim.programUrl(), "_System=login&_Login=1&_ID=2&Password=pass2");
        QVERIFY(a.text().contains(kTopTitle));
        QVERIFY(client.get(url("page=BulletinIndex")).text().contains(QStringLiteral("[検索する]")));
    }

    void loginOnlyPagesAskForLoginAndOpenPagesDoNot() {
        SimClient anonymous;
        for (const QByteArray& q :
             {QByteArray("page=WhereEntry&id=1&bpage=index"), QByteArray("page=WhereEntry&id=2&gid=0"),
              QByteArray("page=WhereEntry&id=1"), QByteArray("page=BulletinIndex"),
              QByteArray("_System=Login&_Update=%8D%C4%93%C7%8D%9E")})
            QVERIFY2(anonymous.get(url(q)).text().contains(kLoginRequired), q.constData());
        for (const QByteArray& q : {QByteArray("page=LoginGroup&group=0&bpage="), QByteArray("page=WhereIndex&gid=0"),
                                    QByteArray("page=WhereIndex&gid=1")}) {
            const SimAnswer a = anonymous.get(url(q));
            QCOMPARE(a.status, 200);
            QVERIFY2(!a.text().contains(kLoginRequired), q.constData());
        }

        SimClient client;
        login(client, 1, QStringLiteral("pass1"));
        QVERIFY(!client.get(url("page=WhereEntry&id=1&bpage=index")).text().contains(kLoginRequired));
        QVERIFY(m_sim.expireSessions());
        QVERIFY(client.get(url("page=WhereEntry&id=1&bpage=index")).text().contains(kLoginRequired));
        QVERIFY(!client.get(m_sim.programUrl()).text().contains(kTopTitle));
    }

    void entryPostChangesTheNextBoard() {
        SimClient client;
        login(client, 1, QStringLiteral("pass1"));
        // Percent-encoded cp932, as the program sends it: "&" and "=" stay inside their fields.
        const QByteArray body =
            "Page=WhereEntry&GID=%22%22&ID=2&Bpage=index&Detail=" + cp932::formEncode(QStringLiteral("会議")) +
            "&Until=15&Unit=" + cp932::formEncode(QStringLiteral("時まで")) +
            "&Contact=" + cp932::formEncode(QStringLiteral("A&B=1")) +
            "&Submit=" + cp932::formEncode(QStringLiteral("登録する"));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QCOMPARE(client.post(url(""), body).status, 200);
        QString row = boardRow(client.get(url("page=WhereIndex&gid=1")).text(), 2);
        QVERIFY2(row.contains(QStringLiteral("<font size=+1>会議 (15時まで)</font>")), qPrintable(row));
        QVERIFY2(row.contains(QStringLiteral("<td>A&B=1<br></td>")), qPrintable(row));

        const QJsonArray entries = m_sim.state().value(QLatin1String("entries")).toArray();
        for (const QJsonValue& e : entries)
            if (e.toObject().value(QLatin1String("user")).toInt() == 2) {
                const QDateTime updated =
                    QDateTime::fromString(e.toObject().value(QLatin1String("updated")).toString(), Qt::ISODate);
                QVERIFY(updated >= before && updated <= QDateTime::currentDateTime().addSecs(1));
            }
        const QJsonObject logged = m_sim.requests(QStringLiteral("WhereEntry-post")).value(0);
        QCOMPARE(logged.value(QLatin1String("fields")).toObject().value(QLatin1String("Contact")).toString(),
                 QStringLiteral("A&B=1"));
        QCOMPARE(logged.value(QLatin1String("rawBody")).toString().toLatin1(), body);

        // Raw cp932 bytes, as the old program sent them, decode the same way.
        const QByteArray raw =
            "Page=WhereEntry&GID=\"\"&ID=1&Bpage=index&Detail=" + cp932::encode(QStringLiteral("外出?")) +
            "&Until=&Unit=&Contact=" + cp932::encode(QStringLiteral("携帯?")) +
            "&Submit=" + cp932::encode(QStringLiteral("登録する"));
        client.post(url(""), raw);
        row = boardRow(client.get(url("page=WhereIndex&gid=3")).text(), 1);
        QVERIFY2(row.contains(QStringLiteral("<font size=+1>外出?</font>")), qPrintable(row));
        QVERIFY2(row.contains(QStringLiteral("<td>携帯?<br></td>")), qPrintable(row));
        QVERIFY(row.contains(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))));
    }

    void membersWithoutPermissionAreRefused() {
        SimClient client;
        login(client, 2, QStringLiteral("pass2"));
        const QString refusal = QStringLiteral("さんの行き先を変更する権限はありません");
        QVERIFY(client.get(url("page=WhereEntry&id=1&gid=0")).text().contains(refusal));
        QVERIFY(!client.get(url("page=WhereEntry&id=2&gid=0")).text().contains(refusal));
        client.post(url(""), "Page=WhereEntry&GID=%22%22&ID=1&Bpage=index&Detail=x&Until=&Unit=&Contact=y&Submit=s");
        QVERIFY(boardRow(client.get(url("page=WhereIndex&gid=1")).text(), 1).contains(QStringLiteral(">在席*<")));

        SimClient admin;
        login(admin, 1, QStringLiteral("pass1"));
        QVERIFY(!admin.get(url("page=WhereEntry&id=2&gid=0")).text().contains(refusal));
    }

    void memoPostMarksTheMemberAndCounts() {
        SimClient client;
        login(client, 1, QStringLiteral("pass1"));
        QVERIFY(!boardRow(client.get(url("page=WhereIndex&gid=2")).text(), 3).contains(QStringLiteral("recept.gif")));
        const QByteArray body = "Page=WhereMemo&ID=3&GID=0&Title=" + cp932::formEncode(QStringLiteral("電話メモ")) +
                                "&Date=" + cp932::formEncode(QStringLiteral("12/6 (金) ")) +
                                "&Time=10:05&Whom=" + cp932::formEncode(QStringLiteral("田中")) +
                                "&Request=" + cp932::formEncode(QStringLiteral("伝言を残します。")) +
                                "&Tel=03-1111-2222&Memo=" + cp932::formEncode(QStringLiteral("1行目\r\n2行目 & 3")) +
                                "&Writer=" + cp932::formEncode(QStringLiteral("山田 太郎")) +
                                "&Submit=" + cp932::formEncode(QStringLiteral("電話メモを残す"));
        client.post(url(""), body);
        QVERIFY(boardRow(client.get(url("page=WhereIndex&gid=2")).text(), 3)
                    .contains(QStringLiteral("<img src=\"/cb4/recept.gif\" border=0")));

        const QJsonArray memos = m_sim.state().value(QLatin1String("memos")).toArray();
        const QJsonObject memo = memos.last().toObject();
        QCOMPARE(memo.value(QLatin1String("to")).toInt(), 3);
        QCOMPARE(memo.value(QLatin1String("memo")).toString(), QStringLiteral("1行目\r\n2行目 & 3"));
        QCOMPARE(memo.value(QLatin1String("date")).toString(), QStringLiteral("12/6 (金) "));
        QCOMPARE(memo.value(QLatin1String("writer")).toString(), QStringLiteral("山田 太郎"));

        // The receiver sees the count on the top page; reading the memos takes the mark off.
        SimClient receiver;
        const SimAnswer top = receiver.get(url(loginQuery(3, QStringLiteral("pass3"))));
        QVERIFY(top.text().contains(QStringLiteral("電話メモが 1 件</a>あります。")));
        receiver.get(url("page=WhereHistory&id=3&gid=0"));
        QVERIFY(!boardRow(receiver.get(url("page=WhereIndex&gid=2")).text(), 3).contains(QStringLiteral("recept.gif")));
    }

    void churnMovesOthersAndAddsNoticesWithoutGrowing() {
        const auto count = [this](const char* list) {
            return m_sim.state().value(QLatin1String(list)).toArray().size();
        };
        const qsizetype memos = count("memos");
        const qsizetype articles = count("articles");
        const qsizetype schedule = count("schedule");
        SimClient client;
        login(client, 1, QStringLiteral("pass1"));
        const QString boardBefore = client.get(url("page=WhereIndex&gid=0")).text();

        const int first = m_sim.churn(1);
        QVERIFY(first > 0);
        const QString board = client.get(url("page=WhereIndex&gid=0")).text();
        // Every other member moved; the user's own entry is the user's (the memo gets its mark).
        QVERIFY(boardRow(boardBefore, 1).contains(QStringLiteral(">在席*</font>")));
        QVERIFY(boardRow(board, 1).contains(QStringLiteral(">在席*</font>")));
        QVERIFY(boardRow(board, 1).contains(QStringLiteral("recept.gif")));
        for (int id : {2, 3, 4, 5})
            QVERIFY2(boardRow(board, id) != boardRow(boardBefore, id), qPrintable(boardRow(board, id)));
        const QString top =
            client.get(url("_System=Login&_Update=" + cp932::formEncode(QStringLiteral("再読込")))).text();
        QVERIFY(client.get(url("page=BulletinIndex")).text().contains(QStringLiteral("社内連絡 #%1").arg(first)));
        QVERIFY(top.contains(QStringLiteral("電話メモが 1 件</a>あります。")));

        for (int i = 1; i < 6; ++i)
            QCOMPARE(m_sim.churn(1), first + i);
        // What a step adds lives three steps: memos, articles and appointments stay at three more.
        QCOMPARE(count("memos"), memos + 3);
        QCOMPARE(count("articles"), articles + 3);
        // Appointments start 90 minutes on and last 30: none once that would run into tomorrow.
        const QDateTime now = QDateTime::currentDateTime();
        if (now.addSecs(120 * 60).date() == now.date())
            QCOMPARE(count("schedule"), schedule + 3);
        QVERIFY(client.get(url("_System=Login&_Update=" + cp932::formEncode(QStringLiteral("再読込"))))
                    .text()
                    .contains(QStringLiteral("電話メモが 3 件</a>あります。")));
        QCOMPARE(m_sim.churn(0), 0);
    }

    void statusAndErrorPageFaults() {
        SimClient client;
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 404));
        SimAnswer a = client.get(m_sim.programUrl());
        QCOMPARE(a.status, 404);
        QVERIFY(a.text().contains(QStringLiteral("HTTP 404")));
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 500));
        QCOMPARE(client.get(m_sim.programUrl()).status, 500);
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage")));
        a = client.get(m_sim.programUrl());
        QCOMPARE(a.status, 200);
        QVERIFY(a.text().contains(QStringLiteral("ERROR")));

        QVERIFY(m_sim.setFault(QStringLiteral("licence")));
        QVERIFY(client.get(m_sim.programUrl()).text().contains(QStringLiteral("ライセンスキーが登録されていません")));
        QVERIFY(!m_sim.setFault(QStringLiteral("nonsense")));

        // count and match narrow the fault down.
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 403, 0, 1, QStringLiteral("WhereIndex")));
        QCOMPARE(client.get(m_sim.programUrl()).status, 200);
        QCOMPARE(client.get(url("page=WhereIndex&gid=1")).status, 403);
        QCOMPARE(client.get(url("page=WhereIndex&gid=1")).status, 200);
        QVERIFY(m_sim.clearFault());
        QCOMPARE(m_sim.requests(QStringLiteral("status-fault")).size(), 3);
    }

    void heldRequestDoesNotBlockOthersAndDelayHolds() {
        SimClient held;
        QVERIFY(m_sim.setFault(QStringLiteral("hang"), 0, 0, 1));
        const SimAnswer a = held.get(m_sim.programUrl(), 1500);
        QVERIFY(!a.finished);
        QCOMPARE(m_sim.requests(QStringLiteral("held")).size(), 1);

        // Hold one more in the background, then show that another connection is served meanwhile.
        QVERIFY(m_sim.setFault(QStringLiteral("hang"), 0, 0, 1));
        QNetworkReply* pending = held.manager().get(QNetworkRequest(m_sim.programUrl()));
        QTRY_COMPARE(m_sim.requests(QStringLiteral("held")).size(), 2);
        SimClient other;
        QCOMPARE(other.get(url("page=WhereIndex&gid=1"), 3000).status, 200);
        QVERIFY(!pending->isFinished());
        QVERIFY(m_sim.clearFault()); // releases the held request: it ends without a page
        QTRY_VERIFY(pending->isFinished());
        QVERIFY(pending->error() != QNetworkReply::NoError);
        pending->deleteLater();

        QVERIFY(m_sim.setDelay(600));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(other.get(m_sim.programUrl()).status, 200);
        QVERIFY(timer.elapsed() >= 550);
    }

    void droppedAnswerIsAnError() {
        SimClient client;
        QVERIFY(m_sim.setFault(QStringLiteral("drop")));
        const SimAnswer a = client.get(m_sim.programUrl());
        QVERIFY(a.finished);
        QVERIFY(a.error != QNetworkReply::NoError);
        QVERIFY(m_sim.clearFault());
        QCOMPARE(client.get(m_sim.programUrl()).error, QNetworkReply::NoError);
    }

    void logKeepsHeadersAndDecodedFields() {
        SimClient client;
        QNetworkRequest request(url("page=WhereIndex&gid=" + cp932::formEncode(QStringLiteral("2"))));
        request.setRawHeader("Via", "1.1 proxy.example");
        QNetworkReply* reply = client.manager().get(request);
        QTRY_VERIFY(reply->isFinished());
        reply->deleteLater();
        const QJsonObject r = m_sim.requests(QStringLiteral("WhereIndex")).value(0);
        QCOMPARE(r.value(QLatin1String("via")).toString(), QStringLiteral("1.1 proxy.example"));
        QCOMPARE(r.value(QLatin1String("method")).toString(), QStringLiteral("GET"));
        QCOMPARE(r.value(QLatin1String("path")).toString(), QStringLiteral("/scripts/cbag/office.exe"));
        QCOMPARE(r.value(QLatin1String("fields")).toObject().value(QLatin1String("gid")).toString(),
                 QStringLiteral("2"));
        QCOMPARE(r.value(QLatin1String("authorization")).toBool(), false);
        QCOMPARE(r.value(QLatin1String("status")).toInt(), 200);
    }

    // As the groupware's web server does, pages go out uncompressed whatever the client accepts.
    void pagesAreNotCompressed() {
        SimClient client;
        QNetworkRequest request(url("page=WhereIndex&gid=0"));
        // Set by hand, Qt hands the body over as it arrived.
        request.setRawHeader("Accept-Encoding", "gzip, deflate, br");
        QNetworkReply* reply = client.manager().get(request);
        QTRY_VERIFY(reply->isFinished());
        reply->deleteLater();
        QCOMPARE(reply->rawHeader("Content-Encoding"), QByteArray());
        const QByteArray body = reply->readAll();
        QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), body.size());
        QVERIFY(cp932::decode(body).contains(QStringLiteral("山田 太郎")));
    }

    void basicAuthIsRequiredOnEveryRequest() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("web:secret");
        options.program = QStringLiteral("office.cgi");
        options.folder = QStringLiteral("/cgi-bin/cbag");
        SimServer sim(options);
        QVERIFY(sim.start());
        QCOMPARE(sim.programUrl().toString(),
                 QStringLiteral("http://127.0.0.1:%1/cgi-bin/cbag/office.cgi").arg(sim.port()));
        SimClient client;
        QCOMPARE(client.get(sim.programUrl()).status, 401);
        QCOMPARE(client.get(sim.programUrl(), 10000, "Basic " + QByteArray("web:wrong").toBase64()).status, 401);
        const QByteArray good = "Basic " + QByteArray("web:secret").toBase64();
        const SimAnswer a = client.get(sim.programUrl(), 10000, good);
        QCOMPARE(a.status, 200);
        QVERIFY(a.text().contains(QStringLiteral("<a href=\"office.cgi?page=WhereIndex\">")));
        QCOMPARE(client.get(QUrl(sim.baseUrl().toString() + QStringLiteral("office.exe")), 10000, good).status, 404);
        const QList<QJsonObject> log = sim.requests();
        QCOMPARE(log.size(), 4);
        QCOMPARE(log[0].value(QLatin1String("kind")).toString(), QStringLiteral("unauthorised"));
        QCOMPARE(log[2].value(QLatin1String("authorization")).toBool(), true);
        // Control endpoints stay open so that tests can switch faults.
        QVERIFY(sim.setFault(QStringLiteral("none")));
        QVERIFY(sim.state().contains(QLatin1String("users")));
    }
};

QTEST_GUILESS_MAIN(TestSimServer)
#include "tst_simserver.moc"
