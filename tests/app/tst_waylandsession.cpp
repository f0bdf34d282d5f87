// The real zelmora in a real Wayland session: Debian's sway on its headless backend, swaybar as
// the StatusNotifier tray, mako as the notification daemon, a private session bus, against
// groupware-sim. As root (CI) the session runs as the user nobody, since sway refuses root.
#include "core/LogonName.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "support/SimServer.h"
#include "support/ZelmoraProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <pwd.h>
#include <unistd.h>

using namespace zelmora;

namespace {

const char* const kSessionUser = "nobody";

QString field(const QJsonObject& request, const char* name) {
    return request.value(QStringLiteral("fields")).toObject().value(QLatin1String(name)).toString();
}

// One session: started by the script beside this test, reached with the environment it writes.
class WaylandSession {
public:
    explicit WaylandSession(const QString& dir) : m_dir(dir) {}
    ~WaylandSession() {
        if (m_process.state() != QProcess::NotRunning) {
            if (const qint64 pid = zelmoraPid(); pid > 0)
                ::kill(pid_t(pid), SIGKILL);
            m_process.waitForFinished(10000);
        }
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    static bool asRoot() { return ::geteuid() == 0; }

    bool start(const QString& data, int barDelaySeconds) {
        QStringList command = asUser({QStringLiteral("dbus-run-session"), QStringLiteral("--")});
        command << QStringLiteral(ZELMORA_WAYLAND_SESSION) << m_dir << QStringLiteral(ZELMORA_EXE) << data
                << QString::number(barDelaySeconds);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(command.takeFirst(), command);
        return m_process.waitForStarted(10000) &&
               test::waitUntil([&] { return QFile::exists(m_dir + QStringLiteral("/session.env")); }, 20000);
    }

    // Runs `command` inside the session and returns what it printed.
    QString run(const QStringList& command) {
        QStringList full = asUser({QStringLiteral("env")});
        QFile env(m_dir + QStringLiteral("/session.env"));
        if (env.open(QIODevice::ReadOnly))
            full += QString::fromUtf8(env.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        full += command;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels); // an error explains a failed check
        p.start(full.takeFirst(), full);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAll());
    }

    QString registeredItems() {
        return run({QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--session"),
                    QStringLiteral("--dest"), QStringLiteral("org.kde.StatusNotifierWatcher"),
                    QStringLiteral("--object-path"), QStringLiteral("/StatusNotifierWatcher"),
                    QStringLiteral("--method"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                    QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("RegisteredStatusNotifierItems")});
    }

    // The bus name of the first registered item (Qt registers "UNIQUE_NAME/StatusNotifierItem").
    QString itemService() {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("'(:[0-9.]+)/StatusNotifierItem'")).match(registeredItems());
        return m.hasMatch() ? m.captured(1) : QString();
    }
    // The process that owns that item, 0 when none is registered.
    qint64 itemOwnerPid() {
        const QString service = itemService();
        if (service.isEmpty())
            return 0;
        const QString answer =
            run({QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("--object-path"),
                 QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("--method"),
                 QStringLiteral("org.freedesktop.DBus.GetConnectionUnixProcessID"), service});
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("uint32 (\\d+)")).match(answer);
        return m.hasMatch() ? m.captured(1).toLongLong() : 0;
    }

