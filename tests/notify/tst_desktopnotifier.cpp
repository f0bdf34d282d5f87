// Desktop notifications over a real session bus (ctest runs this suite under dbus-run-session):
// a notification service of the test's own, on a connection of its own, sees the Notify call; its
// ActionInvoked signal runs the click function of that notification only.
#include "ui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

using namespace zelmora;

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls;
    uint nextId = 7;

    void emitSignal(const QString& name, const QVariantList& arguments) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, name);
        signal.setArguments(arguments);
        QDBusConnection(QStringLiteral("service")).send(signal);
    }

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int timeout) {
        calls << QStringList{app,
                             QString::number(replaces),
                             icon,
                             summary,
                             body,
                             actions.join(QLatin1Char(',')),
                             QString::number(timeout)}
                     .join(QLatin1Char('|'));
        return nextId++;
    }
};

class TestDesktopNotifier : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
    }

    void postsAndRunsTheClickedOne() {
        ui::DesktopNotifier notifier;
        // No service and no tray icon: nothing to post to.
        QVERIFY(!ui::DesktopNotifier::hasNotificationService());
        QVERIFY(!notifier.notify(QStringLiteral("t"), QStringLiteral("b"), [] {}));

        QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
        FakeNotificationService fake;
        QVERIFY(service.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(kService));
        QVERIFY(ui::DesktopNotifier::hasNotificationService());

        QStringList clicked;
        QVERIFY(notifier.notify(QStringLiteral("あなた宛にメッセージが届いています"),
                                QStringLiteral("電話メモがあります\n<&>"),
                                [&] { clicked << QStringLiteral("first"); }));
        QVERIFY(notifier.notify(QStringLiteral("second"), QStringLiteral("b"),
                                [&] { clicked << QStringLiteral("second"); }));
        QTRY_COMPARE(fake.calls.size(), 2);
        // Body markup is escaped: the text arrives as plain text on servers that read markup.
        QCOMPARE(fake.calls.first(), QStringLiteral("ゼルモラ|0|dialog-information|あなた宛にメッセージが届いています|"
                                                    "電話メモがあります\n&lt;&amp;&gt;|default,開く|-1"));
        QTest::qWait(100); // the ids arrive with the replies

        // Another action key, and a notification closed before any click, run nothing.
        fake.emitSignal(QStringLiteral("ActionInvoked"), {uint(8), QStringLiteral("other")});
        fake.emitSignal(QStringLiteral("NotificationClosed"), {uint(7), uint(2)});
        fake.emitSignal(QStringLiteral("ActionInvoked"), {uint(7), QStringLiteral("default")});
        fake.emitSignal(QStringLiteral("ActionInvoked"), {uint(8), QStringLiteral("default")});
        QTRY_COMPARE(clicked, QStringList{QStringLiteral("second")});
        // A second click on the same notification does nothing more.
        fake.emitSignal(QStringLiteral("ActionInvoked"), {uint(8), QStringLiteral("default")});
        QTest::qWait(100);
        QCOMPARE(clicked.size(), 1);
        service.unregisterService(kService);
    }
};

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
