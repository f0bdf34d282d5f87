// zelmora-cli page end to end against the development server: exit 0 for a usable page, 1 for an
// error page or a refused login, 3 when the server does not answer; settings from a data folder.
#include "core/LogonName.h"
#include "core/PasswordScrambling.h"
#include "groupware/Login.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using zelmora::test::SimServer;

namespace {
const QString kTopPageQuery = QStringLiteral("_System=Login&_Update=再読込");

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& arguments, const QString& passwordEnv = {}, const QString& serverPasswordEnv = {},
              const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZELMORA_PASSWORD"));
    env.remove(QStringLiteral("ZELMORA_SERVER_PASSWORD"));
    if (!passwordEnv.isEmpty())
        env.insert(QStringLiteral("ZELMORA_PASSWORD"), passwordEnv);
    if (!serverPasswordEnv.isEmpty())
        env.insert(QStringLiteral("ZELMORA_SERVER_PASSWORD"), serverPasswordEnv);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZELMORA_CLI), arguments);
    process.write(input);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList serverOptions(const SimServer& sim) {
    return {QStringLiteral("--server"), sim.baseUrl().toString(), QStringLiteral("--proxy-mode"), QStringLiteral("1")};
}
} // namespace

class TestPageCli : public QObject {
    Q_OBJECT
private:
    SimServer m_sim;

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }
    void init() { QVERIFY(m_sim.reset()); }

    void exitCodeTellsPageKind() {
        CliRun run =
            runCli(serverOptions(m_sim) + QStringList{"--user", "1", "--password", "pass1", "page", kTopPageQuery});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(kTopPageTitle));
        QVERIFY(run.err.startsWith(
            QStringLiteral("警告: --password のパスワードはこのコンピュータの他のユーザーからも見えます.")));

        // Password from the environment; it holds cp932 text and "&".
        run =
            runCli(serverOptions(m_sim) + QStringList{"--user", "5", "page", kTopPageQuery}, QStringLiteral("ぱす&5"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        // From the first line of a file and of standard input.
        QTemporaryDir dir;
        test::writeFile(dir.filePath(QStringLiteral("pw")), QStringLiteral("ぱす&5\nnext line\n").toUtf8());
        run = runCli(serverOptions(m_sim) +
                     QStringList{"--user", "5", "--password-file", dir.filePath(QStringLiteral("pw")), "page"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        run = runCli(serverOptions(m_sim) + QStringList{"--user", "5", "--password-file", "-", "page"}, {}, {},
                     QStringLiteral("ぱす&5\n").toUtf8());
        QCOMPARE(run.exitCode, 0);
        run = runCli(serverOptions(m_sim) +
                     QStringList{"--user", "5", "--password-file", dir.filePath(QStringLiteral("none")), "page"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("パスワードファイルを読み込めません")));

        // Without a login the server answers with its login-required page.
        run = runCli(serverOptions(m_sim) + QStringList{"page", kTopPageQuery});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.out.isEmpty());

        run = runCli(serverOptions(m_sim) + QStringList{"--user", "1", "--password", "nope", "page"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("ログインできませんでした")));

        QVERIFY(m_sim.setFault(QStringLiteral("status"), 500));
        run = runCli(serverOptions(m_sim) + QStringList{"page"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("500")));
    }

    void noAnswerExitsThree() {
        QVERIFY(m_sim.setFault(QStringLiteral("hang")));
        CliRun run = runCli(serverOptions(m_sim) + QStringList{"--timeout", "1", "page"});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.out.isEmpty());
        QVERIFY(m_sim.clearFault());

        quint16 closedPort = 0;
        {
            SimServer gone;
            QVERIFY(gone.start());
            closedPort = gone.port();
        }
        run = runCli({"--server", QStringLiteral("http://127.0.0.1:%1/scripts/cbag/").arg(closedPort), "--proxy-mode",
                      "1", "--user", "1", "--password", "pass1", "page"});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.err.contains(QStringLiteral("接続できません")));
    }

    // Connection settings and the session user's saved server logon come from the data folder;
    // options on the command line win.
    void dataFolderSuppliesSettings() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("web:secret");
        SimServer guarded(options);
        QVERIFY(guarded.start());

        const QString logon = logonNameOrCommon(GetLoginUserName());
        QTemporaryDir dir;
        auto writeIni = [&](const QString& serverUrl, bool withLogonLine) {
            QStringList lines = {"[COMMON]",  "SERVER_OS_TYPE=0", "SERVER_URL=" + serverUrl,
                                 "TIMEOUT=5", "PROXY_MODE=1",     "SERVER_PASSWORD_REQUIRED=ON",
                                 "",          "[SERVER_LOGON]"};
            if (withLogonLine)
                lines << Encrypt(logon, logon) + ":" + Encrypt(logon, "web") + "=" + Encrypt(logon, "secret");
            test::writeFile(dir.filePath(QStringLiteral("Zelmora.ini")), test::crlfCp932(lines));
        };
        const QStringList data = {"--data", dir.path()};

        writeIni(guarded.baseUrl().toString(), true);
        CliRun run = runCli(data + QStringList{"--user", "2", "--password", "pass2", "page", kTopPageQuery});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(kTopPageTitle));
        for (const QJsonObject& r : guarded.requests())
            QVERIFY(r.value(QStringLiteral("authorization")).toBool());

        // A wrong server password on the command line replaces the saved one.
        run = runCli(data + QStringList{"--server-password", "wrong", "page"});
        QCOMPARE(run.exitCode, 1);

        // Without the saved line the server refuses; --server-user/--server-password supply it.
        writeIni(guarded.baseUrl().toString(), false);
        QCOMPARE(runCli(data + QStringList{"page"}).exitCode, 1);
        QCOMPARE(runCli(data + QStringList{"--server-user", "web", "--server-password", "secret", "page"}).exitCode, 0);
        QCOMPARE(runCli(data + QStringList{"--server-user", "web", "page"}, {}, QStringLiteral("secret")).exitCode, 0);
        // Both passwords from standard input, the groupware password's line first.
        QCOMPARE(runCli(data + QStringList{"--server-user", "web", "--server-password-file", "-", "--user", "2",
                                           "--password-file", "-", "page", kTopPageQuery},
                        {}, {}, "pass2\nsecret\n")
                     .exitCode,
                 0);

        // --server wins over SERVER_URL.
        writeIni(QStringLiteral("http://127.0.0.1:1/nowhere/"), true);
        QCOMPARE(runCli(data + QStringList{"page"}).exitCode, 3);
        QCOMPARE(runCli(data + QStringList{"--server", guarded.baseUrl().toString(), "page"}).exitCode, 0);

        QCOMPARE(runCli({"--data", dir.filePath(QStringLiteral("missing")), "page"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestPageCli)
#include "tst_pagecli.moc"
