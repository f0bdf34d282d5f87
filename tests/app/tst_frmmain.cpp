// The resident controller: its two clocks and their re-entry guards, the registration pass with
// the idle detection, the tray's exits and the session end, against the development server.
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/Cp932.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "dialogs/SettingsApply.h"
#include "dialogs/frmRegistEndPosition.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/UserDataFile.h"
#include "net/Transport.h"
#include "status/frmStatus.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "ui/BrowserPages.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSessionManager>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <csignal>
#include <functional>

using namespace zelmora;

namespace {

class FakeStatus : public StatusControl {
public:
    void UpdateAppearance() override { ++appearances; }
    void LockForm() override { ++locks; }
    void UnlockForm() override { ++unlocks; }
    void Update() override {
        ++updates;
        if (duringUpdate)
            duringUpdate();
    }
    void SetEnableAttention(bool enable) override { attention = enable; }
    void ShowStatus() override {
        ++shows;
        visible = true;
    }
    bool IsStatusVisible() const override { return visible; }

    int appearances = 0, locks = 0, unlocks = 0, updates = 0, shows = 0;
    bool attention = false;
    bool visible = false;
    std::function<void()> duringUpdate;
};

class FakeIdle : public IdleSource {
public:
    std::optional<QPoint> cursorPosition() override { return position; }
    std::optional<qint64> sessionIdleSeconds() override { return std::nullopt; }
    QPoint position{5, 5};
};

void tick(QTimer& timer, int times = 1) {
    for (int i = 0; i < times; ++i)
        QVERIFY(QMetaObject::invokeMethod(&timer, "timeout"));
}

QList<QJsonObject> entryPosts(test::SimServer& sim) {
    return sim.requests(QStringLiteral("WhereEntry-post"));
}

QString field(const QJsonObject& request, const char* name) {
    return request.value(QStringLiteral("fields")).toObject().value(QLatin1String(name)).toString();
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    test::SimServer m_sim;
    QTemporaryDir m_dir;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    FakeStatus m_status;
    std::unique_ptr<frmMain> m_main;
    int m_quits = 0;

    // A resident controller as the launch leaves it, logged in as `userId` when not 0.
    void makeMain(qint32 userId = 1) {
        m_settings = Settings();
        m_settings.connection.SERVER_URL = m_sim.baseUrl().toString();
        m_settings.connection.PROXY_MODE = 1;
        m_settings.connection.TIMEOUT = 10;
        m_settings.connection.updateProgramUrl();
        m_settings.groups = {{1, QStringLiteral("営業部"), true}};
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1}, 1, false}};
        SetInetOptions(m_settings.connection, {}, {});
        m_app = AppState();
        m_app.settingsFilePath = m_dir.filePath(QStringLiteral("Zelmora.ini"));
        m_app.userDataFilePath = m_dir.filePath(QStringLiteral("UserData.dat"));
        m_app.directoryLoaded = true;
        m_session = GroupwareSession();
        if (userId != 0) {
            QVERIFY(Login(m_settings.connection, m_session, userId, QStringLiteral("pass%1").arg(userId)));
            m_app.loggedIn = true;
        }
        m_status = FakeStatus();
        m_main = std::make_unique<frmMain>(m_settings, m_app, m_session);
        m_main->setStatusControl(&m_status);
        m_main->setIdleSource(std::make_unique<FakeIdle>());
        m_main->setWindowUnloader([] {});
        m_quits = 0;
        m_main->setQuitFunction([this] { ++m_quits; });
        m_sim.clearRequests();
    }

    QAction* trayItem(const char* name) { return m_main->trayMenu()->item(QLatin1String(name)); }