    QString log() const {
        QFile file(m_dir + QStringLiteral("/zelmora.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    qint64 zelmoraPid() const {
        QFile file(m_dir + QStringLiteral("/zelmora.pid"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
    }
    // zelmora's exit status once it has ended, else -1.
    int zelmoraStatus() const {
        QFile file(m_dir + QStringLiteral("/zelmora.status"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : -1;
    }

private:
    static QStringList asUser(const QStringList& command) {
        if (!asRoot())
            return command;
        return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(QLatin1String(kSessionUser)),
                           QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")} +
               command;
    }

    QString m_dir;
    QProcess m_process;
};

} // namespace

class TestWaylandSession : public QObject {
    Q_OBJECT

    // The data folder: user 2 of the simulator logs in by itself; idle after no minute; AUTO at exit.
    static bool prepare(const test::SimServer& sim, const QString& data) {
        Settings settings;
        settings.connection.SERVER_URL = sim.baseUrl().toString();
        settings.connection.PROXY_MODE = 1;
        settings.connection.TIMEOUT = 30;
        settings.connection.GET_INTERVAL = 1;
        settings.connection.UPDATE_INTERVAL = 0;
        settings.connection.ABSENSE_LEVEL = 0;
        settings.connection.LASTLOGINUSER_GROUP = 1;
        settings.connection.LASTLOGINUSER_NAME = 2;
        settings.connection.updateProgramUrl();
        settings.user.AUTO_LOGIN = true;
        settings.user.STARTUP_REGIST_POSITION = true;
        settings.user.END_ACTION_TYPE = EndAction::Auto;
        settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        settings.user.GROUP_DISP_ORDER = {1, 2, 3};
        SettingsContext context;
        // The stored password is bound to the log-on name of the session's user.
        context.logonName =
            WaylandSession::asRoot() ? QString::fromLatin1(kSessionUser) : logonNameOrCommon(GetLoginUserName());
        context.loggedIn = true;
        context.userId = 2;
        context.userName = QStringLiteral("鈴木 花子");
        context.loginPassword = QStringLiteral("pass2");
        return WriteSettingsFile(data + QStringLiteral("/Zelmora.ini"), QStringLiteral("2"), settings, context) ==
               SettingsDone;
    }

    // The folder a session user other than root may use.
    static bool handOver(const QString& path) {
        if (!WaylandSession::asRoot())
            return true;
        const passwd* user = ::getpwnam(kSessionUser);
        return user && ::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) == 0;
    }

private slots:
    void initTestCase() {
        for (const char* tool : {"sway", "swaybar", "mako", "makoctl", "dbus-run-session", "gdbus"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)")
                                     .arg(QLatin1String(tool))));
        }
    }

    void runsInASwaySession_data() {
        QTest::addColumn<int>("barDelay");
        QTest::newRow("tray at start") << 0;
        QTest::newRow("tray comes late") << 8;
    }
    void runsInASwaySession() {
        QFETCH(int, barDelay);
        test::SimServer sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString& sub : {QStringLiteral("run"), QStringLiteral("home"), QStringLiteral("data")})
            QVERIFY(QDir(dir.path()).mkdir(sub));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        QFile::setPermissions(dir.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString data = dir.filePath(QStringLiteral("data"));
        QVERIFY(prepare(sim, data));
        for (const QString& path :
             {dir.path(), dir.filePath(QStringLiteral("run")), dir.filePath(QStringLiteral("home")), data,
              dir.filePath(QStringLiteral("data/Zelmora.ini"))})
            QVERIFY(handOver(path));

        WaylandSession session(dir.path());
        QVERIFY(session.start(data, barDelay));
        QVERIFY2(test::waitUntil(
                     [&] { return session.zelmoraPid() > 0 && !sim.requests(QStringLiteral("WhereIndex")).isEmpty(); },
                     60000),
                 qPrintable(session.log()));
        if (barDelay > 0) {
            // No watcher yet: the status window stands in at once, and the icon follows the panel.
            QVERIFY2(test::waitUntil([&] { return session.log().contains(QLatin1String("no system tray")); }, 5000),
                     qPrintable(session.log()));
            QCOMPARE(session.itemOwnerPid(), 0);
        }
        QVERIFY2(
            test::waitUntil([&] { return session.itemOwnerPid() == session.zelmoraPid(); }, 30000 + barDelay * 1000),
            qPrintable(session.registeredItems()));
        QVERIFY(session.log().contains(QLatin1String("tray icon shown")));

        if (barDelay == 0) {
            // The tray menu is exported beside the icon.
            const QString service = session.itemService();
            const auto call = [&](const QString& path, const QStringList& method) {
                return session.run(QStringList{QStringLiteral("gdbus"), QStringLiteral("call"),
                                               QStringLiteral("--session"), QStringLiteral("--dest"), service,
                                               QStringLiteral("--object-path"), path, QStringLiteral("--method")} +
                                   method);
            };
            const QRegularExpressionMatch menu =
                QRegularExpression(QStringLiteral("objectpath '([^']+)'"))
                    .match(call(QStringLiteral("/StatusNotifierItem"),
                                {QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                                 QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Menu")}));
            QVERIFY(menu.hasMatch());
            const QString layout =
                call(menu.captured(1), {QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("--"),
                                        QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("@as []")});
            QVERIFY2(layout.contains(QStringLiteral("状態表示")) && layout.contains(QStringLiteral("終了")),
                     qPrintable(menu.captured(1) + layout));
            // The compositor tells the idle time: no input devices, so the user goes away.
            QVERIFY(session.log().contains(QLatin1String("idle source: \"Wayland org_kde_kwin_idle\"")));
            const auto absent = [&] {
                for (const QJsonObject& post : sim.requests(QStringLiteral("WhereEntry-post")))
                    if (field(post, "Detail") == QStringLiteral("在席?") &&
                        field(post, "Contact") == QStringLiteral("?"))
                        return true;
                return false;
            };
            QVERIFY2(test::waitUntil(absent, 120000), qPrintable(session.log()));
            // New mail and more for the user: the notice reaches the notification daemon.
            QVERIFY(sim.churn(2) > 0);
            QVERIFY2(test::waitUntil([&] {
                         return session.run({QStringLiteral("makoctl"), QStringLiteral("list")})
                             .contains(QStringLiteral("あなた宛にメッセージが届いています"));
                     }),
                     qPrintable(session.run({QStringLiteral("makoctl"), QStringLiteral("list")}) +
                                session.log().right(3000)));
        }

        // The end of the session: the normal exit.
        sim.clearRequests();
        QCOMPARE(::kill(pid_t(session.zelmoraPid()), SIGTERM), 0);
        QVERIFY2(test::waitUntil([&] { return session.zelmoraStatus() >= 0; }, 30000), qPrintable(session.log()));
        if (session.zelmoraStatus() != 0) {
            // QTest cuts long messages short: a sanitizer's report goes to stderr whole.
            const QString log = session.log();
            const qsizetype report = log.indexOf(QLatin1String("==ERROR: "));
            std::fputs(qPrintable(report >= 0 ? log.mid(report) : log.right(8000)), stderr);
        }
        QCOMPARE(session.zelmoraStatus(), 0);
        const auto posts = sim.requests(QStringLiteral("WhereEntry-post"));
        QCOMPARE(posts.size(), 1);
        QCOMPARE(field(posts[0], "Detail"), QStringLiteral("帰宅"));
    }
};

QTEST_GUILESS_MAIN(TestWaylandSession)
#include "tst_waylandsession.moc"
