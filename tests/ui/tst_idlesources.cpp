// Choosing the desktop's idle source: session idle times first, in order, the pointer on X11
// next, and nothing (the user kept present) when no source answers.
#include "app/IdleDetection.h"
#include "ui/DesktopIdleSource.h"
#include "ui/WaylandIdleSource.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using namespace zelmora::ui;

namespace {
class FakeReader : public IdleTimeReader {
public:
    FakeReader(QString name, std::optional<qint64>* value) : m_name(std::move(name)), m_value(value) {}
    QString name() const override { return m_name; }
    std::optional<qint64> idleSeconds() override {
        ++calls;
        return *m_value;
    }
    int calls = 0;

private:
    QString m_name;
    std::optional<qint64>* m_value;
};
} // namespace

class TestIdleSources : public QObject {
    Q_OBJECT
private slots:
    void prefersTheFirstIdleTimeThatAnswers() {
        std::optional<qint64> mutter;
        std::optional<qint64> screenSaver = 30;
        std::vector<std::unique_ptr<IdleTimeReader>> readers;
        readers.push_back(std::make_unique<FakeReader>(QStringLiteral("Mutter"), &mutter));
        readers.push_back(std::make_unique<FakeReader>(QStringLiteral("ScreenSaver"), &screenSaver));
        DesktopIdleSource source(std::move(readers), true);
        QVERIFY(source.select());
        QCOMPARE(source.name(), QStringLiteral("ScreenSaver"));
        QCOMPARE(source.cursorPosition(), std::nullopt);
        QCOMPARE(source.sessionIdleSeconds(), std::optional<qint64>(30));

        // The service in use goes away: the next sample looks again and finds the other one.
        screenSaver.reset();
        mutter = 700;
        QCOMPARE(source.sessionIdleSeconds(), std::optional<qint64>(700));
        QCOMPARE(source.name(), QStringLiteral("Mutter"));

        // Idle minutes count as samples without movement.
        IdleDetection idle(source, 10);
        QVERIFY(!idle.SampleMouse());
        mutter = 20;
        QVERIFY(idle.SampleMouse());
    }

    void fallsBackToThePointerOrToNothing() {
        std::optional<qint64> none;
        std::vector<std::unique_ptr<IdleTimeReader>> readers;
        readers.push_back(std::make_unique<FakeReader>(QStringLiteral("Mutter"), &none));
        DesktopIdleSource x11(std::move(readers), true);
        QVERIFY(x11.select());
        QCOMPARE(x11.name(), QStringLiteral("X11 cursor position"));
        QVERIFY(x11.cursorPosition().has_value());

        std::vector<std::unique_ptr<IdleTimeReader>> wayland;
        wayland.push_back(std::make_unique<FakeReader>(QStringLiteral("Mutter"), &none));
        DesktopIdleSource nothing(std::move(wayland), false);
        QVERIFY(!nothing.select());
        QCOMPARE(nothing.name(), QString());
        // With no source at all the user is never taken to be away.
        IdleDetection idle(nothing, 0);
        for (int i = 0; i < 5; ++i)
            QVERIFY(idle.SampleMouse());
    }

    // The X screen saver extension and the pointer are used on real X11 only, never under XWayland.
    void usesX11IdleSourcesOnRealX11Only_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<bool>("x11");
        QTest::newRow("X11") << "xcb" << QByteArray() << QByteArray("x11") << true;
        QTest::newRow("XWayland, WAYLAND_DISPLAY") << "xcb" << QByteArray("wayland-0") << QByteArray() << false;
        QTest::newRow("XWayland, XDG_SESSION_TYPE") << "xcb" << QByteArray() << QByteArray("wayland") << false;
        QTest::newRow("native Wayland") << "wayland" << QByteArray("wayland-0") << QByteArray("wayland") << false;
    }
    void usesX11IdleSourcesOnRealX11Only() {
        QFETCH(QString, platform);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(bool, x11);
        const QByteArray savedDisplay = qgetenv("WAYLAND_DISPLAY");
        const QByteArray savedType = qgetenv("XDG_SESSION_TYPE");
        qputenv("WAYLAND_DISPLAY", waylandDisplay);
        qputenv("XDG_SESSION_TYPE", sessionType);
        const bool realX11 = onRealX11(platform);
        qputenv("WAYLAND_DISPLAY", savedDisplay);
        qputenv("XDG_SESSION_TYPE", savedType);
        QCOMPARE(realX11, x11);
    }

    // The compositor's idle notices (ext-idle-notify-v1, from a test compositor that offers only
    // that) become the idle time the minute sampler reads.
    void followsTheWaylandCompositorsIdleNotices() {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QProcess compositor;
        compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        compositor.start(QStringLiteral(IDLE_TEST_COMPOSITOR), {});
        QVERIFY(compositor.waitForReadyRead(10000));
        qputenv("WAYLAND_DISPLAY", compositor.readLine().trimmed());

        // A timeout of two sample periods, so that one notice means two idle minutes.
        auto ext = std::make_unique<WaylandIdleSource>(WaylandIdleSource::Protocol::ExtIdleNotify, 120000);
        QCOMPARE(ext->idleSeconds(), std::optional<qint64>(0));
        QByteArray said;
        QTRY_VERIFY2((said += compositor.readAll()).contains("notification 120000"), said.constData());
        WaylandIdleSource kde(WaylandIdleSource::Protocol::KdeIdle);
        QCOMPARE(kde.idleSeconds(), std::nullopt); // not offered by this compositor

        std::vector<std::unique_ptr<IdleTimeReader>> readers;
        readers.push_back(std::move(ext));
        DesktopIdleSource source(std::move(readers), false);
        QVERIFY(source.select());
        QCOMPARE(source.name(), QStringLiteral("Wayland ext-idle-notify-v1"));
        IdleDetection idle(source, 1);
        QVERIFY(idle.SampleMouse());
        compositor.write("idled\n");
        QTRY_VERIFY(!idle.SampleMouse());
        compositor.write("resumed\n");
        QTRY_VERIFY(idle.SampleMouse());

        compositor.closeWriteChannel();
        QVERIFY(compositor.waitForFinished(5000));
        qunsetenv("WAYLAND_DISPLAY");
    }
};

QTEST_MAIN(TestIdleSources)
#include "tst_idlesources.moc"
