// The development server's pages read with the desktop program's exact patterns: if a page of the
// server changes so that a reader no longer finds what it looks for, these tests fail.
#include "ApplicationPages.h"
#include "Groupware.h"
#include "Organisation.h"
#include "PageReading.h"
#include "TopPages.h"
#include "WherePages.h"
#include "core/Cp932.h"
#include "support/SimServer.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

using namespace zelmora;
using namespace zelmora::sim;
using namespace zelmora::test;
using namespace zelmora::test::reading;

namespace {
const QString kProgram = QStringLiteral("office.exe");

QString applicationPattern(const char* page) {
    return QStringLiteral("< *a +href *= *['\"]office\\.... *\\?page *= *") + QLatin1String(page) +
           QStringLiteral("['\"] *>");
}

int noticeCount(const QString& box, const QString& pattern) {
    const auto m = rx(pattern).match(box);
    if (!m.hasMatch())
        return 0;
    return cutBetween(m.captured(), QStringLiteral("が *"), QStringLiteral(" *件")).toInt();
}

struct Notices {
    int mail = 0, circulars = 0, memos = 0, workflow = 0;
};

Notices readNotices(const QString& page) {
    const QString t = removeBreaks(page);
    QString box = cutBetween(t, QStringLiteral("<!-- Persional Box -->"), QStringLiteral("< */table *> *< *p *>"), 2);
    if (box.isEmpty())
        box = cutBetween(t, QStringLiteral("<!-- Personal Box -->"), QStringLiteral("< */table *> *< *p *>"), 2);
    Notices n;
    n.mail = noticeCount(box, QStringLiteral("メールが [0-9０-９]+ 件< */a *>届いています。"));
    n.circulars = noticeCount(box, QStringLiteral("未読の回覧が [0-9０-９]+ 件< */a *>あります。"));
    n.memos = noticeCount(box, QStringLiteral("電話メモが [0-9０-９]+ 件< */a *>あります。"));
    n.workflow = noticeCount(box, QStringLiteral("未処理の申請が [0-9０-９]+ 件< */a *>あります。")) +
                 noticeCount(box, QStringLiteral("申請の結果が [0-9０-９]+ 件< */a *>出ています。"));
    return n;
}

// Today's schedule of the user as (kind, start, end, title) lines: kind 0 without time, 1 start only,
// 2 start and end.
QStringList readSchedule(const QString& page, const QString& userName) {
    const QString t = removeBreaks(page);
    const QString box = cutBetween(t, QStringLiteral("<!-- Schedule -->"),
                                   QStringLiteral("< */td *> *< */tr *> *< */table *> *< *p *>"), 2);
    const QString row = cutBetween(box, QStringLiteral("< *b *>") + userName + QStringLiteral("< */b *> *< */td *>"),
                                   QStringLiteral("< */tr *>"));
    const QString cell = cutBetween(row, QStringLiteral("< *td *>"), QStringLiteral("< */td *>"));
    const QString multiDay = QStringLiteral("< *a *[^>]*> *< *img *[^>]*>");
    const QStringList lines = split(cell, QStringLiteral("< *br *>"));
    QStringList items;
    if (lines.isEmpty()) {
        const QString only = cutBetween(cell, multiDay, QStringLiteral("< */a *>"));
        if (!only.isEmpty())
            items << QStringLiteral("0|||(複数日) ") + only;
        return items;
    }
    const QString time = QStringLiteral("(([1-2１-２][0-9０-９])|[0-9０-９]):[0-5０-５][0-9０-９]");
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QString line = lines[i];
        line.remove(rx(QStringLiteral("<[^>]+>")));
        const auto range = rx(time + QLatin1Char('-') + time).match(line);
        const auto single = rx(time).match(line);
        if (range.hasMatch()) {
            const QString m = range.captured();
            items << QStringLiteral("2|%1|%2|%3")
                         .arg(m.section(u'-', 0, 0), m.section(u'-', 1), decodeEntities(line.mid(range.capturedEnd())));
        } else if (single.hasMatch()) {
            items << QStringLiteral("1|%1||%2").arg(single.captured(), decodeEntities(line.mid(single.capturedEnd())));
        } else {
            items << QStringLiteral("0|||") + line;
        }
    }
    if (!lines.last().isEmpty())
        items << QStringLiteral("0|||(複数日) ") +
                     decodeEntities(cutBetween(lines.last(), multiDay, QStringLiteral("< */a *>")));
    return items;
}

