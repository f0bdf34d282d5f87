#include "groupware/TopPage.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace zelmora;

namespace {

const QDate kToday(2002, 6, 3);

QString topPage() {
    return test::fixtureText(QStringLiteral("toppage/top.html"));
}

QDateTime today(int hour, int minute) {
    return QDateTime(kToday, QTime(hour, minute));
}

} // namespace

class TestTopPage : public QObject {
    Q_OBJECT
private slots:
    void countsNoticesInsideTheBoxOnly() {
        qint32 last = 150;
        const NoticeCounts counts = GetNotice(topPage(), 157, last);
        QCOMPARE(counts.mail, qint16(3)); // not the 99 quoted further down the page
        QCOMPARE(counts.circular, qint16(12));
        QCOMPARE(counts.memo, qint16(2)); // written with a full-width digit
        QCOMPARE(counts.workflow, qint16(5));
        QVERIFY(counts.newArticle);
        QCOMPARE(last, 157);
    }

    void noticeBoxOfTheOtherMarkerInUpperCase() {
        qint32 last = 157;
        const NoticeCounts counts = GetNotice(test::fixtureText(QStringLiteral("toppage/top_upper.html")), 157, last);
        NoticeCounts expected;
        expected.mail = 12;
        expected.workflow = 4; // results only, no pending application
        QCOMPARE(counts, expected);
        QCOMPARE(last, 157);
    }

    void newArticleOnlyWhenNewer() {
        qint32 last = 157;
        QVERIFY(!GetNotice(topPage(), 157, last).newArticle);
        QCOMPARE(last, 157);
        QVERIFY(!GetNotice(topPage(), -1, last).newArticle);
        QCOMPARE(last, 157);
        // Without the box the counts are zero, but the article is still news.
        const NoticeCounts counts =
            GetNotice(QStringLiteral("<html>メールが 3 件</a>届いています。</html>"), 158, last);
        QCOMPARE(counts.mail, qint16(0));
        QVERIFY(counts.newArticle);
        QCOMPARE(last, 158);
    }

    void hugeCountSaturates() {
        qint32 last = 0;
        const QString page =
            QStringLiteral("<!-- Persional Box --><table><tr><td>メールが 99999999999 件</a>届いています。"
                           "未処理の申請が 30000 件</a>あります。申請の結果が 30000 件</a>出ています。"
                           "</td></tr></table><p>");
        const NoticeCounts counts = GetNotice(page, 0, last);
        QCOMPARE(counts.mail, qint16(32767));
        QCOMPARE(counts.workflow, qint16(32767));
    }

    void scheduleOfTheUserWithBracketsInTheName() {
        QList<ScheduleItem> items;
        QCOMPARE(GetTodaySchedule(topPage(), QStringLiteral("佐藤(営業)"), kToday, items), 4);

        QCOMPARE(items[0].kind, qint16(ScheduleItem::StartEnd));
        QCOMPARE(items[0].start, today(10, 0));
        QCOMPARE(items[0].end, today(11, 30));
        QCOMPARE(items[0].title, QStringLiteral(" 定例会議"));

        QCOMPARE(items[1].kind, qint16(ScheduleItem::StartOnly));
        QCOMPARE(items[1].start, today(13, 5));
        QVERIFY(!items[1].end.isValid());
        QCOMPARE(items[1].title, QStringLiteral(" 来客 \"A社\""));

        // A line without time keeps its text as it stands.
        QCOMPARE(items[2].kind, qint16(ScheduleItem::NoTime));
        QVERIFY(!items[2].start.isValid());
        QCOMPARE(items[2].title, QStringLiteral("終日 研修 &amp; 打合せ"));

        QCOMPARE(items[3].kind, qint16(ScheduleItem::NoTime));
        QCOMPARE(items[3].title, QStringLiteral("(複数日) 出張 <大阪>"));
    }

    void scheduleCellWithoutLineBreaks() {
        QList<ScheduleItem> items;
        QCOMPARE(GetTodaySchedule(topPage(), QStringLiteral("山田 太郎"), kToday, items), 1);
        QCOMPARE(items[0].kind, qint16(ScheduleItem::NoTime));
        QCOMPARE(items[0].title, QStringLiteral("(複数日) 全社 研修旅行"));
    }

    void scheduleTimeThatIsNoTimeOfDay() {
        QList<ScheduleItem> items;
        QCOMPARE(GetTodaySchedule(topPage(), QStringLiteral("鈴木 一郎"), kToday, items), 2);
        QCOMPARE(items[0].kind, qint16(ScheduleItem::NoTime));
        QCOMPARE(items[0].title, QStringLiteral("25:00 深夜作業"));
        QCOMPARE(items[1].kind, qint16(ScheduleItem::StartOnly));
        QCOMPARE(items[1].start, today(8, 15));
        QCOMPARE(items[1].title, QStringLiteral("朝礼"));
    }

    void scheduleOfSomeoneNotOnThePage() {
        QList<ScheduleItem> items{ScheduleItem{}};
        QCOMPARE(GetTodaySchedule(topPage(), QStringLiteral("佐藤"), kToday, items), 0);
        QVERIFY(items.isEmpty());
        QCOMPARE(GetTodaySchedule(test::fixtureText(QStringLiteral("toppage/top_upper.html")),
                                  QStringLiteral("佐藤(営業)"), kToday, items),
                 0);
    }

    void linksWithRulesGetOneSeparator() {
        QList<LinkItem> links{LinkItem{QStringLiteral("stale"), QString()}};
        QCOMPARE(GetLinks(topPage(), links), 5);
        const QList<LinkItem> expected{
            {QStringLiteral("社内ポータル"), QStringLiteral("http://portal.example.co.jp/")},
            {QStringLiteral("検索 \"社外\""), QStringLiteral("http://www.example.com/search?q=a&amp;b=c")},
            {QStringLiteral("掲示板"), QString()}, // address in single quotes
            {QStringLiteral("-"), QString()},
            {QStringLiteral("Web メール"), QStringLiteral("https://mail.example.co.jp/")},
        };
        QCOMPARE(links, expected);
        QVERIFY(links[3].isSeparator());
    }

    void linksWithoutRule() {
        QList<LinkItem> links;
        QCOMPARE(GetLinks(test::fixtureText(QStringLiteral("toppage/top_upper.html")), links), 2);
        QCOMPARE(links[0], (LinkItem{QStringLiteral("Ａ"), QStringLiteral("http://a.example/")}));
        QCOMPARE(links[1], (LinkItem{QStringLiteral("B"), QString()}));
        QCOMPARE(GetLinks(QStringLiteral("<html><p></html>"), links), 0);
        QVERIFY(links.isEmpty());
    }

    void newestArticleOfTheIndexBox() {
        const QString page = test::fixtureText(QStringLiteral("toppage/bulletin.html"));
        QCOMPARE(readLatestArticleId(page, QStringLiteral("office.exe")), 157); // not the pinned 999
        QCOMPARE(readLatestArticleId(page, QStringLiteral("office.cgi")), -1);
        QCOMPARE(readLatestArticleId(test::fixtureText(QStringLiteral("toppage/bulletin_empty.html")),
                                     QStringLiteral("office.exe")),
                 -1);
        QCOMPARE(readLatestArticleId(QString(), QStringLiteral("office.exe")), -1);
    }
};

QTEST_GUILESS_MAIN(TestTopPage)
#include "tst_toppage.moc"
