// zelmora-cli's whereabouts commands against the development server: JSON out, exit codes, and
// every write visible in the next board.
#include "support/SimServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
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

QJsonObject memberOf(const QJsonDocument& board, int id) {
    for (const QJsonValue& v : board.array()) {
        if (v.toObject().value(QStringLiteral("id")).toInt() == id)
            return v.toObject();
    }
    return {};
}

} // namespace

class TestCliWhereabouts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }
    void init() { QVERIFY(m_sim.reset()); }

    void readsTheBoard() {
        const Run board = cli(as(1, {QStringLiteral("board"), QStringLiteral("1")}));
        QCOMPARE(board.exitCode, 0);
        QCOMPARE(board.json.array().size(), 2);
        const QJsonObject yamada = memberOf(board.json, 1);
        QCOMPARE(yamada.value(QStringLiteral("name")).toString(), QStringLiteral("山田 太郎"));
        QCOMPARE(yamada.value(QStringLiteral("position")).toString(), QStringLiteral("在席*"));
        QCOMPARE(yamada.value(QStringLiteral("contact")).toString(), QStringLiteral("内線101*"));
        QCOMPARE(yamada.value(QStringLiteral("updated")).toString(),
                 QDate::currentDate().toString(Qt::ISODate) + QStringLiteral("T09:00:00"));
        QVERIFY(yamada.value(QStringLiteral("auto")).toBool());
        QVERIFY(yamada.value(QStringLiteral("present")).toBool());
        QVERIFY(memberOf(board.json, 2).value(QStringLiteral("memo")).toBool());

        // The board needs no login; a member without an entry has no update time.
        const Run general = cli(server({QStringLiteral("board"), QStringLiteral("3")}));
        QCOMPARE(general.exitCode, 0);
        QVERIFY(memberOf(general.json, 4).value(QStringLiteral("updated")).isNull());

        const Run me = cli(as(1, {QStringLiteral("me")}));
        QCOMPARE(me.exitCode, 0);
        QCOMPARE(me.json.object().value(QStringLiteral("position")).toString(), QStringLiteral("在席*"));
        QVERIFY(!me.json.object().contains(QStringLiteral("id")));

        const Run choices = cli(as(1, {QStringLiteral("choices")}));
        QCOMPARE(choices.exitCode, 0);
        const QJsonArray places = choices.json.object().value(QStringLiteral("place")).toArray();
        QVERIFY(places.contains(QStringLiteral("在席")));
        QVERIFY(!places.contains(QStringLiteral("--")));
        QCOMPARE(choices.json.object().value(QStringLiteral("unit")).toArray().first().toString(),
                 QStringLiteral("日まで"));
    }

    void writesShowInTheNextBoard() {
        QCOMPARE(cli(as(1, {QStringLiteral("absent")})).exitCode, 0);
        QJsonObject yamada = memberOf(cli(as(1, {QStringLiteral("board"), QStringLiteral("1")})).json, 1);
        QCOMPARE(yamada.value(QStringLiteral("position")).toString(), QStringLiteral("在席?"));
        QCOMPARE(yamada.value(QStringLiteral("contact")).toString(), QStringLiteral("?"));
        QVERIFY(yamada.value(QStringLiteral("auto")).toBool());
        QVERIFY(!yamada.value(QStringLiteral("present")).toBool());

        QCOMPARE(cli(as(1, {QStringLiteral("present")})).exitCode, 0);
        yamada = memberOf(cli(as(1, {QStringLiteral("board"), QStringLiteral("1")})).json, 1);
        QCOMPARE(yamada.value(QStringLiteral("position")).toString(), QStringLiteral("在席*"));

        const Run reg = cli(
            as(1, {QStringLiteral("register"), QStringLiteral("会議 & 来客"), QStringLiteral("--contact"),
                   QStringLiteral("内線#5+1"), QStringLiteral("--until"), QStringLiteral("15"),
                   QStringLiteral("--unit"), QStringLiteral("時まで"), QStringLiteral("--for"), QStringLiteral("2")}));
        QCOMPARE(reg.exitCode, 0);
        QVERIFY(reg.json.object().value(QStringLiteral("ok")).toBool());
        const QJsonObject suzuki = memberOf(cli(as(1, {QStringLiteral("board"), QStringLiteral("1")})).json, 2);
        QCOMPARE(suzuki.value(QStringLiteral("position")).toString(), QStringLiteral("会議 & 来客 (15時まで)"));
        QCOMPARE(suzuki.value(QStringLiteral("contact")).toString(), QStringLiteral("内線#5+1"));
        QVERIFY(!suzuki.value(QStringLiteral("auto")).toBool());
    }

    void permissionAndLogin() {
        Run r = cli(as(1, {QStringLiteral("permission")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("state")).toInt(), 1);
        r = cli(as(2, {QStringLiteral("permission")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("state")).toInt(), 0);

        r = cli(server({QStringLiteral("check")}));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.json.object().value(QStringLiteral("ok")).toBool());
        r = cli(as(1, {QStringLiteral("login")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("user")).toInt(), 1);
        r = cli(server({QStringLiteral("--user"), QStringLiteral("5"), QStringLiteral("--password"),
                        QStringLiteral("ぱす&5"), QStringLiteral("apps")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json.object().value(QStringLiteral("mask")).toInt(), 3);

        r = cli(server({QStringLiteral("--user"), QStringLiteral("1"), QStringLiteral("--password"),
                        QStringLiteral("wrong"), QStringLiteral("login")}));
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.json.object().value(QStringLiteral("ok")).toBool());
    }

    void usageAndNoAnswer() {
        QCOMPARE(cli(server({QStringLiteral("board")})).exitCode, 2);
        QCOMPARE(cli(server({QStringLiteral("board"), QStringLiteral("x")})).exitCode, 2);
        QCOMPARE(cli(server({QStringLiteral("me")})).exitCode, 2);
        QCOMPARE(cli(as(1, {QStringLiteral("register")})).exitCode, 2);

        // The groupware's error page is an answer; a closed port is none.
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage")));
        QCOMPARE(cli(server({QStringLiteral("board"), QStringLiteral("1")})).exitCode, 1);
        QVERIFY(m_sim.clearFault());
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString dead = QStringLiteral("http://127.0.0.1:%1/scripts/cbag/").arg(closed.serverPort());
        closed.close();
        QCOMPARE(cli({QStringLiteral("--server"), dead, QStringLiteral("board"), QStringLiteral("1")}).exitCode, 3);
        QCOMPARE(cli({QStringLiteral("--server"), dead, QStringLiteral("check")}).exitCode, 3);
    }

private:
    QStringList server(const QStringList& rest) const {
        return QStringList{QStringLiteral("--server"), m_sim.baseUrl().toString()} + rest;
    }
    QStringList as(int user, const QStringList& rest) const {
        return server({QStringLiteral("--user"), QString::number(user), QStringLiteral("--password"),
                       QStringLiteral("pass%1").arg(user)}) +
               rest;
    }

    test::SimServer m_sim;
};

QTEST_GUILESS_MAIN(TestCliWhereabouts)
#include "tst_cli_whereabouts.moc"
