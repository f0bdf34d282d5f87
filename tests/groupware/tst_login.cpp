#include "core/Cp932.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "support/RawHttpServer.h"

#include <QTest>

using namespace zelmora;
using zelmora::test::RawHttpServer;

namespace {
ConnectionSettings connectionTo(const QString& serverUrl, qint16 osType = 0) {
    ConnectionSettings c;
    c.SERVER_URL = serverUrl;
    c.SERVER_OS_TYPE = osType;
    c.PROXY_MODE = 1;
    c.TIMEOUT = 5;
    c.updateProgramUrl();
    SetInetOptions(c, {}, {});
    return c;
}
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void checkServerRecognisesOffice4Only() {
        RawHttpServer server;
        const ConnectionSettings c = connectionTo(server.url(QStringLiteral("/scripts")));
        server.setReply(200, "text/html", cp932::encode(QStringLiteral("<p>サイボウズ(R) Office Version 4.0</p>")));
        QVERIFY(CheckServer(c));
        server.setReply(200, "text/html", cp932::encode(QStringLiteral("<p>サイボウズ(R) Office Version 5.0</p>")));
        PageResult page;
        QVERIFY(!CheckServer(c, &page));
        QCOMPARE(page.error, TransferError::None);
        QCOMPARE(server.requests().size(), 2);
        QCOMPARE(server.requests()[0].target, QByteArray("/scripts/office.exe"));
    }

    void checkServerRefusesDoubledProgramNameWithoutRequest() {
        RawHttpServer server;
        server.setReply(200, "text/html", cp932::encode(kServerCheckText));
        QVERIFY(!CheckServer(connectionTo(server.url(QStringLiteral("/scripts/office.exe")))));
        QVERIFY(!CheckServer(connectionTo(server.url(QStringLiteral("/scripts/OFFICE.CGI/")), 1)));
        QCOMPARE(server.requests().size(), 0);
        // Only the configured type's name counts: office.exe in front of office.cgi is asked.
        QVERIFY(CheckServer(connectionTo(server.url(QStringLiteral("/scripts/office.exe/")), 1)));
        QCOMPARE(server.requests().size(), 1);
    }

    void checkServerWithoutAnswerIsFalse() {
        RawHttpServer server;
        const ConnectionSettings c = connectionTo(server.url());
        server.setCutShort(true);
        PageResult page;
        QVERIFY(!CheckServer(c, &page));
        QVERIFY(page.noAnswer());
    }

    void loginSendsEncodedQueryAndSetsUser() {
        RawHttpServer server;
        const ConnectionSettings c = connectionTo(server.url(QStringLiteral("/cb")), 1);
        server.setReply(200, "text/html",
                        cp932::encode(QStringLiteral("<title>") + kTopPageTitle + QStringLiteral("</title>")));
        GroupwareSession session;
        const QString password = QStringLiteral("秘密&pw=1+1 %");
        QVERIFY(Login(c, session, 17, password));
        QCOMPARE(session.userId(), 17);
        QCOMPARE(session.password(), password);
        QCOMPARE(server.requests()[0].target,
                 "/cb/office.cgi?_System=login&_Login=1&_ID=17&Password=" + cp932::formEncode(password));

        server.setReply(200, "text/html", cp932::encode(QStringLiteral("パスワードが違います")));
        QVERIFY(!Login(c, session, 17, QStringLiteral("wrong")));
        QCOMPARE(session.userId(), GroupwareSession::kNoUser);
        QVERIFY(session.password().isEmpty());

        PageResult page;
        QVERIFY(!Login(c, session, 17, QStringLiteral("😀"), &page));
        QCOMPARE(page.error, TransferError::UnencodableText);
        QCOMPARE(server.requests().size(), 2);
    }

    void readsUsableApplications_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("mask");
        QTest::newRow("none") << QStringLiteral("<a href=\"office.exe?page=Other\">x</a>") << 0;
        QTest::newRow("schedule and workflow")
            << QStringLiteral(
                   "<a href=\"office.exe?page=ScheduleIndex\">予定</a><a href='office.cgi?page = WorkFlowIndex'>")
            << int(AppSchedule | AppWorkflow);
        QTest::newRow("upper-case tag and attribute")
            << QStringLiteral("<A HREF=\"office.exe?page=WhereIndex\"><A  Href = 'office.exe?page=BulletinIndex' >")
            << int(AppWhereabouts | AppBulletin);
        QTest::newRow("extra query key is not the application's link")
            << QStringLiteral(
                   "<a href=\"office.exe?page=ScheduleIndex&date=1\"><a href=\"office.exe?page=CircularIndex\">")
            << int(AppCircular);
        QTest::newRow("another program") << QStringLiteral("<a href=\"/cgi/office.exe?page=WebMailIndex\">") << 0;
        QTest::newRow("all")
            << QStringLiteral("<a href=\"office.exe?page=ScheduleIndex\"><a href=\"office.exe?page=WhereIndex\">"
                              "<a href=\"office.exe?page=BulletinIndex\"><a href=\"office.exe?page=CircularIndex\">"
                              "<a href=\"office.exe?page=WebMailIndex\"><a href=\"office.exe?page=WorkFlowIndex\">")
            << int(AppAll);
    }
    void readsUsableApplications() {
        QFETCH(QString, page);
        QFETCH(int, mask);
        QCOMPARE(int(usableApplicationsOf(page)), mask);
    }

    void getUsableApplicationsClearsStoredMask() {
        RawHttpServer server;
        ConnectionSettings c = connectionTo(server.url());
        c.usableApplications = AppAll;
        server.setReply(200, "text/html", "<a href=\"office.exe?page=WhereIndex\">");
        QCOMPARE(int(GetUsableApplications(c)), int(AppWhereabouts));
        QCOMPARE(int(c.usableApplications), 0);
        server.setCutShort(true);
        QCOMPARE(int(GetUsableApplications(c)), 0);
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "tst_login.moc"