QStringList readLinks(const QString& page) {
    const QString box = cutBetween(removeBreaks(page), QStringLiteral("<!-- Link -->"), QStringLiteral("< *p *>"));
    QStringList parts = split(box, QStringLiteral("< *hr +[^>]*>"));
    if (parts.isEmpty())
        parts << box;
    QStringList links;
    for (qsizetype p = 0; p < qMin<qsizetype>(parts.size(), 2); ++p) {
        if (p == 1)
            links << QStringLiteral("-|");
        for (const QString& entry :
             cutAllBetween(parts[p], QStringLiteral("< *li *>"), QStringLiteral("< */a *>"), 2)) {
            const QString title =
                decodeEntities(cutBetween(entry, QStringLiteral("< *a +href *= *[^>]*>"), QStringLiteral("< */a *>")));
            const QString href = cutBetween(entry, QStringLiteral("< *a +href *= *"), QStringLiteral(">"));
            links << title + QLatin1Char('|') + href.section(u'"', 1, 1);
        }
    }
    return links;
}
} // namespace

class TestSimPages : public QObject {
    Q_OBJECT

private:
    Organisation m_org;
    // A Friday morning, so that "yesterday" and the weekday marks are fixed.
    const QDateTime m_now = QDateTime(QDate(2024, 12, 6), QTime(10, 0));

    QString page(qint32 user, const QByteArray& query) {
        // Through the request index, as a logged-in user.
        Groupware groupware(m_org, kProgram);
        QByteArray token;
        if (user > 0) {
            const SimUser* u = m_org.user(user);
            const SimReply r = groupware.handle({"GET",
                                                 "_System=login&_Login=1&_ID=" + QByteArray::number(user) +
                                                     "&Password=" + cp932::formEncode(u->password),
                                                 {},
                                                 {}},
                                                m_now);
            token = r.newSessionToken;
        }
        const SimReply r = groupware.handle({"GET", query, {}, token}, m_now);
        // Pages travel as cp932: read them back the way the program decodes them.
        return cp932::decode(cp932::encode(r.html));
    }

private slots:
    void initTestCase() {
        QString error;
        QVERIFY2(m_org.load(QJsonDocument::fromJson(SimServer::builtInOrganisation()).object(), m_now, &error),
                 qPrintable(error));
    }

    void applicationLinksFollowWhatTheUserMayUse() {
        const char* pages[] = {"ScheduleIndex", "WhereIndex",   "BulletinIndex",
                               "CircularIndex", "WebMailIndex", "WorkFlowIndex"};
        const QString front = page(0, {});
        const QString all = page(1, {});
        const QString limited = page(5, {});
        for (const char* p : pages) {
            QVERIFY2(rx(applicationPattern(p)).match(front).hasMatch(), p);
            QVERIFY2(rx(applicationPattern(p)).match(all).hasMatch(), p);
            const bool usable = QByteArray(p) == "ScheduleIndex" || QByteArray(p) == "WhereIndex";
            QCOMPARE(rx(applicationPattern(p)).match(limited).hasMatch(), usable);
        }
        const QString version = QStringLiteral("サイボウズ(R) Office Version 4.0");
        const QString title = QStringLiteral("サイボウズ Office 4 個人トップページ");
        QVERIFY(front.contains(version) && all.contains(version));
        QVERIFY(!front.contains(title));
        QVERIFY(all.contains(title));
        QVERIFY(!page(0, "_System=login&_Login=1&_ID=1&Password=bad").contains(title));
    }

