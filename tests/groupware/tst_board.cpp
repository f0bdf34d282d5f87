#include "core/Clock.h"
#include "core/Cp932.h"
#include "core/DateTimeText.h"
#include "core/Settings.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "net/Transport.h"
#include "support/RawHttpServer.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace zelmora;

namespace {
const QString kExe = QStringLiteral("office.exe");

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}
} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(at(2002, 6, 3, 10, 0)); }
    void cleanup() { Clock::reset(); }

    void readsEveryKindOfRow() {
        QList<MemberRecord> m;
        QVERIFY(readPositionList(test::fixtureText(QStringLiteral("board/board_members.html")), kExe, m));
        QCOMPARE(m.size(), 6);

        QCOMPARE(m[0].id, 12);
        QCOMPARE(m[0].name, QStringLiteral("山田 太郎"));
        QCOMPARE(m[0].position, QStringLiteral("在席*"));
        QCOMPARE(m[0].updated, at(2002, 6, 3, 9, 41));
        QCOMPARE(m[0].contact, QStringLiteral("内線123*"));
        QVERIFY(m[0].memo);
        QVERIFY(m[0].autoRegistered);
        QVERIFY(m[0].present);

        // Upper-case tags, single quotes; only &quot; &lt; &gt; are decoded, in any case.
        QCOMPARE(m[1].id, 21);
        QCOMPARE(m[1].name, QStringLiteral("高橋 花子"));
        QCOMPARE(m[1].position, QStringLiteral("\"研修\" <本社> &amp;"));
        QCOMPARE(m[1].contact, QStringLiteral("<03-1234-5678>"));
        QCOMPARE(m[1].updated, at(2002, 6, 3, 8, 5, 30));
        QVERIFY(m[1].memo);
        QVERIFY(!m[1].autoRegistered);

        // Absent mark on both texts; the update of the day before has no year.
        QCOMPARE(m[2].id, 15);
        QCOMPARE(m[2].name, QStringLiteral("佐藤(営業)"));
        QCOMPARE(m[2].position, QStringLiteral("外出?"));
        QCOMPARE(m[2].contact, QStringLiteral("?"));
        QCOMPARE(m[2].updated, at(2002, 6, 2, 18, 5));
        QVERIFY(!m[2].memo);
        QVERIFY(m[2].autoRegistered);
        QVERIFY(!m[2].present);

        // No entry: the row is kept, without update time.
        QCOMPARE(m[3].id, 7);
        QCOMPARE(m[3].name, QStringLiteral("鈴木 一郎"));
        QCOMPARE(m[3].position, QStringLiteral("登録されていません"));
        QVERIFY(!m[3].updated.isValid());
        QCOMPARE(m[3].contact, QString());
        QVERIFY(!m[3].autoRegistered);

        // "*" on one text and "?" on the other is no registration; full-width digits are read.
        QCOMPARE(m[4].id, 9);
        QCOMPARE(m[4].updated, at(2002, 6, 3, 8, 15));
        QVERIFY(!m[4].autoRegistered);
        QVERIFY(!m[4].present);

        // An update time without weekday must not swallow the bracketed contact after it.
        QCOMPARE(m[5].id, 30);
        QCOMPARE(m[5].updated, at(2002, 5, 31, 17, 0));
        QCOMPARE(m[5].contact, QStringLiteral("自宅(3)"));
    }

    void emptyOrForeignPages() {
        QList<MemberRecord> m{MemberRecord{}};
        QVERIFY(!readPositionList(QStringLiteral(" \r\n \r\n"), kExe, m));
        QVERIFY(m.isEmpty());

        m = {MemberRecord{}};
        QVERIFY(readPositionList(test::fixtureText(QStringLiteral("board/board_other_header.html")), kExe, m));
        QVERIFY(m.isEmpty());

        // Links to the other program name are not this server's members.
        const QString page = test::fixtureText(QStringLiteral("board/board_members.html"));
        QVERIFY(readPositionList(page, QStringLiteral("office.cgi"), m));
        QVERIFY(m.isEmpty());
        // The program name is literal text in the pattern: its "." is no wildcard.
        QString renamed = page;
        renamed.replace(QLatin1String("office.exe"), QLatin1String("officeXexe"));
        QVERIFY(readPositionList(renamed, kExe, m));
        QVERIFY(m.isEmpty());
        QVERIFY(readPositionList(page.toLower().replace(QLatin1String("office.exe"), QLatin1String("office.cgi")),
                                 QStringLiteral("office.cgi"), m));
        QCOMPARE(m.size(), 6);
    }

    void markersInPageTextCannotForgeFields() {
        QString page = test::fixtureText(QStringLiteral("board/board_members.html"));
        page.replace(QStringLiteral("内線123*"), QStringLiteral("内線") + QChar(0xFE) + QStringLiteral("ID=99") +
                                                     QChar(0xFF) + QStringLiteral("*"));
        QList<MemberRecord> m;
        QVERIFY(readPositionList(page, kExe, m));
        QCOMPARE(m.size(), 6);
        QCOMPARE(m[0].id, 12);
        QCOMPARE(m[0].contact, QStringLiteral("内線ID=99*"));
    }

    void theSameBoardAgainIsReadOnTheDayOfTheRefresh() {
        // The server answers every refresh with the same page until a row changes.
        test::RawHttpServer server;
        const QByteArray page = test::fixtureBytes(QStringLiteral("board/board_members.html"));
        server.setReply(200, "text/html; charset=Shift_JIS", page);
        ConnectionSettings connection;
        connection.SERVER_URL = server.url(QStringLiteral("/scripts/"));
        connection.PROXY_MODE = 1;
        connection.updateProgramUrl();
        SetInetOptions(connection, {}, {});
        GroupwareSession session;
        QList<MemberRecord> m;
        QVERIFY(GetPositionList(connection, session, m, 3));
        QCOMPARE(m[2].updated, at(2002, 6, 2, 18, 5));
        // "6/2(日) 18:05" has no year: a year later it is read in that year.
        Clock::setFixed(at(2003, 6, 3, 10, 0));
        QVERIFY(GetPositionList(connection, session, m, 3));
        QCOMPARE(m[2].updated, at(2003, 6, 2, 18, 5));
        server.setReply(200, "text/html; charset=Shift_JIS",
                        QByteArray(page).replace(cp932::encode(QStringLiteral("外出?")), cp932::encode(QStringLiteral("会議?"))));
        QVERIFY(GetPositionList(connection, session, m, 3));
        QCOMPARE(m[2].position, QStringLiteral("会議?"));
        QCOMPARE(m.size(), 6);
        QCOMPARE(server.requests().size(), 3);
    }

    void readsOwnEntry() {
        const MemberRecord r = readMyPosition(test::fixtureText(QStringLiteral("board/entry_own.html")));
        QCOMPARE(r.name, QStringLiteral("佐藤(営業)"));
        QCOMPARE(r.id, 0);
        QCOMPARE(r.position, QStringLiteral("在席 <本社>*"));
        QCOMPARE(r.updated, at(2002, 6, 3, 9, 41));
        QCOMPARE(r.contact, QStringLiteral("内線12*"));
        QVERIFY(r.autoRegistered);
        QVERIFY(r.present);

        const MemberRecord none = readMyPosition(test::fixtureText(QStringLiteral("board/entry_refused.html")));
        QVERIFY(none.name.isEmpty() && none.position.isEmpty() && none.contact.isEmpty());
        QVERIFY(!none.updated.isValid() && !none.autoRegistered);
        QVERIFY(readMyPosition(QString()).name.isEmpty());
    }

    void autoRegisteredNeedsAMarkOnBothTexts() {
        QVERIFY(IsAutoRegistered(QStringLiteral("在席*"), QStringLiteral("*")));
        QVERIFY(IsAutoRegistered(QStringLiteral("在席*"), QStringLiteral("内線?")));
        QVERIFY(!IsAutoRegistered(QStringLiteral("在席"), QStringLiteral("*")));
        QVERIFY(!IsAutoRegistered(QStringLiteral("*"), QString()));
        QVERIFY(!IsAutoRegistered(QString(), QStringLiteral("?")));
    }

    void updateTimes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDateTime>("expected");
        const QDate today(2002, 6, 3);
        QTest::newRow("full") << "2002/06/03 09:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("seconds, short") << "2002/6/3 9:05:07" << today << at(2002, 6, 3, 9, 5, 7);
        QTest::newRow("weekday dropped") << "2002/06/03  09:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("no year") << "6/2 18:05" << today << at(2002, 6, 2, 18, 5);
        QTest::newRow("tomorrow still this year") << "6/4 08:00" << today << at(2002, 6, 4, 8, 0);
        QTest::newRow("last december") << "12/31 17:30" << QDate(2003, 1, 1) << at(2002, 12, 31, 17, 30);
        QTest::newRow("leap day of last year") << "2/29 10:00" << QDate(2005, 3, 1) << at(2004, 2, 29, 10, 0);
        QTest::newRow("full-width") << "２００２／０６／０３　０９：４１" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("weekday left") << "2002/06/03(月) 09:41" << today << QDateTime();
        QTest::newRow("date alone") << "2002/06/03" << today << at(2002, 6, 3, 0, 0);
        QTest::newRow("two-digit year") << "02/06/03 9:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("dashes, seconds") << "2002-06-03 09:41:30" << today << at(2002, 6, 3, 9, 41, 30);
        QTest::newRow("month/day/year") << "6/3/2002 9:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("year and month") << "2002/6" << today << at(2002, 6, 1, 0, 0);
        QTest::newRow("time first") << "9:41 2002/6/3" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("afternoon mark") << "2002/6/3 午後 1:05" << today << at(2002, 6, 3, 13, 5);
        QTest::newRow("PM after") << "6/3 1:05 PM" << today << at(2002, 6, 3, 13, 5);
        QTest::newRow("12 AM") << "2002/6/3 12:10 AM" << today << at(2002, 6, 3, 0, 10);
        QTest::newRow("kanji date") << "2002年6月3日 9:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("kanji time, no year") << "6月3日 9時41分" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("time alone: zero day") << "9:41" << today << at(1899, 12, 30, 9, 41);
        QTest::newRow("midnight alone: no date") << "0:00" << today << QDateTime();
        QTest::newRow("mixed separators") << "2002/06-03 9:41" << today << QDateTime();
        QTest::newRow("13 PM") << "2002/6/3 13:00 PM" << today << QDateTime();
        QTest::newRow("bad hour") << "2002/06/03 24:00" << today << QDateTime();
        QTest::newRow("bad day") << "2002/02/30 10:00" << today << QDateTime();
        QTest::newRow("words") << "登録されていません" << today << QDateTime();
        // Around the clock changes of 2002 in Berlin, each after a summer time.
        QTest::newRow("summer") << "2002/6/3 9:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("day before spring") << "2002/3/30 2:30" << today << at(2002, 3, 30, 2, 30);
        QTest::newRow("spring's missing hour") << "2002/3/31 2:30" << today << at(2002, 3, 31, 2, 30);
        QTest::newRow("summer again") << "2002/6/3 9:41" << today << at(2002, 6, 3, 9, 41);
        QTest::newRow("eve of autumn") << "2002/10/26 2:30" << today << at(2002, 10, 26, 2, 30);
        QTest::newRow("autumn's hour twice") << "2002/10/27 2:30" << today << at(2002, 10, 27, 2, 30);
    }
    void updateTimes() {
        QFETCH(QString, text);
        QFETCH(QDate, today);
        QFETCH(QDateTime, expected);
        QCOMPARE(readDateTime(text, today), expected);
        // Made in a zone: the moment and the wall time that the zone gives that date and time, also
        // from what the reader kept of the row before (Berlin) or of the same row (the system's).
        const QTimeZone berlin("Europe/Berlin");
        for (const QTimeZone& zone : {berlin, QTimeZone::systemTimeZone(), QTimeZone::systemTimeZone(), berlin}) {
            QVERIFY(zone.isValid());
            const QDateTime made = readDateTime(text, today, zone);
            const QDateTime reference =
                expected.isValid() ? QDateTime(expected.date(), expected.time(), zone) : QDateTime();
            QCOMPARE(made, reference);
            QCOMPARE(made.toString(u"yyyy/MM/dd HH:mm:ss"), reference.toString(u"yyyy/MM/dd HH:mm:ss"));
            QCOMPARE(made.offsetFromUtc(), reference.offsetFromUtc());
        }
    }
};

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
