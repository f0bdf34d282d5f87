// Choosing the desktop's idle source: session idle times first, in order, the pointer on X11
// next, and nothing (the user kept present) when no source answers.
#include "app/IdleDetection.h"
#include "ui/DesktopIdleSource.h"

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
};

QTEST_MAIN(TestIdleSources)
#include "tst_idlesources.moc"
