#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace zelmora;
using zelmora::test::ScriptedMessages;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void versionLabel() {
        QCOMPARE(versionLabelText(1, 0, 0), QStringLiteral("Version 1.0.0 (2002/06/30)"));
        QCOMPARE(versionLabelText(2, 10, 31), QStringLiteral("Version 2.10.31 (2002/06/30)"));
    }

    void dataFolderFromCommandLineOrProgramFolder() {
        const auto writable = [](const QString&) { return true; };
        const auto readOnly = [](const QString&) { return false; };
        const QString program = QStringLiteral("/opt/zelmora");
        const QString config = QStringLiteral("/home/u/.config/Zelmora");
        // The whole command line is the folder: an unquoted name with spaces arrives in pieces.
        QCOMPARE(chooseDataFolder({QStringLiteral("/data/my"), QStringLiteral("folder")}, program, config, readOnly),
                 QStringLiteral("/data/my folder"));
        QCOMPARE(chooseDataFolder({}, program, config, writable), program);
        QCOMPARE(chooseDataFolder({}, program, config, readOnly), config);
    }

    void writableFolderIsTestedByCreatingAFile() {
        QTemporaryDir dir;
        QVERIFY(isWritableFolder(dir.path()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 0);
        QVERIFY(!isWritableFolder(dir.filePath(QStringLiteral("missing"))));
        if (::geteuid() != 0) { // root writes anywhere
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(!isWritableFolder(dir.path()));
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    void initialStateAndPaths() {
        Settings settings;
        AppState state;
        settings.connection.SERVER_URL = QStringLiteral("http://old/");
        settings.user.NOTIFY_MAIL = false;
        InitializeStartupState(settings, state, QStringLiteral("/data/z"), QStringLiteral("/opt/zelmora"), QString());
        QCOMPARE(state.settingsFilePath, QStringLiteral("/data/z/Zelmora.ini"));
        QCOMPARE(state.userDataFilePath, QStringLiteral("/data/z/UserData.dat"));
        QVERIFY(state.helpFilePath.isEmpty()); // no help anywhere around /opt/zelmora
        QCOMPARE(state.logonName, QStringLiteral("COMMON"));
        QCOMPARE(settings.connection.SERVER_URL, QStringLiteral("http://"));
        QCOMPARE(settings.connection.programUrl, QStringLiteral("http://office.exe"));
        QCOMPARE(settings.connection.HERE_POSITION, QStringLiteral("在席"));
        QVERIFY(settings.user.NOTIFY_MAIL);
        InitializeStartupState(settings, state, QStringLiteral("/data/z"), QStringLiteral("/opt"),
                               QStringLiteral("kato"));
        QCOMPARE(state.logonName, QStringLiteral("kato"));
    }

    void environmentCheck() {
        QTemporaryDir dir;
        const QString nested = dir.filePath(QStringLiteral("a/b"));
        // A data folder that does not exist yet is created.
        QCOMPARE(checkEnvironment(nested, QString()), EnvironmentProblem::None);
        QVERIFY(QFileInfo(nested).isDir());
        // A file where the folder should be cannot hold the data files.
        const QString file = dir.filePath(QStringLiteral("plain"));
        test::writeFile(file, "x");
        QCOMPARE(checkEnvironment(file, QString()), EnvironmentProblem::FileSystem);
        QCOMPARE(checkEnvironment(nested, dir.filePath(QStringLiteral("QtWebEngineProcess"))),
                 EnvironmentProblem::Browser);
        // The helper program of this installation is there (the package is a build dependency).
        QCOMPARE(checkEnvironment(nested, defaultWebEngineProcessPath()), EnvironmentProblem::None);

        ScriptedMessages messages;
        reportEnvironmentProblem(EnvironmentProblem::None);
        QCOMPARE(messages.count(), 0);
        reportEnvironmentProblem(EnvironmentProblem::FileSystem);
        reportEnvironmentProblem(EnvironmentProblem::RegularExpressions);
        reportEnvironmentProblem(EnvironmentProblem::Browser);
        QCOMPARE(messages.count(), 3);
        const QString scripting =
            QStringLiteral("ゼルモラを動作させるためにはWindows Scripting Host Ver5.5以降が必要です.\r\n"
                           "このコンピュータにはWindows Scripting "
                           "Hostがインストールされていないか、古いバージョンがインストールされています.");
        QCOMPARE(messages.shown().at(0).text, scripting);
        QCOMPARE(messages.shown().at(1).text, scripting);
        QCOMPARE(messages.shown().at(2).text,
                 QStringLiteral("ゼルモラを動作させるためにはインターネットエクスプローラ Ver4.0以降が必要です.\r\n"
                                "このコンピュータにはインターネットエクスプローラがインストールされていないか、"
                                "古いバージョンがインストールされています."));
        for (const MessageRequest& shown : messages.shown()) {
            QCOMPARE(shown.title, QStringLiteral("エラー"));
            QCOMPARE(shown.icon, MsgIcon::Critical);
        }
    }

    void commonSettingsOutcomes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        ScriptedMessages messages;
        ConnectionSettings connection;

        messages.enqueue(MsgResult::No);
        QCOMPARE(handleCommonSettingsResult(ReadCommonSettings(path, connection)), CommonSettingsOutcome::End);
        QCOMPARE(messages.count(), 1); // the file question only
        messages.enqueue(MsgResult::Yes);
        QCOMPARE(handleCommonSettingsResult(ReadCommonSettings(path, connection)), CommonSettingsOutcome::FirstSetup);
        QCOMPARE(messages.count(), 2);

        // An unknown key: the defaults-used message once, every common setting at its default.
        test::writeFile(path, test::crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=http://gw/"),
                                               QStringLiteral("NO_SUCH_KEY=1")}));
        messages.clear();
        QCOMPARE(handleCommonSettingsResult(ReadCommonSettings(path, connection)), CommonSettingsOutcome::Continue);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(),
                 QStringLiteral("設定ファイルにエラーがありましたので既定値を使用します.\r\n設定を再度行って下さい."));
        QCOMPARE(messages.shown().last().title, QStringLiteral("確認"));
        QCOMPARE(messages.shown().last().icon, MsgIcon::Information);
        QVERIFY(messages.shown().last().foreground);
        QCOMPARE(connection.SERVER_URL, QStringLiteral("http://"));

        test::writeFile(path, test::crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=http://gw/")}));
        messages.clear();
        QCOMPARE(handleCommonSettingsResult(ReadCommonSettings(path, connection)), CommonSettingsOutcome::Continue);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(connection.programUrl, QStringLiteral("http://gw/office.exe"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
