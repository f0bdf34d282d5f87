// zelmora-cli's directory and top page commands against the development server, and the login of
// the data folder's last user with the stored password.
#include "core/LogonName.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/TestScrambling.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

namespace {

struct Run {
    int exitCode = -1;
    QJsonDocument json;
    QString err;
};

Run cli(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZELMORA_PASSWORD"));
    p.setProcessEnvironment(env);
    p.setProgram(QStringLiteral(ZELMORA_CLI_PATH));
    p.setArguments(arguments);
    p.start();
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.json = QJsonDocument::fromJson(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QJsonObject item(qint32 kind, const QJsonValue& start, const QJsonValue& end, const QString& title) {
    return {{QStringLiteral("kind"), kind},
            {QStringLiteral("start"), start},
            {QStringLiteral("end"), end},
            {QStringLiteral("title"), title}};
}

QStringList loginIds(const QList<QJsonObject>& logins) {
    QStringList ids;
    for (const QJsonObject& r : logins)
        ids << r.value(QStringLiteral("fields")).toObject().value(QStringLiteral("_ID")).toString();
    return ids;
}

} // namespace

class TestCliPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }
    void init() {
        QVERIFY(m_sim.reset());
        m_sim.clearRequests();
    }

    void groupsAndUsers() {
        const Run groups = cli(server({QStringLiteral("groups")}));
        QCOMPARE(groups.exitCode, 0);
        QCOMPARE(
            groups.json.array(),
            (QJsonArray{QJsonObject{{QStringLiteral("id"), 1}, {QStringLiteral("name"), QStringLiteral("営業部")}},
                        QJsonObject{{QStringLiteral("id"), 2}, {QStringLiteral("name"), QStringLiteral("開発部")}},
                        QJsonObject{{QStringLiteral("id"), 3}, {QStringLiteral("name"), QStringLiteral("総務部")}}}));

        // Users in the order first met over the group pages; the two 佐藤 一郎 are different users.
        const Run users = cli(as(1, {QStringLiteral("users")}));
        QCOMPARE(users.exitCode, 0);
        const QJsonArray list = users.json.array();
        QCOMPARE(list.size(), 5);
        auto user = [](qint32 id, const QString& name, const QJsonArray& groupIds, bool duplicate) {
            return QJsonObject{{QStringLiteral("id"), id},
                               {QStringLiteral("name"), name},
                               {QStringLiteral("groups"), groupIds},
                               {QStringLiteral("duplicate"), duplicate}};
        };
        QCOMPARE(list[0].toObject(), user(1, QStringLiteral("山田 太郎"), {1, 3}, false));
        QCOMPARE(list[2].toObject(), user(3, QStringLiteral("佐藤 一郎"), {2}, true));
        QCOMPARE(list[4].toObject(), user(4, QStringLiteral("佐藤 一郎"), {3}, true));
        QCOMPARE(loginIds(m_sim.requests(QStringLiteral("login"))), QStringList{QStringLiteral("1")});

        QVERIFY(m_sim.setFault(QStringLiteral("errorpage")));
        QCOMPARE(cli(server({QStringLiteral("groups")})).exitCode, 1);
        QCOMPARE(cli(server({QStringLiteral("users")})).exitCode, 1);
        // One group page that is cut off fails the whole directory.
        QVERIFY(m_sim.setFault(QStringLiteral("drop"), 0, 0, -1, QStringLiteral("gid=2")));
        const Run cut = cli(server({QStringLiteral("users")}));
        QCOMPARE(cut.exitCode, 3);
        QVERIFY(cut.json.isNull());
        QVERIFY(m_sim.clearFault());
        QCOMPARE(cli(server({QStringLiteral("groups"), QStringLiteral("extra")})).exitCode, 2);
    }

