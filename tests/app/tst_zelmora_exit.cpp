// The real program on a prepared data folder: logged in automatically, it is ended by SIGTERM as
// a log-off ends it, and runs the normal exit (end-of-day entry, settings file rewritten).
#include "core/Cp932.h"
#include "core/LogonName.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/ZelmoraProcess.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

class TestZelmoraExit : public QObject {
    Q_OBJECT
    // A data folder logged in automatically as user 2 of the simulator, with `endAction` at exit.
    static QString prepareDataFolder(const test::SimServer& sim, const QTemporaryDir& data, EndAction endAction) {
        Settings settings;
        settings.connection.SERVER_URL = sim.baseUrl().toString();
        settings.connection.PROXY_MODE = 1;
        settings.connection.TIMEOUT = 30;
        settings.connection.LASTLOGINUSER_GROUP = 1;
        settings.connection.LASTLOGINUSER_NAME = 2;
        settings.connection.updateProgramUrl();
        settings.user.AUTO_LOGIN = true;
        settings.user.STARTUP_REGIST_POSITION = true;
        settings.user.END_ACTION_TYPE = endAction;
        settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        settings.user.GROUP_DISP_ORDER = {1, 2, 3};
        SettingsContext context;
        context.logonName = logonNameOrCommon(GetLoginUserName());
        context.loggedIn = true;
        context.userId = 2;
        context.userName = QStringLiteral("鈴木 花子");
        context.loginPassword = QStringLiteral("pass2");
        const QString ini = data.filePath(QStringLiteral("Zelmora.ini"));
        if (WriteSettingsFile(ini, QStringLiteral("2"), settings, context) != SettingsDone)
            return {};
        return ini;
    }

private slots:
    void terminationRunsTheNormalExit() {
        test::SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir data;
        QVERIFY(data.isValid());
        const QString ini = prepareDataFolder(sim, data, EndAction::Auto);
        QVERIFY(!ini.isEmpty());
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
    // ASK at a log-off: the files are rewritten before the dialog, which answers itself with
    // キャンセル after its countdown (20 steps of the test tick); a second SIGTERM ends at once.
    void askAtSessionEndSavesFirstAndAlwaysEnds_data() {
        QTest::addColumn<bool>("secondSignal");
        QTest::newRow("dialog times out") << false;
        QTest::newRow("second SIGTERM") << true;
    }
    void askAtSessionEndSavesFirstAndAlwaysEnds() {
        QFETCH(bool, secondSignal);
        test::SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir data;
        QVERIFY(data.isValid());
        const QString ini = prepareDataFolder(sim, data, EndAction::Ask);
        QVERIFY(!ini.isEmpty());

        test::ZelmoraProcess zelmora(QStringLiteral(ZELMORA_APP), data.path());
        QVERIFY(zelmora.started());
        QVERIFY(test::waitUntil([&] { return !sim.requests(QStringLiteral("WhereIndex")).isEmpty(); }, 60000));
        QVERIFY(test::waitUntil([&] { return QFile::exists(data.filePath(QStringLiteral("UserData.dat"))); }));
        QTest::qWait(500);
        // Whatever is on disk now was read at start-up; the exit must write both files again.
        QVERIFY(QFile::remove(ini));
        QVERIFY(QFile::remove(data.filePath(QStringLiteral("UserData.dat"))));
        sim.clearRequests();

        zelmora.terminate();
        // The dialog reads the server's choices as it opens; both files are back by then.
        const auto dialogOpened = [&] {
            for (const QJsonObject& r : sim.requests(QStringLiteral("WhereEntry")))
                if (!r.value(QStringLiteral("query")).toString().contains(QLatin1String("bpage=")))
                    return true; // not a registration pass's own-entry read
            return false;
        };
        QVERIFY(test::waitUntil(dialogOpened, 10000));
        QVERIFY(QFile::exists(ini));
        QVERIFY(QFile::exists(data.filePath(QStringLiteral("UserData.dat"))));
        QVERIFY(!zelmora.finished(100)); // the dialog is up
        QElapsedTimer ending;
        ending.start();
        if (secondSignal)
            zelmora.terminate();
        QVERIFY(zelmora.finished(30000));
        QCOMPARE(zelmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zelmora.exitCode(), 0);
        if (secondSignal)
            QVERIFY2(ending.elapsed() < 1500, qPrintable(QString::number(ending.elapsed())));
        else
            QVERIFY(zelmora.log().contains(QLatin1String("no answer: the end-of-day dialog cancels itself")));
        QVERIFY(sim.requests(QStringLiteral("WhereEntry-post")).isEmpty());
        const QString written = cp932::decode(test::readFile(ini));
        QVERIFY(written.contains(QStringLiteral("[2]")));
        QVERIFY(!written.contains(QStringLiteral("PASSWORD=\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestZelmoraExit)
#include "tst_zelmora_exit.moc"
