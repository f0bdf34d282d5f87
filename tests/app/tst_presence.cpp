#include "app/IdleDetection.h"
#include "app/RegistrationDecision.h"

#include <QTest>

#include <deque>

using namespace zelmora;

namespace {
// Answers the detector from scripted values; an empty script means "cannot tell".
class ScriptedIdleSource : public IdleSource {
public:
    std::optional<QPoint> position;
    std::optional<qint64> idleSeconds;
    std::optional<QPoint> cursorPosition() override { return position; }
    std::optional<qint64> sessionIdleSeconds() override { return idleSeconds; }
};

MemberRecord entry(const QString& position, const QString& contact) {
    MemberRecord own;
    own.position = position;
    own.contact = contact;
    return own;
}
} // namespace

class TestPresence : public QObject {
    Q_OBJECT
private slots:
    void idleCountReachesAwayAfterThreshold() {
        ScriptedIdleSource source;
        source.position = QPoint(300, 200);
        IdleDetection idle(source, 10);
        QVERIFY(idle.isActive());
        QVERIFY(idle.SampleMouse()); // moved away from (0, 0)
        QCOMPARE(idle.idleCount(), qint16(0));
        for (int sample = 1; sample <= 10; ++sample)
            QVERIFY2(idle.SampleMouse(), qPrintable(QString::number(sample)));
        QVERIFY(!idle.SampleMouse()); // 11th unchanged sample
        QVERIFY(!idle.isActive());
        source.position = QPoint(301, 200);
        QVERIFY(idle.SampleMouse());
        QCOMPARE(idle.idleCount(), qint16(0));
    }

    void cursorRestingAtOriginCountsFromFirstSample() {
        ScriptedIdleSource source;
        source.position = QPoint(0, 0);
        IdleDetection idle(source, 1);
        QVERIFY(idle.SampleMouse());
        QCOMPARE(idle.idleCount(), qint16(1));
        QVERIFY(!idle.SampleMouse());
    }

    void idleCountSaturatesAndStaysAway() {
        ScriptedIdleSource source;
        source.position = QPoint(5, 5);
        IdleDetection idle(source, 10);
        for (int i = 0; i < 40000; ++i)
            idle.SampleMouse();
        QCOMPARE(idle.idleCount(), IdleDetection::kMaxIdleCount);
        QVERIFY(!idle.SampleMouse());
        QCOMPARE(idle.idleCount(), IdleDetection::kMaxIdleCount);
    }

    void sessionIdleTimeStandsInForTheCursor() {
        ScriptedIdleSource source;
        IdleDetection idle(source, 10);
        source.idleSeconds = 10 * 60 + 59;
        QVERIFY(idle.SampleMouse());
        source.idleSeconds = 11 * 60;
        QVERIFY(!idle.SampleMouse());
        QCOMPARE(idle.idleCount(), qint16(11));
        source.idleSeconds = qint64(1) << 40;
        QVERIFY(!idle.SampleMouse());
        QCOMPARE(idle.idleCount(), IdleDetection::kMaxIdleCount);
        // No source can tell: present, never a guessed "away".
        source.idleSeconds.reset();
        QVERIFY(idle.SampleMouse());
    }

    void registrationDecisionTable() {
        const auto none = Registration::None, present = Registration::Present, absent = Registration::Absent;
        struct Case {
            const char* name;
            const char16_t* position;
            const char16_t* contact;
            bool forced, active;
            const char16_t* herePosition;
            const char16_t* hereTelno;
            Registration expected;
        };
        const Case cases[] = {
            // Unmarked entries (written by hand) are never touched, forced or not.
            {"hand-written", u"会議", u"内線12", false, true, u"在席", u"", none},
            {"hand-written, forced", u"会議", u"", true, false, u"在席", u"", none},
            {"marks differ", u"在席*", u"?", true, true, u"在席", u"", none},
            {"empty contact", u"在席*", u"", true, true, u"在席", u"", none},
            {"forced, away", u"在席?", u"?", true, false, u"在席", u"", present},
            // Entry still holding the settings: flips with the activity.
            {"present, away", u"在席*", u"*", false, false, u"在席", u"", absent},
            {"present, active", u"在席*", u"*", false, true, u"在席", u"", none},
            {"absent, active", u"在席?", u"?", false, true, u"在席", u"", present},
            {"absent, away", u"在席?", u"?", false, false, u"在席", u"", none},
            {"telno held, away", u"在席*", u"内線123*", false, false, u"在席", u"内線123", absent},
            {"marks only, empty settings", u"*", u"*", false, false, u"", u"", absent},
            // Entry no longer holding the settings (HERE_POSITION or HERE_TELNO changed).
            {"old place, active", u"会議*", u"*", false, true, u"在席", u"", present},
            {"old place, away", u"会議*", u"*", false, false, u"在席", u"", none},
            {"old telno, absent, active", u"在席?", u"?", false, true, u"在席", u"内線123", present},
            {"old telno, present, active", u"在席*", u"*", false, true, u"在席", u"内線123", present},
        };
        for (const Case& c : cases) {
            ConnectionSettings connection;
            connection.HERE_POSITION = QString::fromUtf16(c.herePosition);
            connection.HERE_TELNO = QString::fromUtf16(c.hereTelno);
            const MemberRecord own = entry(QString::fromUtf16(c.position), QString::fromUtf16(c.contact));
            QVERIFY2(decideRegistration(own, c.forced, c.active, connection) == c.expected, c.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestPresence)
#include "tst_presence.moc"