private slots:
    void initTestCase() {
        QVERIFY(m_sim.start());
        QVERIFY(m_dir.isValid());
    }

    void init() {
        QVERIFY(m_sim.reset());
        QFile::remove(m_dir.filePath(QStringLiteral("Zelmora.ini")));
        QFile::remove(m_dir.filePath(QStringLiteral("UserData.dat")));
    }

    void cleanup() { m_main.reset(); }

    void boardClockReadsEveryIntervalWorthOfTicks() {
        makeMain(0);
        struct Case {
            qint16 minutes;
            int ticksPerRead;
        };
        for (const Case c : {Case{5, 20}, Case{1, 4}, Case{0, 1}, Case{-3, 1}}) {
            m_status.updates = 0;
            m_main->GetTimerInterval(c.minutes);
            m_main->StartTimers();
            tick(m_main->tmrGetIntervalTimer(), c.ticksPerRead - 1);
            QCOMPARE(m_status.updates, 0);
            tick(m_main->tmrGetIntervalTimer());
            QCOMPARE(m_status.updates, 1);
            QVERIFY(m_status.attention);
            tick(m_main->tmrGetIntervalTimer(), c.ticksPerRead);
            QCOMPARE(m_status.updates, 2);
            QVERIFY(m_main->tmrGetIntervalTimer().isActive());
        }
    }

    void registrationClockDoesNothingWhileLoggedOut() {
        makeMain(0);
        m_main->UpdateTimerInterval(0);
        m_main->StartTimers();
        trayItem("mnuDispStatus")->setEnabled(true);
        tick(m_main->tmrUpdateIntervalTimer(), 3);
        QCOMPARE(m_status.locks, 0);
        QVERIFY(trayItem("mnuDispStatus")->isEnabled());
        QVERIFY(m_sim.requests().isEmpty());
    }

    void aRegistrationTickInsideABoardReadIsSkipped() {
        makeMain(1);
        m_main->GetTimerInterval(0);
        m_main->UpdateTimerInterval(1); // every 4th tick
        m_main->StartTimers();
        bool menuOffDuringRead = false;
        m_status.duringUpdate = [&] {
            menuOffDuringRead = !trayItem("mnuDispStatus")->isEnabled() && !trayItem("mnuSet")->isEnabled();
            QVERIFY(m_main->bflgWhileGettingData());
            tick(m_main->tmrUpdateIntervalTimer(), 4);
        };
        tick(m_main->tmrGetIntervalTimer());
        QCOMPARE(m_status.updates, 1);
        QVERIFY(menuOffDuringRead);
        QCOMPARE(m_status.locks, 0); // no registration pass
        QCOMPARE(m_main->updateElapsedMs(), 0);
        QVERIFY(trayItem("mnuDispStatus")->isEnabled());
        QVERIFY(!m_main->bflgWhileGettingData());

        // The next pass comes a full interval later.
        m_status.duringUpdate = nullptr;
        tick(m_main->tmrUpdateIntervalTimer(), 3);
        QCOMPARE(m_status.locks, 0);
        tick(m_main->tmrUpdateIntervalTimer());
        QCOMPARE(m_status.locks, 1);
        QCOMPARE(m_status.unlocks, 1);
        QCOMPARE(m_sim.requests(QStringLiteral("WhereEntry")).size(), 1);
    }

    void aBoardTickInsideARegistrationIsSkipped() {
        makeMain(1);
        m_main->GetTimerInterval(0);
        m_main->UpdateTimerInterval(0);
        m_main->StartTimers();
        bool readWhileRegistering = false;
        m_main->setRegistrationDialogLock([&](bool lock) {
            if (!lock)
                return;
            tick(m_main->tmrGetIntervalTimer(), 2);
            readWhileRegistering = m_status.updates > 0;
        });
        tick(m_main->tmrUpdateIntervalTimer());
        QCOMPARE(m_status.locks, 1);
        QVERIFY(!readWhileRegistering);
        QVERIFY(!m_main->bflgWhileUpdatingData());
        tick(m_main->tmrGetIntervalTimer());
        QCOMPARE(m_status.updates, 1);
    }

    void aGridFillInsideABoardReadKeepsTheBoardClockStopped() {
        makeMain(0);
        m_main->GetTimerInterval(0);
        m_main->StartTimers();
        bool boardClockRanAfterFill = true;
        bool othersRanAfterFill = false;
        m_status.duringUpdate = [&] {
            const PeriodicTimerStates running = m_main->SuspendPeriodicTimers();
            QVERIFY(!m_main->tmrMouseCapture().isActive());
            QVERIFY(!m_main->tmrUpdateIntervalTimer().isActive());
            m_main->RestorePeriodicTimers(running);
            boardClockRanAfterFill = m_main->tmrGetIntervalTimer().isActive();
            othersRanAfterFill = m_main->tmrUpdateIntervalTimer().isActive() &&
                                 m_main->tmrScheduleAlarmTimer().isActive() && m_main->tmrMouseCapture().isActive();
            tick(m_main->tmrGetIntervalTimer());
        };
        tick(m_main->tmrGetIntervalTimer());
        QCOMPARE(m_status.updates, 1);
        QVERIFY(!boardClockRanAfterFill);
        QVERIFY(othersRanAfterFill);
        QVERIFY(m_main->tmrGetIntervalTimer().isActive());
    }

    void userDataFailuresShowTheirMessageWithTheTimersSuspended_data() {
        QTest::addColumn<bool>("fromStatusWindow");
        QTest::addColumn<QString>("message");
        QTest::newRow("user-data refresh, file not writable")
            << true << QStringLiteral("ユーザーデータの保存に失敗しました");
        QTest::newRow("settings applied, file not readable")
            << false << QStringLiteral("ユーザーデータの読み込みに失敗しました");
    }

    void userDataFailuresShowTheirMessageWithTheTimersSuspended() {
        QFETCH(bool, fromStatusWindow);
        QFETCH(QString, message);
        makeMain(1);
        m_main->StartTimers();
        auto running = [this] {
            return QList<bool>{m_main->tmrGetIntervalTimer().isActive(), m_main->tmrUpdateIntervalTimer().isActive(),
                               m_main->tmrScheduleAlarmTimer().isActive(), m_main->tmrMouseCapture().isActive()};
        };
        QStringList shown;
        QList<bool> runningAtMessage;
        const MessageHandler previous = setMessageHandler([&](const MessageRequest& request) {
            shown << request.text;
            runningAtMessage = running();
            return MsgResult::Ok;
        });
        if (fromStatusWindow) {
            m_app.userDataFilePath = m_dir.filePath(QStringLiteral("no folder/UserData.dat"));
            frmStatus status(m_settings, m_app, m_session);
            status.setResidentControl(m_main.get());
            status.setUserDataFetcher(
                [this](QList<UserRecord>& users) { return GetUserData(m_settings.connection, users); });
            status.BuildLayout();
            status.menuItem(QStringLiteral("mnuUpdateUserData"))->trigger();
        } else {
            m_app.userDataFilePath = m_dir.path(); // a folder where the file should be
            SettingsEdit edit;
            edit.common = m_settings.connection;
            edit.user = m_settings.user;
            ApplySettings(RestartClass::None, edit, SettingsTarget{m_settings, m_app, m_session, m_main.get(), {}});
        }
        setMessageHandler(previous);
        QCOMPARE(shown, QStringList{message});
        QCOMPARE(runningAtMessage, (QList<bool>{false, false, false, false}));
        QCOMPARE(running(), (QList<bool>{true, true, true, true}));
    }

    void aTabClickWhileNobodyIsLoggedInLeavesThePeriodicRefreshOff() {
        makeMain(0);
        m_settings.groups = {{1, QStringLiteral("営業部"), true}, {2, QStringLiteral("開発部"), true}};
        m_settings.user.GROUP_DISP_ORDER = {1, 2};
        m_main->StartTimers();
        frmStatus status(m_settings, m_app, m_session);
        status.setResidentControl(m_main.get());
        status.BuildLayout();
        status.Update();
        // The refresh restarts the board clock; the grid fill left the other three off.
        QVERIFY(m_main->tmrGetIntervalTimer().isActive());
        QVERIFY(!m_main->tmrUpdateIntervalTimer().isActive());
        QVERIFY(!m_main->tmrMouseCapture().isActive());
        status.objTabStrip()->setCurrentIndex(1);
        QCOMPARE(status.intCurrentTab(), 2);
        QVERIFY(!m_main->tmrGetIntervalTimer().isActive());
        status.objTabStrip()->setCurrentIndex(0);
        QVERIFY(!m_main->tmrGetIntervalTimer().isActive());
        // Until the refresh button.
        status.cmdUpdate()->click();
        QVERIFY(m_main->tmrGetIntervalTimer().isActive());
    }

    void idleUserIsRegisteredAbsentAndPresentAgain() {
        makeMain(1);
        m_settings.connection.ABSENSE_LEVEL = 2; // read when the idle source is set
        auto idle = std::make_unique<FakeIdle>();
        FakeIdle* mouse = idle.get();
        m_main->setIdleSource(std::move(idle));

        // The own entry is "在席*" / "内線101*". Three samples without movement exceed a threshold of 2.
        QVERIFY(m_main->SampleMouse()); // moved from (0, 0)
        QVERIFY(m_main->SampleMouse());
        QVERIFY(m_main->SampleMouse());
        QVERIFY(!m_main->SampleMouse());
        m_main->UpdatePosition(false);
        QCOMPARE(entryPosts(m_sim).size(), 1);
        QCOMPARE(field(entryPosts(m_sim)[0], "Detail"), QStringLiteral("在席?"));
        QCOMPARE(field(entryPosts(m_sim)[0], "Contact"), QStringLiteral("?"));
        QVERIFY(m_session.ownRecord().autoRegistered);

        // Still away: the entry already says so.
        m_main->UpdatePosition(false);
        QCOMPARE(entryPosts(m_sim).size(), 1);

        mouse->position = QPoint(6, 5);
        QVERIFY(m_main->SampleMouse());
        m_main->UpdatePosition(false);
        QCOMPARE(entryPosts(m_sim).size(), 2);
        QCOMPARE(field(entryPosts(m_sim)[1], "Detail"), QStringLiteral("在席*"));
        QCOMPARE(field(entryPosts(m_sim)[1], "Contact"), QStringLiteral("*"));
    }

    void normalExitPostsTheEndOfDayEntryWithAnEmptyContact() {
        makeMain(1);
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        m_settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        QSignalSpy ended(m_main.get(), &frmMain::programEnded);
        trayItem("mnuExitOption(0)")->trigger();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(m_quits, 1);
        const auto posts = entryPosts(m_sim);
        QCOMPARE(posts.size(), 1);
        QCOMPARE(field(posts[0], "ID"), QStringLiteral("1"));
        QCOMPARE(field(posts[0], "Detail"), QStringLiteral("帰宅"));
        QCOMPARE(field(posts[0], "Contact"), QString());
        QVERIFY(!m_main->tmrGetIntervalTimer().isActive());
        QVERIFY(!m_main->tmrMouseCapture().isActive());

        // Settings with this user's section, and the directory.
        const QString ini = cp932::decode(test::readFile(m_app.settingsFilePath));
        QVERIFY(ini.contains(QStringLiteral("[COMMON]")));
        QVERIFY(ini.contains(QStringLiteral("[1]")));
        QVERIFY(ini.contains(QStringLiteral("END_REGIST_POSITION=帰宅")));
        QList<UserRecord> users;
        QCOMPARE(LoadUserData(users, m_app.userDataFilePath), qint16(SettingsDone));
        QCOMPARE(users.size(), 1);

        // A second exit request (log-off during the exit) does nothing more.
        m_main->mnuExitOption_Click(0);
        QCOMPARE(ended.count(), 1);
    }

    void exitIgnoringAutomaticRegistrationPostsNothing() {
        for (EndAction action : {EndAction::Auto, EndAction::Ask}) {
            makeMain(1);
            m_settings.user.END_ACTION_TYPE = action;
            m_settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
            bool asked = false;
            m_main->setEndPositionAsker([&] { asked = true; });
            trayItem("mnuExitOption(1)")->trigger();
            QCOMPARE(m_quits, 1);
            QVERIFY(!asked);
            QVERIFY(entryPosts(m_sim).isEmpty());
            QVERIFY(QFile::exists(m_app.settingsFilePath));
        }
        // Nobody logged in: not even AUTO posts.
        makeMain(0);
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        m_main->mnuExitOption_Click(0);
        QCOMPARE(m_quits, 1);
        QVERIFY(entryPosts(m_sim).isEmpty());
    }

    void askAtExitPostsWhatTheDialogSays() {
        for (bool cancel : {true, false}) {
            makeMain(1);
            m_settings.user.END_ACTION_TYPE = EndAction::Ask;
            bool seen = false;
            // The dialog comes up once the server's choices have been read.
            QTimer poll;
            poll.setInterval(5);
            connect(&poll, &QTimer::timeout, this, [&] {
                auto* dialog = qobject_cast<frmRegistEndPosition*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                poll.stop();
                // Nothing in the tray menu starts while the exit waits; no countdown at a user's exit.
                seen = !trayItem("mnuSet")->isEnabled() && !trayItem("mnuDispStatus")->isEnabled() &&
                       !dialog->lblCountdown()->isVisible();
                // The server's places follow "帰宅" and "不在".
                if (dialog->cboYourPosition()->count() <= 2 || cancel) {
                    dialog->cmdCancel()->click();
                    return;
                }
                dialog->cboYourPosition()->setEditText(QStringLiteral("直帰 & 休み"));
                dialog->cmdRegist()->click();
            });
            poll.start();
            m_main->mnuExitOption_Click(0);
            QVERIFY(seen);
            QCOMPARE(m_quits, 1);
            const auto posts = entryPosts(m_sim);
            QCOMPARE(posts.size(), cancel ? 0 : 1);
            if (!cancel)
                QCOMPARE(field(posts[0], "Detail"), QStringLiteral("直帰 & 休み"));
            QVERIFY(QFile::exists(m_app.settingsFilePath));
        }
    }

    void serverChangeWritesOnlyTheCommonPartAndDropsTheDirectory() {
        makeMain(1);
        // An existing file with this user's section, and a directory file.
        m_settings.user.NOTIFY_MAIL = true;
        QCOMPARE(WriteSettingsFile(m_app.settingsFilePath, QStringLiteral("1"), m_settings, SettingsContext()),
                 qint16(SettingsDone));
        QVERIFY(SaveUserData(m_settings.users, m_app.userDataFilePath));
        const QString before = cp932::decode(test::readFile(m_app.settingsFilePath));
        QVERIFY(before.contains(QStringLiteral("NOTIFY_MAIL=ON")));

        m_settings.user.NOTIFY_MAIL = false;
        m_settings.connection.GET_INTERVAL = 9;
        m_main->ExitProgram(EndServerChanged);
        const QString after = cp932::decode(test::readFile(m_app.settingsFilePath));
        QVERIFY(after.contains(QStringLiteral("GET_INTERVAL=9")));
        QVERIFY(after.contains(QStringLiteral("NOTIFY_MAIL=ON"))); // the user's section copied as it was
        QVERIFY(!QFile::exists(m_app.userDataFilePath));
        QVERIFY(entryPosts(m_sim).isEmpty());
    }

    void emergencyExitWritesNothing() {
        makeMain(1);
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        test::writeFile(m_app.settingsFilePath, QByteArray("[COMMON]\r\nGET_INTERVAL=5\r\n"));
        m_main->ExitProgram(EndEmergency);
        QCOMPARE(test::readFile(m_app.settingsFilePath), QByteArray("[COMMON]\r\nGET_INTERVAL=5\r\n"));
        QVERIFY(!QFile::exists(m_app.userDataFilePath));
        QVERIFY(entryPosts(m_sim).isEmpty());
        QCOMPARE(m_quits, 1);
    }

    void restartBeforeTheDirectoryIsLoadedKeepsTheDirectoryFile() {
        // The launch ends this way when the first setup asks for a restart: no resident window yet.
        makeMain(0);
        QVERIFY(SaveUserData(m_settings.users, m_app.userDataFilePath));
        const QByteArray directory = test::readFile(m_app.userDataFilePath);
        m_settings.users.clear();
        m_app.directoryLoaded = false;
        EndProgram(EndRestart, EndProgramState{m_settings, m_app, m_session}, nullptr);
        QCOMPARE(test::readFile(m_app.userDataFilePath), directory);
        QVERIFY(QFile::exists(m_app.settingsFilePath));

        // A settings file that cannot be rewritten at exit (a symbolic link here) is not lost
        // silently: the log says so.
        const QByteArray before = test::readFile(m_app.settingsFilePath);
        const QString real = m_app.settingsFilePath + QStringLiteral(".real");
        QVERIFY(QFile::rename(m_app.settingsFilePath, real));
        QVERIFY(QFile::link(real, m_app.settingsFilePath));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is a symbolic link, not followed")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be rewritten at exit")));
        EndProgram(EndRestart, EndProgramState{m_settings, m_app, m_session}, nullptr);
        QCOMPARE(test::readFile(real), before);
    }

    void terminationSignalRunsTheNormalExit() {
        makeMain(1);
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        m_settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        m_main->setTrayRetry(1, 0); // the offscreen platform has no tray
        QSignalSpy unavailable(m_main.get(), &frmMain::trayUnavailable);
        m_main->Load();
        QCOMPARE(unavailable.count(), 1);
        QVERIFY(m_main->noTrayMode());
        QCOMPARE(m_status.shows, 1);
        m_main->StartTimers();

        QSignalSpy ended(m_main.get(), &frmMain::programEnded);
        ::raise(SIGTERM);
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(entryPosts(m_sim).size(), 1);
        QCOMPARE(field(entryPosts(m_sim)[0], "Detail"), QStringLiteral("帰宅"));
        QVERIFY(QFile::exists(m_app.settingsFilePath));
    }

    // The session manager asks to save before a log-off that may still be cancelled: the files are
    // written and the program goes on. No XSMP session manager runs here, so the application's own
    // signal is emitted; the session manager object it carries is not used by the program.
    void sessionManagersSaveRequestWritesTheFilesAndKeepsRunning() {
        makeMain(1);
        m_main->setTrayRetry(1, 0);
        m_main->Load();
        QSignalSpy ended(m_main.get(), &frmMain::programEnded);
        alignas(QSessionManager) std::array<char, sizeof(QSessionManager)> unused{};
        QVERIFY(QMetaMethod::fromSignal(&QGuiApplication::commitDataRequest)
                    .invoke(qApp, Qt::DirectConnection,
                            Q_ARG(QSessionManager&, *reinterpret_cast<QSessionManager*>(unused.data()))));
        QVERIFY(cp932::decode(test::readFile(m_app.settingsFilePath))
                    .contains(QStringLiteral("SERVER_URL=") + m_sim.baseUrl().toString()));
        QList<UserRecord> users;
        QCOMPARE(LoadUserData(users, m_app.userDataFilePath), qint16(SettingsDone));
        QCOMPARE(users.size(), 1);
        QTest::qWait(100);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(m_quits, 0);
    }

    void withoutATrayClosingTheStatusWindowEndsTheProgram() {
        makeMain(0);
        // The status window's "閉じる" closes it as its close box does.
        class StatusWindow : public QWidget, public FakeStatus {};
        StatusWindow window;
        m_main->setStatusControl(&window);
        m_main->setTrayRetry(1, 0);
        m_main->Load();
        QVERIFY(m_main->noTrayMode());
        window.close();
        QCOMPARE(m_quits, 1);
        QVERIFY(QFile::exists(m_app.settingsFilePath));
        m_main->setStatusControl(&m_status);
    }

    void settingsCommandStopsTheTimersAndFollowsTheDialog() {
        makeMain(1);
        m_main->StartTimers();
        bool stoppedWhileOpen = false;
        bool shownWhileOpen = true;
        m_main->setSettingsDialog([&] {
            stoppedWhileOpen = !m_main->tmrGetIntervalTimer().isActive() && !m_main->tmrMouseCapture().isActive() &&
                               !m_main->tmrScheduleAlarmTimer().isActive();
            // A left click on the icon does not bring up a hidden status window meanwhile.
            trayItem("mnuDispStatus")->trigger();
            shownWhileOpen = m_status.shows > 0;
            m_app.dialogCancelled = false;
        });
        trayItem("mnuSet")->trigger();
        QVERIFY(stoppedWhileOpen);
        QVERIFY(!shownWhileOpen);
        QVERIFY(m_main->tmrGetIntervalTimer().isActive());
        QVERIFY(m_main->tmrUpdateIntervalTimer().isActive());
        QCOMPARE(m_status.appearances, 1);
        QCOMPARE(m_quits, 0);

        // A restart request ends the program (server settings: the directory is dropped).
        QVERIFY(SaveUserData(m_settings.users, m_app.userDataFilePath));
        m_main->setSettingsDialog([&] { m_app.restartRequest = RestartRequest::ServerSettingsChanged; });
        trayItem("mnuSet")->trigger();
        QCOMPARE(m_quits, 1);
        QCOMPARE(m_status.appearances, 1);
        QVERIFY(!QFile::exists(m_app.userDataFilePath));
    }

    void trayCommandsBringAnOpenModalWindowForward() {
        makeMain(1);
        int opened = 0;
        m_main->setSettingsDialog([&] {
            ++opened;
            QDialog dialog;
            if (opened == 1)
                QTimer::singleShot(0, &dialog, [&] {
                    // A StatusNotifier tray delivers menu clicks while the dialog is open.
                    trayItem("mnuSet")->trigger();
                    trayItem("mnuPositionItem(0)")->trigger();
                    dialog.accept();
                });
            dialog.exec();
            m_app.dialogCancelled = true;
        });
        int registrationDialogs = 0;
        m_main->setRegistrationDialogOpener([&](const PositionMenuChoice&) { ++registrationDialogs; });
        trayItem("mnuSet")->trigger();
        QCOMPARE(opened, 1);
        QCOMPARE(registrationDialogs, 0);
        QVERIFY(m_main->tmrGetIntervalTimer().isActive());
    }

    void pagesOpenAfterTheMenuHasClosed() {
        makeMain(1);
        trayItem("mnuToCybozuTelMemo")->trigger();
        QCOMPARE(m_main->intOpenPageType, qint16(1));
        QCOMPARE(m_main->strOpenPageQuery,
                 m_settings.connection.programUrl + QStringLiteral("?page=WhereHistory&id=1"));
        QVERIFY(m_main->tmrAvoidVBBug().isActive());
        QVERIFY(m_main->tmrAvoidVBBug().isSingleShot());
        QCOMPARE(m_main->tmrAvoidVBBug().interval(), 10);

        m_main->SetLinkItems({{QStringLiteral("社内"), QStringLiteral("http://portal.example/")}});
        trayItem("mnuLinkItem(0)")->trigger();
        QCOMPARE(m_main->intOpenPageType, qint16(2));
        QCOMPARE(m_main->strOpenPageQuery, QStringLiteral("http://portal.example/"));
        m_main->tmrAvoidVBBug().stop();
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