    void noticeBoxWithEitherMarker() {
        m_org.memos.append(SimMemo{50, 1, 2, {}, {}, {}, {}, {}, {}, {}, m_now, false});
        m_org.memos.append(SimMemo{51, 1, 3, {}, {}, {}, {}, {}, {}, {}, m_now, true});
        for (bool misspelt : {true, false}) {
            m_org.personalMarkerMisspelt = misspelt;
            const Notices n = readNotices(page(1, "_System=Login&_Update=%8D%C4%93%C7%8D%9E"));
            QCOMPARE(n.mail, 3);
            QCOMPARE(n.circulars, 1);
            QCOMPARE(n.memos, 1); // the read memo does not count
            QCOMPARE(n.workflow, 3);
        }
        m_org.memos.removeLast();
        m_org.memos.removeLast();
        const Notices none = readNotices(page(2, {}));
        QCOMPARE(none.mail + none.circulars + none.workflow, 0);
        QCOMPARE(none.memos, 1);
    }

    void scheduleBoxGivesTimedUntimedAndMultiDayItems() {
        const QStringList items = readSchedule(page(1, {}), QStringLiteral("山田 太郎"));
        QCOMPARE(items,
                 (QStringList{QStringLiteral("0|||資料作成"), QStringLiteral("1|9:00|| 朝会"),
                              QStringLiteral("2|10:00|11:30| 定例会議"), QStringLiteral("0|||(複数日) 大阪出張")}));
        QVERIFY(readSchedule(page(2, {}), QStringLiteral("鈴木 花子")).isEmpty());

        // A multi-day item alone in the cell, and one starting in half an hour.
        m_org.schedule.append(
            SimAppointment{90, 2, QStringLiteral("研修（東京）"), m_now.date(), m_now.date().addDays(2), {}, {}});
        QCOMPARE(readSchedule(page(2, {}), QStringLiteral("鈴木 花子")),
                 QStringList{QStringLiteral("0|||(複数日) 研修（東京）")});
        m_org.schedule.append(
            SimAppointment{91, 2, QStringLiteral("来客"), m_now.date(), m_now.date(), QTime(10, 30), {}});
        QCOMPARE(readSchedule(page(2, {}), QStringLiteral("鈴木 花子")),
                 (QStringList{QStringLiteral("1|10:30|| 来客"), QStringLiteral("0|||(複数日) 研修（東京）")}));
        m_org.schedule.removeLast();
        m_org.schedule.removeLast();
    }

    void linkBoxIsSplitByTheRule() {
        QCOMPARE(readLinks(page(1, {})),
                 (QStringList{QStringLiteral("社内ポータル|http://portal.example.co.jp/"), QStringLiteral("-|"),
                              QStringLiteral("交通費精算|http://keihi.example.co.jp/")}));
    }

    void selectElementsGiveGroupsAndChoices() {
        using Options = QList<QPair<QString, QString>>;
        const Options groups{{"1", "営業部"}, {"2", "開発部"}, {"3", "総務部"}};
        QCOMPARE(selectOptions(page(0, "page=LoginGroup&group=0&bpage="), QStringLiteral("Group")), groups);
        Options gid = groups;
        gid.prepend({"0", "(全員)"});
        QCOMPARE(selectOptions(page(0, "page=WhereIndex&gid=0"), QStringLiteral("gid")), gid);
        QCOMPARE(selectOptions(page(0, "page=WhereIndex&gid=2"), QStringLiteral("gid")), gid);

        const QString entry = page(1, "page=WhereEntry&id=1");
        const Options places = selectOptions(entry, QStringLiteral("Place"));
        QCOMPARE(places.size(), m_org.places.size() + 1);
        QCOMPARE(places.value(1).second, QStringLiteral("在席"));
        QVERIFY(places.contains(QPair<QString, QString>("--", "--")));
        const Options until = selectOptions(entry, QStringLiteral("Until"));
        QCOMPARE(until.size(), 32);
        QCOMPARE(until.value(15).second, QStringLiteral("15"));
        QCOMPARE(selectOptions(entry, QStringLiteral("Unit")),
                 (Options{{"", "--"}, {"日まで", "日まで"}, {"時まで", "時まで"}, {"時半まで", "時半まで"}}));
        // The settings dialog asks with id 0 for the same lists.
        QCOMPARE(selectOptions(page(1, "page=WhereEntry&id=0"), QStringLiteral("Place")), places);
    }

