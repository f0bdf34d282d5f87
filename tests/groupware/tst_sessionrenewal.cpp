// A session the server forgot (it restarted) is renewed with one login, and the request repeated.
#include "core/Cp932.h"
#include "groupware/Board.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/SessionRenewal.h"
#include "groupware/TopPage.h"
#include "net/InetProtocol.h"
#include "net/Transport.h"
#include "support/RawHttpServer.h"
#include "support/SimServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace zelmora;

class TestSessionRenewal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_sim.start());
        m_connection.SERVER_URL = m_sim.baseUrl().toString();
        m_connection.updateProgramUrl();
        m_connection.PROXY_MODE = 1;
        m_connection.TIMEOUT = 10;
        SetInetOptions(m_connection, {}, {});
    }

    void init() {
        SetInetOptions(m_connection, {}, {});
        QVERIFY(m_sim.reset());
        m_session = GroupwareSession();
        QVERIFY(Login(m_connection, m_session, 1, QStringLiteral("pass1")));
        m_sim.clearRequests();
    }

    void readsAndPostAfterExpiryLogInOnceEach() {
        SessionRenewal renewal(m_connection, m_session);

        // The board is open to everyone: it needs no renewal.
        QVERIFY(m_sim.expireSessions());
        QList<MemberRecord> members;
        QVERIFY(GetPositionList(m_connection, m_session, members, 1));
        QCOMPARE(members.size(), 2);
        QCOMPARE(logins(), 0);

        const MemberRecord own = GetMyPosition(m_connection, m_session);
        QCOMPARE(own.position, QStringLiteral("在席*"));
        QCOMPARE(logins(), 1);
        QCOMPARE(m_sim.requests(QStringLiteral("login-required")).size(), 1);

        m_sim.clearRequests();
        QVERIFY(m_sim.expireSessions());
        const PageResult top = GetPage(m_connection.programUrl + QStringLiteral("?_System=Login&_Update=再読込"));
        QVERIFY(IsValidPage(top.text));
        qint32 lastArticle = 0;
        QCOMPARE(GetNotice(top.text, -1, lastArticle).mail, 3);
        QCOMPARE(logins(), 1);
        // The article list needs the login too; the renewed session serves it without another.
        QCOMPARE(GetLatestArticleId(m_connection), 9);
        QCOMPARE(logins(), 1);

        m_sim.clearRequests();
        QVERIFY(m_sim.expireSessions());
        const PostResult post = RegistPosition(m_connection, m_session, false);
        QVERIFY(post.ok());
        QVERIFY(!post.loginRequired);
        QCOMPARE(logins(), 1);
        QCOMPARE(m_sim.requests(QStringLiteral("login-required")).size(), 1);
        QCOMPARE(m_sim.requests(QStringLiteral("WhereEntry-post")).size(), 1);
        QCOMPARE(entryOf(1).value(QStringLiteral("position")).toString(), QStringLiteral("在席?"));
        QCOMPARE(renewal.attempts(), 3);
        QCOMPARE(m_session.userId(), 1);
    }

    void refusedLoginIsNotRepeatedUntilOtherCredentials() {
        SessionRenewal renewal(m_connection, m_session);
        changePassword(1, QStringLiteral("changed1"));
        QVERIFY(m_sim.expireSessions());

        // The page goes to the caller as it came; the user stays who they were.
        PageResult fetched;
        QVERIFY(GetMyPosition(m_connection, m_session, &fetched).position.isEmpty());
        QVERIFY(IsLoginRequiredPage(fetched.text));
        QCOMPARE(m_sim.requests(QStringLiteral("login-failed")).size(), 1);
        QCOMPARE(m_session.userId(), 1);
        const PostResult post = RegistPosition(m_connection, m_session, true);
        QVERIFY(post.loginRequired);
        QVERIFY(GetMyPosition(m_connection, m_session).position.isEmpty());
        QCOMPARE(m_sim.requests(QStringLiteral("login-failed")).size(), 1);
        QCOMPARE(renewal.attempts(), 1);
        QCOMPARE(logins(), 0);

        // The login dialog's new password is renewed again.
        m_session.setUser(1, QStringLiteral("changed1"));
        QCOMPARE(GetMyPosition(m_connection, m_session).position, QStringLiteral("在席*"));
        QCOMPARE(logins(), 1);
    }

    void loginWithoutAnswerIsTriedAgainLater() {
        InetOptions quick = InetProtocol::instance().options();
        quick.timeoutSeconds = 1;
        InetProtocol::instance().setOptions(quick);
        SessionRenewal renewal(m_connection, m_session);
        QVERIFY(m_sim.setFault(QStringLiteral("hang"), 0, 0, 1, QStringLiteral("_Login=1")));
        QVERIFY(m_sim.expireSessions());
        QVERIFY(GetMyPosition(m_connection, m_session).position.isEmpty());
        QVERIFY(m_sim.clearFault());
        QCOMPARE(GetMyPosition(m_connection, m_session).position, QStringLiteral("在席*"));
        QCOMPARE(renewal.attempts(), 2);
        QCOMPARE(logins(), 1);
    }

    void nothingIsRenewedWithoutTheObjectOrTheUser() {
        { SessionRenewal renewal(m_connection, m_session); }
        QVERIFY(m_sim.expireSessions());
        QVERIFY(GetMyPosition(m_connection, m_session).position.isEmpty());
        QVERIFY(RegistPosition(m_connection, m_session, true).loginRequired);
        QVERIFY(m_sim.requests(QStringLiteral("WhereEntry-post")).isEmpty());
        QCOMPARE(logins(), 0);

        SessionRenewal renewal(m_connection, m_session);
        m_session.clearUser();
        const PageResult page = GetPage(m_connection.programUrl + QStringLiteral("?_System=Login&_Update=再読込"));
        QVERIFY(IsLoginRequiredPage(page.text));
        QCOMPARE(renewal.attempts(), 0);
        QCOMPARE(logins(), 0);
    }

    void memberTextReadingLoginRequiredCostsNoLogin() {
        QJsonObject org = QJsonDocument::fromJson(test::SimServer::builtInOrganisation()).object();
        QJsonArray entries = org.value(QStringLiteral("entries")).toArray();
        QJsonObject own = entries[0].toObject();
        own.insert(QStringLiteral("position"), QStringLiteral("ログインが必要です"));
        entries[0] = own;
        org.insert(QStringLiteral("entries"), entries);
        QVERIFY(m_sim.loadOrganisation(org));
        QVERIFY(Login(m_connection, m_session, 1, QStringLiteral("pass1")));
        m_sim.clearRequests();
        SessionRenewal renewal(m_connection, m_session);

        QCOMPARE(GetMyPosition(m_connection, m_session).position, QStringLiteral("ログインが必要です"));
        QList<MemberRecord> members;
        GetPositionList(m_connection, m_session, members, 1);
        QCOMPARE(m_sim.requests(QStringLiteral("WhereIndex")).size(), 1);
        QCOMPARE(renewal.attempts(), 0);
        QCOMPARE(logins(), 0);
    }

    void serverThatAlwaysWantsALoginIsAskedOnce() {
        // A server that answers the login itself with "login required": the renewal's own login is
        // not renewed, and the request is not repeated.
        test::RawHttpServer raw;
        raw.setReply(200, "text/html; charset=Shift_JIS",
                     cp932::encode(QStringLiteral("<p>ログインが必要です。</p><form method=\"post\">"
                                                  "<input type=password name=\"Password\"></form>")));
        ConnectionSettings connection = m_connection;
        connection.SERVER_URL = raw.url(QStringLiteral("/cbag/"));
        connection.updateProgramUrl();
        SessionRenewal renewal(connection, m_session);
        QVERIFY(IsLoginRequiredPage(GetPage(connection.programUrl + QStringLiteral("?page=WhereEntry&id=1")).text));
        QCOMPARE(raw.requests().size(), 2);
        QVERIFY(raw.requests()[1].target.contains("_Login=1"));
        // That refusal is remembered: the post is sent once, without another login.
        QVERIFY(RegistPosition(connection, m_session, true).loginRequired);
        QCOMPARE(raw.requests().size(), 3);
        QCOMPARE(raw.requests()[2].method, QByteArray("POST"));
        QCOMPARE(renewal.attempts(), 1);
    }

private:
    int logins() const { return int(m_sim.requests(QStringLiteral("login")).size()); }

    QJsonObject entryOf(qint32 user) const {
        for (const QJsonValue& e : m_sim.state().value(QStringLiteral("entries")).toArray()) {
            if (e.toObject().value(QStringLiteral("user")).toInt() == user)
                return e.toObject();
        }
        return {};
    }

    void changePassword(qint32 user, const QString& password) {
        QJsonObject org = QJsonDocument::fromJson(test::SimServer::builtInOrganisation()).object();
        QJsonArray users = org.value(QStringLiteral("users")).toArray();
        for (qsizetype i = 0; i < users.size(); ++i) {
            QJsonObject u = users[i].toObject();
            if (u.value(QStringLiteral("id")).toInt() == user) {
                u.insert(QStringLiteral("password"), password);
                users[i] = u;
            }
        }
        org.insert(QStringLiteral("users"), users);
        QVERIFY(m_sim.loadOrganisation(org));
    }

    test::SimServer m_sim;
    ConnectionSettings m_connection;
    GroupwareSession m_session;
};

QTEST_GUILESS_MAIN(TestSessionRenewal)
#include "tst_sessionrenewal.moc"
