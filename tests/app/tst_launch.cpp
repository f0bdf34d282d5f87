#include "app/Launch.h"
#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/TestScrambling.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace zelmora;
using zelmora::test::ScriptedMessages;
using zelmora::test::SimServer;

namespace {

const QString kUnreachable = QStringLiteral("サイボウズサーバーにアクセスできません.\r\n設定を確認してください");
const QString kIncomplete = QStringLiteral("設定が正しく行われませんでしたので終了します.");
const QString kLoginAgain =
    QStringLiteral("サイボウズにログインしない場合は、一部の機能が使用できません.\r\n再度ログイン操作を行いますか?");

// The windows of the launch, answered by the test. Every call is logged by name.
class ScriptedWindows : public LaunchWindows {
public:
    QStringList calls;
    std::function<void(bool)> settingsDialog;
    std::function<ServerLogonAnswer()> serverLogin;
    std::function<bool()> loginDialog;
    MenuStates menus;
    QList<qint16> endModes;
    qint16 getInterval = -1, updateInterval = -1, absenceLevel = -1;

    void CloseSplash() override { calls << QStringLiteral("CloseSplash"); }
    void ShowSettingsDialog(bool firstSetup) override {
        calls << QStringLiteral("ShowSettingsDialog(%1)").arg(firstSetup);
        QVERIFY(settingsDialog);
        settingsDialog(firstSetup);
    }
    ServerLogonAnswer ShowServerLogin() override {
        calls << QStringLiteral("ShowServerLogin");
        return serverLogin ? serverLogin() : ServerLogonAnswer{};
    }
    bool ShowLoginDialog() override {
        calls << QStringLiteral("ShowLoginDialog");
        return loginDialog ? loginDialog() : false;
    }
    void SetTimerSettings(qint16 get, qint16 update, qint16 absence) override {
        calls << QStringLiteral("SetTimerSettings");
        getInterval = get;
        updateInterval = update;
        absenceLevel = absence;
    }
    void LoadResidentWindow() override { calls << QStringLiteral("LoadResidentWindow"); }
    void LoadStatusWindow() override { calls << QStringLiteral("LoadStatusWindow"); }
    void ApplyMenuStates(const MenuStates& states) override {
        calls << QStringLiteral("ApplyMenuStates");
        menus = states;
    }
    void StartTimers() override { calls << QStringLiteral("StartTimers"); }
    void OnMenu() override { calls << QStringLiteral("OnMenu"); }
    void EndProgram(qint16 mode) override {
        calls << QStringLiteral("EndProgram(%1)").arg(mode);
        endModes << mode;
    }
    QSize ScreenTwips() const override { return QSize(19200, 14400); }
};

// One start of the program on a data folder, as main runs it after the splash.
struct Start {
    QTemporaryDir dir;
    Settings settings;
    AppState state;
    GroupwareSession session;
    ScriptedWindows windows;

    Start() { InitializeStartupState(settings, state, dir.path(), dir.path(), QStringLiteral("tester")); }

    void writeIni(const QStringList& lines) { test::writeFile(state.settingsFilePath, test::crlfCp932(lines)); }

    // ReadCommonSettings and the launch, as main does; Ended also when start-up ends before it.
    Launch::Result run() {
        const CommonSettingsOutcome outcome =
            handleCommonSettingsResult(ReadCommonSettings(state.settingsFilePath, settings.connection));
        if (outcome == CommonSettingsOutcome::End)
            return Launch::Result::Ended;
        Launch launch(settings, state, session, windows);
        return launch.run(outcome == CommonSettingsOutcome::FirstSetup);
    }

