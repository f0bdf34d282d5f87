// The real program on a prepared data folder: logged in automatically, it is ended by SIGTERM as
// a log-off ends it, and runs the normal exit (end-of-day entry, settings file rewritten).
#include "core/Cp932.h"
#include "core/LogonName.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

class TestZelmoraExit : public QObject {
    Q_OBJECT
private slots:
    void terminationRunsTheNormalExit() {
        test::SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir data;
        QVERIFY(data.isValid());

        Settings settings;
        settings.connection.SERVER_URL = sim.baseUrl().toString();
        settings.connection.PROXY_MODE = 1;
        settings.connection.TIMEOUT = 30;
        settings.connection.LASTLOGINUSER_GROUP = 1;
        settings.connection.LASTLOGINUSER_NAME = 2;
        settings.connection.updateProgramUrl();
        settings.user.AUTO_LOGIN = true;
        settings.user.STARTUP_REGIST_POSITION = true;
        settings.user.END_ACTION_TYPE = EndAction::Auto;
        settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        settings.user.GROUP_DISP_ORDER = {1, 2, 3};
        SettingsContext context;
        context.logonName = logonNameOrCommon(GetLoginUserName());
        context.loggedIn = true;
        context.userId = 2;
        context.userName = QStringLiteral("鈴木 花子");
        context.loginPassword = QStringLiteral("pass2");
        const QString ini = data.filePath(QStringLiteral("Zelmora.ini"));
        QCOMPARE(WriteSettingsFile(ini, QStringLiteral("2"), settings, context), qint16(SettingsDone));
        QVERIFY(test::readFile(ini).contains("PASSWORD="));

        QProcess zelmora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        zelmora.setProcessEnvironment(env);
        zelmora.setProcessChannelMode(QProcess::ForwardedChannels);
        zelmora.start(QStringLiteral(ZELMORA_APP), {data.path()});
        QVERIFY(zelmora.waitForStarted());

        // Running: logged in, registered present at start-up, the board read once.
        QTRY_VERIFY_WITH_TIMEOUT(!sim.requests(QStringLiteral("WhereEntry-post")).isEmpty(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!sim.requests(QStringLiteral("WhereIndex")).isEmpty(), 60000);
        const QJsonObject startup = sim.requests(QStringLiteral("WhereEntry-post")).constFirst();
        QCOMPARE(startup.value(QStringLiteral("fields")).toObject().value(QStringLiteral("Detail")).toString(),
                 QStringLiteral("在席*"));
        QTest::qWait(500); // the launch finishes its steps and the loop runs
        sim.clearRequests();

        zelmora.terminate(); // SIGTERM
        QVERIFY(zelmora.waitForFinished(60000));
        QCOMPARE(zelmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zelmora.exitCode(), 0);

        const auto posts = sim.requests(QStringLiteral("WhereEntry-post"));
        QCOMPARE(posts.size(), 1);
        const QJsonObject fields = posts[0].value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("ID")).toString(), QStringLiteral("2"));
        QCOMPARE(fields.value(QStringLiteral("Detail")).toString(), QStringLiteral("帰宅"));
        QCOMPARE(fields.value(QStringLiteral("Contact")).toString(), QString());

        // The settings were rewritten with the user's section, the password still stored.
        const QString written = cp932::decode(test::readFile(ini));
        QVERIFY(written.contains(QStringLiteral("[2]")));
        QVERIFY(written.contains(QStringLiteral("END_REGIST_POSITION=帰宅")));
        QVERIFY(!written.contains(QStringLiteral("PASSWORD=\r\n")));
        QVERIFY(QFile::exists(data.filePath(QStringLiteral("UserData.dat"))));
    }
};

QTEST_GUILESS_MAIN(TestZelmoraExit)
#include "tst_zelmora_exit.moc"