    void directoryGathersMembersAcrossGroups() {
        QList<DirectoryUser> users;
        for (const auto& [value, name] : selectOptions(page(0, "page=WhereIndex&gid=0"), QStringLiteral("gid")))
            if (!value.isEmpty() && value != QLatin1String("0"))
                collectMembers(page(0, "page=WhereIndex&gid=" + value.toLatin1()), kProgram, value.toInt(), users);
        QCOMPARE(users.size(), 5);
        QCOMPARE(users[0].id, 1);
        QCOMPARE(users[0].name, QStringLiteral("山田 太郎"));
        QCOMPARE(users[0].groups, (QList<qint32>{1, 3}));
        QCOMPARE(users[2].name, users[4].name); // the two 佐藤 一郎 stay apart
        QCOMPARE(users[2].id + users[4].id, 7);
    }

    void boardRowsReadAsMembers() {
        m_org.entries[2].position = QStringLiteral("<会議> \"A\"");
        bool ok = false;
        const QList<BoardRow> rows = readBoard(page(0, "page=WhereIndex&gid=1"), kProgram, &ok);
        QVERIFY(ok);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].id, 1);
        QCOMPARE(rows[0].name, QStringLiteral("山田 太郎"));
        QCOMPARE(rows[0].position, QStringLiteral("在席*"));
        QCOMPARE(rows[0].contact, QStringLiteral("内線101*"));
        QCOMPARE(rows[0].updated, QDateTime(m_now.date(), QTime(9, 0)));
        QVERIFY(!rows[0].memo);
        QCOMPARE(rows[1].position, QStringLiteral("<会議> \"A\""));
        QCOMPARE(rows[1].updated, QDateTime(m_now.date().addDays(-1), QTime(17, 30)));
        QVERIFY(rows[1].memo);

        // Members without an entry keep their row, with the groupware's own words.
        const QList<BoardRow> other = readBoard(page(0, "page=WhereIndex&gid=2"), kProgram);
        QCOMPARE(other.size(), 2);
        QCOMPARE(other[0].position, QStringLiteral("帰宅?"));
        QCOMPARE(other[0].contact, QStringLiteral("?"));
        QCOMPARE(other[1].id, 5);
        QCOMPARE(other[1].position, QStringLiteral("登録されていません"));
        QVERIFY(other[1].contact.isEmpty() && !other[1].updated.isValid());
        QCOMPARE(readBoard(page(0, "page=WhereIndex&gid=0"), kProgram).size(), 5);
        QVERIFY(readBoard(page(0, "page=WhereIndex&gid=99"), kProgram).isEmpty());
        m_org.entries[2].position = QStringLiteral("外出");
    }

    void ownEntryRowIsRead() {
        const BoardRow mine = readOwnEntry(page(1, "page=WhereEntry&id=1&bpage=index"));
        QCOMPARE(mine.name, QStringLiteral("山田 太郎"));
        QCOMPARE(mine.position, QStringLiteral("在席*"));
        QCOMPARE(mine.updated, QDateTime(m_now.date(), QTime(9, 0)));
        QCOMPARE(mine.contact, QStringLiteral("内線101*"));
        const BoardRow other = readOwnEntry(page(2, "page=WhereEntry&id=2&bpage=index"));
        QCOMPARE(other.contact, QStringLiteral("携帯 090-1234-5678"));
        QCOMPARE(other.updated, QDateTime(m_now.date().addDays(-1), QTime(17, 30)));
        const BoardRow none = readOwnEntry(page(5, "page=WhereEntry&id=5&bpage=index"));
        QCOMPARE(none.name, QStringLiteral("高橋 健"));
        QVERIFY(none.position.isEmpty() && none.contact.isEmpty() && !none.updated.isValid());
    }

    void permissionRefusalAndNewestArticle() {
        const QString refusal = QStringLiteral("さんの行き先を変更する権限はありません");
        QVERIFY(page(2, "page=WhereEntry&id=1&gid=0").contains(refusal));
        QVERIFY(!page(1, "page=WhereEntry&id=2&gid=0").contains(refusal));
        QVERIFY(!page(2, "page=WhereEntry&id=0&gid=0").contains(refusal));

        const QString bulletin = removeBreaks(page(1, "page=BulletinIndex")).trimmed();
        const QString box = cutBetween(bulletin, QStringLiteral(" *\\[検索する\\] *< */a *> *< */td *> *< */tr *>"),
                                       QStringLiteral("< *tr *> *< *td[^>]*> *< *font[^>]*> *最新記事へ *< */font *>"));
        const auto link =
            rx(QStringLiteral("< *a +href *= *['\"]office.exe\\?page *= *BulletinArticle *& *aid *= *[^>]*>"))
                .match(box);
        QVERIFY(link.hasMatch());
        QCOMPARE(cutBetween(link.captured(), QStringLiteral("& *aid *= *"), QStringLiteral("&head")),
                 QStringLiteral("9"));
        QVERIFY(page(5, "page=BulletinIndex").contains(QStringLiteral("利用する権限がありません")));
    }

    void demoOrganisationReadsCompletely() {
        QFile file(QStringLiteral(ZELMORA_SIM_DEMO_DATA));
        QVERIFY(file.open(QIODevice::ReadOnly));
        Organisation demo;
        QString error;
        QVERIFY2(demo.load(QJsonDocument::fromJson(file.readAll()).object(), m_now, &error), qPrintable(error));
        std::swap(m_org, demo);
        QList<DirectoryUser> users;
        int rows = 0;
        for (const SimGroup& g : m_org.groups) {
            const QString board = page(0, "page=WhereIndex&gid=" + QByteArray::number(g.id));
            collectMembers(board, kProgram, g.id, users);
            const QList<BoardRow> read = readBoard(board, kProgram);
            QCOMPARE(read.size(), m_org.members(g.id).size());
            for (const BoardRow& r : read)
                QVERIFY2(r.position == QStringLiteral("登録されていません") || r.updated.isValid(), qPrintable(r.name));
            rows += int(read.size());
        }
        QCOMPARE(users.size(), m_org.users.size());
        QVERIFY(rows > users.size()); // some members are in two groups
        const QStringList schedule = readSchedule(page(1, {}), m_org.user(1)->name);
        for (const QString& kind :
             {QStringLiteral("0|||"), QStringLiteral("1|"), QStringLiteral("2|"), QStringLiteral("0|||(複数日) ")})
            QVERIFY2(
                std::any_of(schedule.cbegin(), schedule.cend(), [&](const QString& s) { return s.startsWith(kind); }),
                qPrintable(kind));
        QCOMPARE(readLinks(page(1, {})).count(QStringLiteral("-|")), 1);
        QVERIFY(readNotices(page(1, {})).memos > 0);
        std::swap(m_org, demo);
    }

    void normalPagesAreUsableAndErrorPagesAreNot() {
        for (const QByteArray& q :
             {QByteArray(), QByteArray("page=LoginGroup&group=0&bpage="), QByteArray("page=WhereIndex&gid=1"),
              QByteArray("page=WhereEntry&id=1&bpage=index"), QByteArray("page=BulletinIndex"),
              QByteArray("page=WhereHistory&id=2"), QByteArray("page=ScheduleIndex")})
            QVERIFY2(isValidPage(page(1, q)), q.constData());
        QVERIFY(!isValidPage(page(0, "page=WhereEntry&id=1")));
        QVERIFY(!isValidPage(page(1, "page=NoSuchPage")));
        QVERIFY(!isValidPage(ApplicationPages::licenceMissing()));
        QVERIFY(!isValidPage(ApplicationPages::httpStatusPage(404)));
        QVERIFY(!isValidPage(ApplicationPages::httpStatusPage(403)));
        QVERIFY(!isValidPage(ApplicationPages::httpStatusPage(500)));
    }
};

QTEST_GUILESS_MAIN(TestSimPages)
#include "tst_simpages.moc"