    // The login dialog as the user fills it in: logs `userId` in with `password`.
    bool loginAs(qint32 groupId, qint32 userId, const QString& password, bool remember) {
        state.loggedIn = Login(settings.connection, session, userId, password);
        if (state.loggedIn) {
            settings.connection.LASTLOGINUSER_GROUP = groupId;
            settings.connection.LASTLOGINUSER_NAME = userId;
        }
        return remember;
    }
};

QStringList commonSection(const SimServer& sim, const QStringList& extra = {}) {
    return QStringList{QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=") + sim.baseUrl().toString(),
                       QStringLiteral("PROXY_MODE=1"), QStringLiteral("TIMEOUT=10")} +
           extra;
}

QString storedPassword(qint32 userId, const QString& name, const QString& password) {
    return test::scrambleForTest(QString::number(userId) + name + QStringLiteral("tester"), password);
}

int countKind(const SimServer& sim, const QString& kind) {
    return int(sim.requests(kind).size());
}

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void automaticLoginRegistersReadsAndLoadsWindows() {
        SimServer sim;
        QVERIFY(sim.start());
        Start start;
        start.writeIni(
            commonSection(sim, {QStringLiteral("GET_INTERVAL=2"), QStringLiteral("UPDATE_INTERVAL=0"),
                                QStringLiteral("LASTLOGINUSER_GROUP=1"), QStringLiteral("LASTLOGINUSER_NAME=1")}) +
            QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=ON"),
                        QStringLiteral("PASSWORD=") +
                            storedPassword(1, QStringLiteral("山田 太郎"), QStringLiteral("pass1")),
                        QStringLiteral("NOTIFY_MAIL=OFF"), QStringLiteral("LAST_NOTIFIED_ARTICLEID=999")});
        ScriptedMessages messages;

        QCOMPARE(start.run(), Launch::Result::Running);
        QCOMPARE(messages.count(), 0);
        QVERIFY(start.state.loggedIn);
        QVERIFY(start.state.autoLogin);
        QVERIFY(start.state.directoryLoaded);
        QCOMPARE(start.session.userId(), 1);
        QVERIFY(start.settings.user.AUTO_LOGIN);
        QVERIFY(!start.settings.user.NOTIFY_MAIL); // the user's own section was read
        QCOMPARE(start.windows.calls, QStringList({"SetTimerSettings", "CloseSplash", "LoadResidentWindow",
                                                   "LoadStatusWindow", "ApplyMenuStates", "StartTimers", "OnMenu"}));
        QCOMPARE(start.windows.getInterval, qint16(2));
        QCOMPARE(start.windows.updateInterval, qint16(0));
        QCOMPARE(start.windows.absenceLevel, qint16(10));

        // Directory fetched and cached, display order defaults to every group.
        QCOMPARE(start.settings.groups.size(), 3);
        QVERIFY(QFile::exists(start.state.userDataFilePath));
        QCOMPARE(start.settings.user.GROUP_DISP_ORDER, QList<qint32>({1, 2, 3}));

