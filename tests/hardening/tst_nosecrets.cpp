// Neither the groupware password nor the server logon password shows in the support log, in the
// transfer results' texts or in what zelmora-cli prints, however a request ends.
#include "core/Cp932.h"
#include "groupware/Board.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/SessionRenewal.h"
#include "net/Transport.h"
#include "support/SimServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

using namespace zelmora;

namespace {

const QString kUserPassword = QStringLiteral("Pw&秘密=7+x");
const QString kWrongPassword = QStringLiteral("Wr0ng&鍵%41");
const QString kServerUser = QStringLiteral("web");
const QString kServerPassword = QStringLiteral("SrvPw&9x=Q");

QStringList g_logLines;

void captureMessage(QtMsgType, const QMessageLogContext& context, const QString& message) {
    g_logLines.append(QString::fromLatin1(context.category ? context.category : "") + QLatin1Char(' ') + message);
}

// Every form in which a password could leak: as typed, percent-encoded as sent (cp932 or UTF-8),
// and inside a Basic authorisation header.
QStringList secretForms() {
    QStringList forms;
    for (const QString& password : {kUserPassword, kWrongPassword, kServerPassword}) {
        forms << password << QString::fromLatin1(cp932::formEncode(password))
              << QString::fromLatin1(QUrl::toPercentEncoding(password));
    }
    for (const QString& password : {kServerPassword, QStringLiteral("wrong-server")}) {
        const QString pair = kServerUser + QLatin1Char(':') + password;
        forms << QString::fromLatin1(cp932::encode(pair).toBase64()) << QString::fromLatin1(pair.toUtf8().toBase64());
    }
    // Parts that stand out from any page text.
    forms << QStringLiteral("秘密") << QStringLiteral("鍵%41") << QStringLiteral("SrvPw");
    return forms;
}

void verifyNoSecret(const QStringList& texts, const char* where) {
    const QStringList forms = secretForms();
    // A password field in any encoding (the network library's texts decode parts of a URL).
    static const QRegularExpression field(QStringLiteral("password=(?!\\*\\*\\*)[^&\\s]"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const QString& text : texts) {
        if (text.contains(field))
            QFAIL(qPrintable(QStringLiteral("%1 holds a password field: %2").arg(QLatin1String(where), text)));
        for (const QString& form : forms) {
            if (text.contains(form))
                QFAIL(qPrintable(QStringLiteral("%1 holds a password (%2): %3").arg(QLatin1String(where), form, text)));
        }
    }
}

QByteArray organisation() {
    QJsonObject org = QJsonDocument::fromJson(test::SimServer::builtInOrganisation()).object();
    QJsonArray users = org.value(QStringLiteral("users")).toArray();
    QJsonObject first = users[0].toObject();
    first.insert(QStringLiteral("password"), kUserPassword);
    users[0] = first;
    org.insert(QStringLiteral("users"), users);
    return QJsonDocument(org).toJson();
}

test::SimServer::Options simOptions() {
    test::SimServer::Options options;
    options.organisationJson = organisation();
    options.basicAuth = kServerUser + QLatin1Char(':') + kServerPassword;
    return options;
}

} // namespace

class TestNoSecrets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_sim.start());
        m_connection.SERVER_URL = m_sim.baseUrl().toString();
        m_connection.updateProgramUrl();
        m_connection.PROXY_MODE = 1;
        m_connection.TIMEOUT = 5;
        QLoggingCategory::setFilterRules(QStringLiteral("zelmora.*=true"));
        m_previousHandler = qInstallMessageHandler(captureMessage);
    }

    void cleanupTestCase() { qInstallMessageHandler(m_previousHandler); }

    void requestsOfEveryKindLogNoPassword() {
        SetInetOptions(m_connection, kServerUser, kServerPassword);
        QStringList results;
        auto keep = [&results](const PageResult& page) { results << page.message() << page.detail; };

        PageResult page;
        QVERIFY(CheckServer(m_connection, &page));
        QVERIFY(!Login(m_connection, m_session, 1, kWrongPassword, &page));
        keep(page);
        QVERIFY(Login(m_connection, m_session, 1, kUserPassword, &page));
        keep(page);
        QVERIFY(GetUsableApplications(m_connection) != 0);
        QList<MemberRecord> members;
        QVERIFY(GetPositionList(m_connection, m_session, members, 1, &page));
        QVERIFY(!GetMyPosition(m_connection, m_session).position.isEmpty());
        QVERIFY(RegistPosition(m_connection, m_session, true).ok());
        QList<UserRecord> users{UserRecord{1, QStringLiteral("山田 太郎"), {1}, 0, false},
                                UserRecord{2, QStringLiteral("鈴木 花子"), {1}, 0, false}};
        CheckPositionPermission(m_connection, m_session, users, &page);
        keep(page);
        {
            SessionRenewal renewal(m_connection, m_session);
            QVERIFY(m_sim.expireSessions());
            QVERIFY(!GetMyPosition(m_connection, m_session).position.isEmpty());
            QCOMPARE(renewal.attempts(), 1);
        }

        // The login request ending in every way the server can end it.
        const QString login = QStringLiteral("_Login=1");
        const QList<QPair<QString, int>> faults{{QStringLiteral("status"), 500},
                                                {QStringLiteral("status"), 404},
                                                {QStringLiteral("status"), 403},
                                                {QStringLiteral("drop"), 0},
                                                {QStringLiteral("errorpage"), 0}};
        for (const auto& [mode, code] : faults) {
            QVERIFY(m_sim.setFault(mode, code, 0, 1, login));
            Login(m_connection, m_session, 1, kUserPassword, &page);
            keep(page);
            QVERIFY(!page.detail.isEmpty() || mode == QLatin1String("errorpage"));
        }
        QVERIFY(m_sim.setFault(QStringLiteral("hang"), 0, 0, 1, login));
        Login(m_connection, m_session, 1, kUserPassword, &page);
        keep(page);
        QCOMPARE(page.error, TransferError::TimedOut);
        QVERIFY(m_sim.clearFault());

        SetInetOptions(m_connection, kServerUser, QStringLiteral("wrong-server"));
        Login(m_connection, m_session, 1, kUserPassword, &page);
        keep(page);
        QCOMPARE(page.error, TransferError::AuthenticationFailed);
        const PostResult post = PostWhereEntry(m_connection, WhereEntryRequest{1, QStringLiteral("会議"), {}, {}, {}});
        results << post.message() << post.detail;
        SetInetOptions(m_connection, kServerUser, kServerPassword);

        // The log was on and saw the requests, among them the logins.
        QVERIFY(g_logLines.filter(QStringLiteral("_Login=1")).size() >= 8);
        QVERIFY(!g_logLines.filter(QStringLiteral("whereabouts entry")).isEmpty());
        verifyNoSecret(g_logLines, "a log line");
        verifyNoSecret(results, "a transfer result");
    }

    void commandLineOutputHasNoPassword() {
        const QStringList connection{QStringLiteral("--server"),
                                     m_sim.baseUrl().toString(),
                                     QStringLiteral("--proxy-mode"),
                                     QStringLiteral("1"),
                                     QStringLiteral("--timeout"),
                                     QStringLiteral("5"),
                                     QStringLiteral("--user"),
                                     QStringLiteral("1"),
                                     QStringLiteral("--server-user"),
                                     kServerUser,
                                     QStringLiteral("--server-password"),
                                     kServerPassword};
        struct Run {
            QStringList arguments;
            QString password;
            int exitCode;
        };
        const QList<Run> runs{
            {{QStringLiteral("login")}, kUserPassword, 0},
            {{QStringLiteral("login")}, kWrongPassword, 1},
            {{QStringLiteral("me")}, kUserPassword, 0},
            {{QStringLiteral("present")}, kUserPassword, 0},
            {{QStringLiteral("page"), QStringLiteral("page=WhereEntry&id=1")}, kUserPassword, 0},
        };
        QStringList output;
        for (const Run& run : runs) {
            QProcess cli;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zelmora.*=true"));
            env.insert(QStringLiteral("ZELMORA_PASSWORD"), run.password);
            cli.setProcessEnvironment(env);
            cli.start(QStringLiteral(ZELMORA_CLI), connection + run.arguments);
            QVERIFY(cli.waitForFinished(30000));
            QCOMPARE(cli.exitCode(), run.exitCode);
            const QString stdoutText = QString::fromUtf8(cli.readAllStandardOutput());
            const QString stderrText = QString::fromUtf8(cli.readAllStandardError());
            QVERIFY(stderrText.contains(QStringLiteral("GET"))); // the log was on
            output << stdoutText << stderrText;
        }

        // A server logon the web server refuses, with the password on the command line.
        QStringList refused = connection;
        refused[refused.indexOf(kServerPassword)] = QStringLiteral("wrong-server");
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zelmora.*=true"));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(ZELMORA_CLI),
                  refused + QStringList{QStringLiteral("--password"), kUserPassword, QStringLiteral("login")});
        QVERIFY(cli.waitForFinished(30000));
        QVERIFY(cli.exitCode() != 0);
        output << QString::fromUtf8(cli.readAllStandardOutput()) << QString::fromUtf8(cli.readAllStandardError());
        verifyNoSecret(output, "zelmora-cli output");
    }

private:
    test::SimServer m_sim{simOptions()};
    ConnectionSettings m_connection;
    GroupwareSession m_session;
    QtMessageHandler m_previousHandler = nullptr;
};

QTEST_GUILESS_MAIN(TestNoSecrets)
#include "tst_nosecrets.moc"