    void noticesAndLatestArticle() {
        Run r = cli(as(1, {QStringLiteral("notices")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object(), (QJsonObject{{QStringLiteral("mail"), 3},
                                               {QStringLiteral("circular"), 1},
                                               {QStringLiteral("memo"), 0},
                                               {QStringLiteral("newArticle"), true},
                                               {QStringLiteral("workflow"), 3}}));
        r = cli(as(1, {QStringLiteral("notices"), QStringLiteral("--last-article"), QStringLiteral("9")}));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!r.json.object().value(QStringLiteral("newArticle")).toBool());
        r = cli(as(1, {QStringLiteral("notices"), QStringLiteral("--last-article"), QStringLiteral("8")}));
        QVERIFY(r.json.object().value(QStringLiteral("newArticle")).toBool());
        // User 2 has the unread telephone memo.
        r = cli(as(2, {QStringLiteral("notices")}));
        QCOMPARE(r.json.object().value(QStringLiteral("memo")).toInt(), 1);
        QCOMPARE(r.json.object().value(QStringLiteral("mail")).toInt(), 0);

        r = cli(as(1, {QStringLiteral("latest-article")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("id")).toInt(), 9);
        // User 5 may not use the bulletin board: no article, not a failure.
        r = cli(server({QStringLiteral("--user"), QStringLiteral("5"), QStringLiteral("--password"),
                        QStringLiteral("ぱす&5"), QStringLiteral("latest-article")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("id")).toInt(), -1);

        // Without a user, or with a session the server has ended, the top page is not there.
        QCOMPARE(cli(server({QStringLiteral("notices")})).exitCode, 2);
        QCOMPARE(
            cli(as(1, {QStringLiteral("notices"), QStringLiteral("--last-article"), QStringLiteral("x")})).exitCode, 2);
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage"), 0, 0, -1, QStringLiteral("BulletinIndex")));
        QCOMPARE(cli(as(1, {QStringLiteral("latest-article")})).exitCode, 1);
        QVERIFY(m_sim.setFault(QStringLiteral("hang"), 0, 0, -1, QStringLiteral("_Update")));
        QCOMPARE(cli(as(1, {QStringLiteral("--timeout"), QStringLiteral("1"), QStringLiteral("notices")})).exitCode, 3);
        QVERIFY(m_sim.clearFault());
    }

    void scheduleAndLinks() {
        Run r = cli(as(1, {QStringLiteral("schedule")}));
        QCOMPARE(r.exitCode, 0);
        const QJsonArray items = r.json.array();
        QCOMPARE(items.size(), 4);
        // The server lists untimed items first, then by start time, and the multi-day item last.
        QCOMPARE(items[0].toObject(), item(0, QJsonValue::Null, QJsonValue::Null, QStringLiteral("資料作成")));
        QCOMPARE(items[1].toObject(), item(1, QStringLiteral("09:00"), QJsonValue::Null, QStringLiteral(" 朝会")));
        QCOMPARE(items[2].toObject(),
                 item(2, QStringLiteral("10:00"), QStringLiteral("11:30"), QStringLiteral(" 定例会議")));
        QCOMPARE(items[3].toObject(), item(0, QJsonValue::Null, QJsonValue::Null, QStringLiteral("(複数日) 大阪出張")));
        r = cli(as(2, {QStringLiteral("schedule")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.array(), QJsonArray());

        r = cli(as(1, {QStringLiteral("links")}));
        QCOMPARE(r.exitCode, 0);
        auto link = [](const QString& title, const QString& url) {
            return QJsonObject{{QStringLiteral("title"), title}, {QStringLiteral("url"), url}};
        };
        QCOMPARE(r.json.array(),
                 (QJsonArray{link(QStringLiteral("社内ポータル"), QStringLiteral("http://portal.example.co.jp/")),
                             link(QStringLiteral("-"), QString()),
                             link(QStringLiteral("交通費精算"), QStringLiteral("http://keihi.example.co.jp/"))}));
        QCOMPARE(cli(server({QStringLiteral("links")})).exitCode, 2);
    }

    // With --data and no --user the last user logs in with the stored password, whose key holds
    // the user's name from UserData.dat (or from the server when the file is missing).
    void dataFolderLogsInTheLastUser() {
        QTemporaryDir dir;
        const QString logon = logonNameOrCommon(GetLoginUserName());
        const QString stored = test::scrambleForTest(QStringLiteral("2鈴木 花子") + logon, QStringLiteral("pass2"));
        writeSettings(dir, QStringLiteral("1"), QStringLiteral("ON"), stored);
        writeUserData(dir, QStringLiteral("鈴木 花子"));
        const QStringList data{QStringLiteral("--data"), dir.path()};

        Run r = cli(data + QStringList{QStringLiteral("notices")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("memo")).toInt(), 1);
        QCOMPARE(loginIds(m_sim.requests(QStringLiteral("login"))), QStringList{QStringLiteral("2")});
        QVERIFY(m_sim.requests(QStringLiteral("WhereIndex")).isEmpty());

        // The schedule row is found by the name of the cached directory too.
        r = cli(data + QStringList{QStringLiteral("schedule")});
        QCOMPARE(r.exitCode, 0);

        // --user wins over the stored login.
        m_sim.clearRequests();
        r = cli(data + QStringList{QStringLiteral("--user"), QStringLiteral("1"), QStringLiteral("--password"),
                                   QStringLiteral("pass1"), QStringLiteral("login")});
        QCOMPARE(r.json.object().value(QStringLiteral("user")).toInt(), 1);
        QCOMPARE(loginIds(m_sim.requests(QStringLiteral("login"))), QStringList{QStringLiteral("1")});

        // Without UserData.dat the name comes from the server's directory.
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("UserData.dat"))));
        m_sim.clearRequests();
        r = cli(data + QStringList{QStringLiteral("login")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("user")).toInt(), 2);
        QVERIFY(!m_sim.requests(QStringLiteral("WhereIndex")).isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("UserData.dat"))));

        // A directory that names the user otherwise gives another key: the server refuses.
        writeUserData(dir, QStringLiteral("鈴木 はな"));
        r = cli(data + QStringList{QStringLiteral("login")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.json.object().value(QStringLiteral("ok")).toBool());
        writeUserData(dir, QStringLiteral("鈴木 花子"));

        // No stored login: commands that need a user are a usage error, the others run without one.
        writeSettings(dir, QStringLiteral("1"), QStringLiteral("OFF"), stored);
        m_sim.clearRequests();
        QCOMPARE(cli(data + QStringList{QStringLiteral("notices")}).exitCode, 2);
        QCOMPARE(cli(data + QStringList{QStringLiteral("groups")}).exitCode, 0);
        QVERIFY(m_sim.requests(QStringLiteral("login")).isEmpty());
        writeSettings(dir, QStringLiteral("-1"), QStringLiteral("ON"), stored);
        QCOMPARE(cli(data + QStringList{QStringLiteral("login")}).exitCode, 2);
        QVERIFY(m_sim.requests(QStringLiteral("login")).isEmpty());

        // A stored password that is not hexadecimal is reported, not sent.
        writeSettings(dir, QStringLiteral("1"), QStringLiteral("ON"), QStringLiteral("ZZZZ"));
        r = cli(data + QStringList{QStringLiteral("login")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(m_sim.requests(QStringLiteral("login")).isEmpty());
    }

private:
    QStringList server(const QStringList& rest) const {
        return QStringList{QStringLiteral("--server"), m_sim.baseUrl().toString(), QStringLiteral("--proxy-mode"),
                           QStringLiteral("1")} +
               rest;
    }
    QStringList as(int user, const QStringList& rest) const {
        return server({QStringLiteral("--user"), QString::number(user), QStringLiteral("--password"),
                       QStringLiteral("pass%1").arg(user)}) +
               rest;
    }
    void writeSettings(const QTemporaryDir& dir, const QString& lastGroup, const QString& autoLogin,
                       const QString& password) const {
        test::writeFile(
            dir.filePath(QStringLiteral("Zelmora.ini")),
            test::crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("SERVER_OS_TYPE=0"),
                             QStringLiteral("SERVER_URL=") + m_sim.baseUrl().toString(), QStringLiteral("TIMEOUT=10"),
                             QStringLiteral("PROXY_MODE=1"), QStringLiteral("LASTLOGINUSER_GROUP=") + lastGroup,
                             QStringLiteral("LASTLOGINUSER_NAME=2"), QString(), QStringLiteral("[2]"),
                             QStringLiteral("AUTO_LOGIN=") + autoLogin, QStringLiteral("PASSWORD=") + password,
                             QString()}));
    }
    static void writeUserData(const QTemporaryDir& dir, const QString& nameOfUser2) {
        test::writeFile(
            dir.filePath(QStringLiteral("UserData.dat")),
            test::crlfCp932({QStringLiteral("\"1\",\"山田 太郎\",\"False\",\"0\",\"1\",\"3\""),
                             QStringLiteral("\"2\",\"") + nameOfUser2 + QStringLiteral("\",\"False\",\"0\",\"1\"")}));
    }

    test::SimServer m_sim;
};

QTEST_GUILESS_MAIN(TestCliPages)
#include "tst_cli_pages.moc"