        const QList<QJsonObject> posts = sim.requests(QStringLiteral("WhereEntry-post"));
        QCOMPARE(posts.size(), 1);
        const QJsonObject fields = posts.first().value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("ID")).toString(), QStringLiteral("1"));
        QCOMPARE(fields.value(QStringLiteral("Detail")).toString(), QStringLiteral("在席*"));
        QCOMPARE(fields.value(QStringLiteral("Contact")).toString(), QStringLiteral("*"));
        // The first board read is of all members, after the registration.
        const QList<QJsonObject> boards = sim.requests(QStringLiteral("WhereIndex"));
        QVERIFY(!boards.isEmpty());
        QCOMPARE(boards.last().value(QStringLiteral("query")).toString(), QStringLiteral("page=WhereIndex&gid=0"));
        QVERIFY(!start.session.members().isEmpty());
        QCOMPARE(start.session.ownRecord().position, QStringLiteral("在席*"));
        // The newest article is below the stored id: the stored id comes down to it.
        QVERIFY(start.settings.user.LAST_NOTIFIED_ARTICLEID < 999);
        QVERIFY(start.settings.user.LAST_NOTIFIED_ARTICLEID > 0);
        // Every application of user 1 is usable: everything enabled.
        QVERIFY(std::all_of(start.windows.menus.cbegin(), start.windows.menus.cend(), [](bool on) { return on; }));
    }

    void wrongStoredPasswordOpensLoginDialogForWhoeverLogsIn() {
        SimServer sim;
        QVERIFY(sim.start());
        Start start;
        start.writeIni(
            commonSection(sim, {QStringLiteral("LASTLOGINUSER_GROUP=1"), QStringLiteral("LASTLOGINUSER_NAME=1")}) +
            QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=ON"),
                        QStringLiteral("PASSWORD=") +
                            storedPassword(1, QStringLiteral("山田 太郎"), QStringLiteral("old")),
                        QString(), QStringLiteral("[2]"), QStringLiteral("STARTUP_REGIST_POSITION=OFF"),
                        QStringLiteral("NOTIFY_MEMO=OFF")});
        ScriptedMessages messages;
        start.windows.loginDialog = [&] { return start.loginAs(1, 2, QStringLiteral("pass2"), false); };

        QCOMPARE(start.run(), Launch::Result::Running);
        QCOMPARE(start.windows.calls.count(QStringLiteral("ShowLoginDialog")), 1);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(countKind(sim, QStringLiteral("login-failed")), 1);
        QCOMPARE(start.session.userId(), 2);
        QVERIFY(!start.state.autoLogin); // the box was not ticked this time
        QVERIFY(!start.settings.user.AUTO_LOGIN);
        QVERIFY(!start.settings.user.NOTIFY_MEMO); // section [2], not [1]
        QCOMPARE(start.settings.connection.LASTLOGINUSER_NAME, 2);
        QCOMPARE(countKind(sim, QStringLiteral("WhereEntry-post")), 0); // [2] switched it off
    }

    void unreadableStoredPasswordAndForgottenUserSkipAutomaticLogin() {
        SimServer sim;
        QVERIFY(sim.start());
        for (const QString& lastUser : {QStringLiteral("-1"), QStringLiteral("1")}) {
            Start start;
            const QString stored = lastUser == QStringLiteral("1")
                                       ? QStringLiteral("ZZ") // no hex: nothing to log in with
                                       : storedPassword(1, QStringLiteral("山田 太郎"), QStringLiteral("pass1"));
            start.writeIni(commonSection(sim, {QStringLiteral("LASTLOGINUSER_GROUP=1"),
                                               QStringLiteral("LASTLOGINUSER_NAME=") + lastUser}) +
                           QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=ON"),
                                       QStringLiteral("PASSWORD=") + stored});
            ScriptedMessages messages;
            start.windows.loginDialog = [&] { return start.loginAs(1, 1, QStringLiteral("pass1"), true); };
            sim.clearRequests();
            QCOMPARE(start.run(), Launch::Result::Running);
            QCOMPARE(countKind(sim, QStringLiteral("login")), 1); // the dialog's only
            QCOMPARE(countKind(sim, QStringLiteral("login-failed")), 0);
            QVERIFY(start.state.autoLogin); // ticked in the dialog
            // [1] exists and is read; it did not have the key of another user's section.
            QCOMPARE(messages.count(), 0);
        }
    }

    void loginGivenUpRunsWithoutLoginAndMenusOff() {
        SimServer sim;
        QVERIFY(sim.start());
        Start start;
        start.writeIni(commonSection(sim));
        ScriptedMessages messages;
        messages.enqueue(MsgResult::Yes); // log in again? once yes, then no
        messages.enqueue(MsgResult::No);
        start.windows.loginDialog = [&] {
            start.state.loggedIn = false; // キャンセル
            return false;
        };

        QCOMPARE(start.run(), Launch::Result::Running);
        QCOMPARE(start.windows.calls.count(QStringLiteral("ShowLoginDialog")), 2);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.shown().at(0).text, kLoginAgain);
        QCOMPARE(messages.shown().at(0).title, QStringLiteral("確認"));
        QCOMPARE(messages.shown().at(0).buttons, MsgButtons::YesNo);
        QCOMPARE(messages.shown().at(0).icon, MsgIcon::Question);
        QVERIFY(!start.state.loggedIn);
        QCOMPARE(countKind(sim, QStringLiteral("WhereEntry-post")), 0);
        QVERIFY(!start.windows.menus.isEmpty());
        for (const char* name :
             {"frmStatus.mnuSchedule", "frmStatus.mnuR_RefSchedule", "frmStatus.mnuWhere", "frmMain.mnuToCybozuWhere",
              "frmStatus.mnuTelMemo", "frmStatus.mnuR_ChangePos", "frmStatus.mnuR_RefTelMemo",
              "frmStatus.mnuR_WriteTelMemo", "frmMain.mnuToCybozuTelMemo", "frmStatus.mnuRefMemberSchedule",
              "frmStatus.mnuRefGroupSchedule", "frmStatus.mnuToCybozuBulletin", "frmMain.mnuToCybozuWorkFlow",
              "frmStatus.mnuLink", "frmMain.mnuLink"})
            QCOMPARE(start.windows.menus.value(QLatin1String(name), true), false);
        // The windows are loaded and the timers run all the same.
        QVERIFY(start.windows.calls.contains(QStringLiteral("StartTimers")));
        QCOMPARE(start.settings.user.LAST_NOTIFIED_ARTICLEID, 0); // nothing read without login
    }

    void serverLogonAskedAndGiven() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("webuser:webpass");
        SimServer sim(options);
        QVERIFY(sim.start());
        Start start;
        start.writeIni(commonSection(sim, {QStringLiteral("SERVER_PASSWORD_REQUIRED=ON")}) +
                       QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=OFF")});
        ScriptedMessages messages;
        start.windows.serverLogin = [&] {
            start.state.dialogCancelled = false;
            return ServerLogonAnswer{QStringLiteral("webuser"), QStringLiteral("webpass"), true};
        };
        start.windows.loginDialog = [&] { return start.loginAs(1, 1, QStringLiteral("pass1"), false); };

        QCOMPARE(start.run(), Launch::Result::Running);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(start.windows.calls.first(), QStringLiteral("ShowServerLogin"));
        QCOMPARE(start.settings.user.serverUserName, QStringLiteral("webuser"));
        QCOMPARE(start.settings.user.serverPassword, QStringLiteral("webpass"));
        QVERIFY(start.settings.user.serverLogonSaved);
        QVERIFY(start.state.loggedIn);
        QCOMPARE(countKind(sim, QStringLiteral("unauthorised")), 0);
    }

    void savedServerLogonIsUsedWithoutAsking() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("webuser:webpass");
        SimServer sim(options);
        QVERIFY(sim.start());
        Start start;
        const QString key = QStringLiteral("tester");
        start.writeIni(commonSection(sim, {QStringLiteral("SERVER_PASSWORD_REQUIRED=ON")}) +
                       QStringList{QString(), QStringLiteral("[SERVER_LOGON]"),
                                   test::scrambleForTest(key, key) + QStringLiteral(":") +
                                       test::scrambleForTest(key, QStringLiteral("webuser")) + QStringLiteral("=") +
                                       test::scrambleForTest(key, QStringLiteral("webpass"))});
        ScriptedMessages messages;
        start.windows.loginDialog = [&] { return start.loginAs(1, 1, QStringLiteral("pass1"), false); };
        QCOMPARE(start.run(), Launch::Result::Running);
        QVERIFY(!start.windows.calls.contains(QStringLiteral("ShowServerLogin")));
        QCOMPARE(start.state.serverUserName, QStringLiteral("webuser"));
        QVERIFY(start.state.serverLogonSaved);
        QVERIFY(start.state.loggedIn);
    }

    void serverLogonCancelledGoesOnWithoutCredentials() {
        SimServer::Options options;
        options.basicAuth = QStringLiteral("webuser:webpass");
        SimServer sim(options);
        QVERIFY(sim.start());
        Start start;
        start.writeIni(commonSection(sim, {QStringLiteral("SERVER_PASSWORD_REQUIRED=ON")}));
        ScriptedMessages messages;
        start.windows.serverLogin = [&] {
            start.state.dialogCancelled = true;
            return ServerLogonAnswer{QStringLiteral("typed"), QStringLiteral("typed"), true};
        };
        // Without credentials the server refuses: the repair dialog comes, and is cancelled.
        start.windows.settingsDialog = [&](bool) { start.state.dialogCancelled = true; };

        QCOMPARE(start.run(), Launch::Result::Ended);
        QCOMPARE(messages.count(), 3);
        QCOMPARE(messages.shown().at(0).text,
                 QStringLiteral(
                     "サーバーログオンがキャンセルされましたので、\r\nサーバーにアクセスできない可能性があります."));
        QCOMPARE(messages.shown().at(0).icon, MsgIcon::Critical);
        QCOMPARE(messages.shown().at(0).title, QStringLiteral("エラー"));
        QCOMPARE(messages.shown().at(1).text, kUnreachable);
        QCOMPARE(messages.shown().at(2).text, kIncomplete);
        QVERIFY(start.settings.user.serverUserName.isEmpty());
        QVERIFY(start.settings.user.serverPassword.isEmpty());
        QVERIFY(!start.settings.user.serverLogonSaved);
        QVERIFY(start.state.serverUserName.isEmpty());
        QVERIFY(start.windows.endModes.isEmpty()); // nothing loaded, nothing to save
        QVERIFY(!sim.requests().isEmpty());
        QVERIFY(!sim.requests().first().value(QStringLiteral("authorization")).toBool());
    }

    void missingFileDeclinedEndsWithoutAnotherMessage() {
        Start start;
        ScriptedMessages messages;
        messages.enqueue(MsgResult::No);
        QCOMPARE(start.run(), Launch::Result::Ended);
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.lastText().startsWith(QStringLiteral("初期設定ファイルが見つかりません.")));
        QVERIFY(start.windows.calls.isEmpty());
        QVERIFY(!QFile::exists(start.state.settingsFilePath));
    }

    void missingFileCreatedRunsFirstSetupThenEndsForRestart() {
        SimServer sim;
        QVERIFY(sim.start());
        Start start;
        ScriptedMessages messages;
        messages.enqueue(MsgResult::Yes);
        // The user enters the server; a new server always asks for a restart.
        start.windows.settingsDialog = [&](bool firstSetup) {
            QVERIFY(firstSetup);
            QVERIFY(!start.state.directoryLoaded);
            start.settings.connection.SERVER_URL = sim.baseUrl().toString();
            start.settings.connection.updateProgramUrl();
            start.state.dialogCancelled = false;
            start.state.restartRequest = RestartRequest::ServerSettingsChanged;
        };
        QCOMPARE(start.run(), Launch::Result::Ended);
        QCOMPARE(start.windows.calls, QStringList({"ShowSettingsDialog(1)", "EndProgram(2)"}));
        QCOMPARE(messages.count(), 1);
        QVERIFY(sim.requests().isEmpty()); // no server work before the restart

        // Cancelled instead: its own message and the end, nothing saved.
        Start cancelled;
        messages.clear();
        messages.enqueue(MsgResult::Yes);
        cancelled.windows.settingsDialog = [&](bool) { cancelled.state.dialogCancelled = true; };
        QCOMPARE(cancelled.run(), Launch::Result::Ended);
        QCOMPARE(cancelled.windows.calls, QStringList({"ShowSettingsDialog(1)"}));
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.lastText(), kIncomplete);
        QCOMPARE(messages.shown().last().icon, MsgIcon::Critical);
    }

    void unreachableServerKeepsAskingUntilFixed() {
        SimServer sim;
        QVERIFY(sim.start());
        // The web server answers, but not the groupware.
        QVERIFY(sim.setFault(QStringLiteral("status"), 503));
        Start start;
        start.writeIni(commonSection(sim) +
                       QStringList{QString(), QStringLiteral("[1]"), QStringLiteral("AUTO_LOGIN=OFF")});
        ScriptedMessages messages;
        int dialogs = 0;
        start.windows.settingsDialog = [&](bool firstSetup) {
            QVERIFY(firstSetup);
            // Nothing that needs a restart; the second time the server is back.
            start.state.dialogCancelled = false;
            if (++dialogs == 2)
                QVERIFY(sim.clearFault());
        };
        start.windows.loginDialog = [&] { return start.loginAs(1, 1, QStringLiteral("pass1"), false); };

        QCOMPARE(start.run(), Launch::Result::Running);
        QCOMPARE(dialogs, 2);
        QCOMPARE(messages.count(), 2);
        for (const MessageRequest& shown : messages.shown()) {
            QCOMPARE(shown.text, kUnreachable);
            QCOMPARE(shown.icon, MsgIcon::Warning);
            QVERIFY(shown.foreground);
        }
        QCOMPARE(start.windows.calls.mid(0, 4),
                 QStringList({"CloseSplash", "ShowSettingsDialog(1)", "CloseSplash", "ShowSettingsDialog(1)"}));
        QVERIFY(start.state.loggedIn);
    }

    void repairDialogAskingForRestartEndsTheProgram() {
        SimServer sim;
        QVERIFY(sim.start());
        QVERIFY(sim.setFault(QStringLiteral("drop")));
        Start start;
        start.writeIni(commonSection(sim));
        ScriptedMessages messages;
        start.windows.settingsDialog = [&](bool) {
            start.state.dialogCancelled = false;
            start.state.restartRequest = RestartRequest::OtherSettingsChanged;
        };
        QCOMPARE(start.run(), Launch::Result::Ended);
        QCOMPARE(start.windows.endModes, QList<qint16>({3}));
        QCOMPARE(countKind(sim, QStringLiteral("LoginGroup")), 0);
    }

    void serverDataErrorEndsWithEmergencyExit() {
        SimServer sim;
        QVERIFY(sim.start());
        QVERIFY(sim.setFault(QStringLiteral("errorpage"), 0, 0, -1, QStringLiteral("page=WhereIndex")));
        Start start;
        start.writeIni(commonSection(sim));
        ScriptedMessages messages;
        QCOMPARE(start.run(), Launch::Result::Ended);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("サーバーから必要なデータを取得できませんでした.\r\n"
                                                     "ネットワーク、サーバーに障害が発生しているか、コンピュータ、"
                                                     "サイボウズの設定が間違っている可能性があります."));
        QCOMPARE(messages.shown().last().icon, MsgIcon::Critical);
        QCOMPARE(start.windows.endModes, QList<qint16>({4}));
        QVERIFY(!start.windows.calls.contains(QStringLiteral("ShowLoginDialog")));
        QVERIFY(!QFile::exists(start.state.userDataFilePath));

        // Only kind 1 does anything.
        QList<qint16> modes;
        QVERIFY(!ShowServerDataError(0, [&](qint16 mode) { modes << mode; }));
        QVERIFY(!ShowServerDataError(2, [&](qint16 mode) { modes << mode; }));
        QVERIFY(modes.isEmpty());
        QCOMPARE(messages.count(), 1);
    }

    void userSectionMissingOrBadIsReportedAndDefaultsKept() {
        SimServer sim;
        QVERIFY(sim.start());
        const QStringList sections[] = {
            {}, {QString(), QStringLiteral("[1]"), QStringLiteral("NOTIFY_MAIL=OFF"), QStringLiteral("BOGUS=1")}};
        const QString texts[] = {
            QStringLiteral("設定ファイルにあなたの個人設定が見つかりませんでした.\r\n個人別の設定を行って下さい."),
            QStringLiteral(
                "設定ファイルにエラーがありましたので既定値を使用します.\r\n個人別の設定を再度行って下さい.")};
        for (int i = 0; i < 2; ++i) {
            Start start;
            start.writeIni(commonSection(sim) + sections[i]);
            ScriptedMessages messages;
            start.windows.loginDialog = [&] { return start.loginAs(1, 1, QStringLiteral("pass1"), true); };
            QCOMPARE(start.run(), Launch::Result::Running);
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.lastText(), texts[i]);
            QCOMPARE(messages.shown().last().title, QStringLiteral("確認"));
            QVERIFY(messages.shown().last().foreground);
            QVERIFY(start.settings.user.NOTIFY_MAIL);
            QVERIFY(start.settings.user.AUTO_LOGIN); // the dialog's choice all the same
        }
    }

    void menuStatesFollowApplicationsAndPermission() {
        ConnectionSettings connection;
        connection.usableApplications = AppSchedule | AppBulletin;
        connection.memberPermissionState = 0;
        MenuStates states = launchMenuStates(true, connection);
        QVERIFY(states.value(QStringLiteral("frmStatus.mnuSchedule")));
        QVERIFY(!states.value(QStringLiteral("frmStatus.mnuWhere"), true));
        QVERIFY(!states.value(QStringLiteral("frmMain.mnuToCybozuWhere"), true));
        QVERIFY(states.value(QStringLiteral("frmMain.mnuToCybozuBulletin")));
        QVERIFY(!states.value(QStringLiteral("frmMain.mnuToCybozuWebMail"), true));
        QVERIFY(states.value(QStringLiteral("frmMain.mnuLink")));
        QVERIFY(!states.contains(QStringLiteral("frmStatus.mnuChangeMemberPosition")));

        connection.usableApplications = AppWhereabouts;
        states = launchMenuStates(true, connection);
        QVERIFY(states.value(QStringLiteral("frmStatus.mnuWhere")));
        QVERIFY(!states.contains(QStringLiteral("frmMain.mnuToCybozuWhere"))); // left as it is
        QVERIFY(!states.value(QStringLiteral("frmStatus.mnuChangeMemberPosition"), true));
        connection.memberPermissionState = 2;
        QVERIFY(launchMenuStates(true, connection).value(QStringLiteral("frmStatus.mnuChangeMemberPosition")));

        // Without the check every application counts, whatever the server said.
        connection.CHECK_USABLE_APPLICATION = false;
        connection.usableApplications = 0;
        states = launchMenuStates(true, connection);
        for (auto it = states.cbegin(); it != states.cend(); ++it) {
            if (it.key() != QStringLiteral("frmStatus.mnuChangeMemberPosition"))
                QVERIFY2(it.value(), qPrintable(it.key()));
        }
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
