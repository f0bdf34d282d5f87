// Directory and top page readers against the development server: the requests they send and what
// they read from its pages.
#include "groupware/Directory.h"
#include "groupware/Login.h"
#include "groupware/TopPage.h"
#include "groupware/UserDataFile.h"
#include "net/Transport.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

namespace {

struct Expected {
    qint32 id;
    QString name;
    QList<qint32> groups;
    bool duplicate;
};

void compareUsers(const QList<UserRecord>& actual, const QList<Expected>& expected) {
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].id, expected[i].id);
        QCOMPARE(actual[i].name, expected[i].name);
        QCOMPARE(actual[i].groupIds, expected[i].groups);
        QCOMPARE(actual[i].duplicateName, expected[i].duplicate);
    }
}

QStringList queries(const QList<QJsonObject>& requests) {
    QStringList list;
    for (const QJsonObject& r : requests) {
        list.append(r.value(QStringLiteral("query")).toString());
    }
    return list;
}

} // namespace

class TestGroupwareFetch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_sim.start());
        m_connection.SERVER_URL = m_sim.baseUrl().toString();
        m_connection.PROXY_MODE = 1;
        m_connection.TIMEOUT = 10;
        m_connection.updateProgramUrl();
        SetInetOptions(m_connection, {}, {});
    }

    void init() {
        QVERIFY(m_sim.clearFault());
        m_sim.clearRequests();
    }

    void groupsFromTheLoginGroupPage() {
        QList<GroupRecord> groups;
        QVERIFY(GetGroupList(m_connection, groups));
        QCOMPARE(groups.size(), 3);
        QCOMPARE(groups[0].id, 1);
        QCOMPARE(groups[0].name, QStringLiteral("営業部"));
        QCOMPARE(groups[2].id, 3);
        QCOMPARE(groups[2].name, QStringLiteral("総務部"));
        QCOMPARE(queries(m_sim.requests()), QStringList{QStringLiteral("page=LoginGroup&group=0&bpage=")});
    }

    void usersFromEveryGroupPageSurviveTheFile() {
        QList<UserRecord> users;
        QVERIFY(GetUserData(m_connection, users));
        compareUsers(users, {
                                {1, QStringLiteral("山田 太郎"), {1, 3}, false},
                                {2, QStringLiteral("鈴木 花子"), {1}, false},
                                {3, QStringLiteral("佐藤 一郎"), {2}, true},
                                {5, QStringLiteral("高橋 健"), {2}, false},
                                {4, QStringLiteral("佐藤 一郎"), {3}, true},
                            });
        QCOMPARE(queries(m_sim.requests()),
                 (QStringList{QStringLiteral("page=WhereIndex&gid=0"), QStringLiteral("page=WhereIndex&gid=1"),
                              QStringLiteral("page=WhereIndex&gid=2"), QStringLiteral("page=WhereIndex&gid=3")}));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("UserData.dat"));
        test::ScriptedMessages messages;
        QVERIFY(SaveUserData(users, path));
        QList<UserRecord> loaded;
        QCOMPARE(LoadUserData(loaded, path), qint16(0));
        compareUsers(loaded, {
                                 {1, QStringLiteral("山田 太郎"), {1, 3}, false},
                                 {2, QStringLiteral("鈴木 花子"), {1}, false},
                                 {3, QStringLiteral("佐藤 一郎"), {2}, true},
                                 {5, QStringLiteral("高橋 健"), {2}, false},
                                 {4, QStringLiteral("佐藤 一郎"), {3}, true},
                             });
        QCOMPARE(messages.count(), 0);
    }

    void errorPagesAndLostAnswersFailTheRead() {
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage")));
        QList<GroupRecord> groups{GroupRecord{}};
        QVERIFY(!GetGroupList(m_connection, groups));
        QVERIFY(groups.isEmpty());
        QList<UserRecord> users{UserRecord{}};
        QVERIFY(!GetUserData(m_connection, users));
        QVERIFY(users.isEmpty());

        // A group page that never arrives fails the whole directory, not just that group.
        QVERIFY(m_sim.setFault(QStringLiteral("drop"), 0, 0, -1, QStringLiteral("gid=2")));
        PageResult fetched;
        QVERIFY(!GetUserData(m_connection, users, &fetched));
        QVERIFY(users.isEmpty());
        QVERIFY(fetched.noAnswer());

        // A group page answering 500 is the server's error page, read like any page: that group
        // lists nobody, the others are read.
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 500, 0, -1, QStringLiteral("gid=2")));
        QVERIFY(GetUserData(m_connection, users));
        compareUsers(users, {
                                {1, QStringLiteral("山田 太郎"), {1, 3}, false},
                                {2, QStringLiteral("鈴木 花子"), {1}, false},
                                {4, QStringLiteral("佐藤 一郎"), {3}, false},
                            });
    }

    void topPageOfTheLoggedInUser() {
        GroupwareSession session;
        QVERIFY(Login(m_connection, session, 1, QStringLiteral("pass1")));
        const QString page = GetPage(m_connection.programUrl + QStringLiteral("?_System=Login&_Update=再読込")).text;

        QCOMPARE(GetLatestArticleId(m_connection), 9);
        qint32 last = 7;
        const NoticeCounts counts = GetNotice(page, GetLatestArticleId(m_connection), last);
        QCOMPARE(counts.mail, qint16(3));
        QCOMPARE(counts.circular, qint16(1));
        QCOMPARE(counts.memo, qint16(0));
        QCOMPARE(counts.workflow, qint16(3));
        QVERIFY(counts.newArticle);
        QCOMPARE(last, 9);
        QVERIFY(!GetNotice(page, GetLatestArticleId(m_connection), last).newArticle);

        QList<UserRecord> users;
        QVERIFY(GetUserData(m_connection, users));
        QList<ScheduleItem> items;
        const QDate today = QDate::currentDate();
        QCOMPARE(GetTodaySchedule(page, userNameById(users, session.userId()), today, items), 4);
        // The server lists untimed items first, then by start time.
        QCOMPARE(items[0].kind, qint16(ScheduleItem::NoTime));
        QCOMPARE(items[0].title, QStringLiteral("資料作成"));
        QCOMPARE(items[1].kind, qint16(ScheduleItem::StartOnly));
        QCOMPARE(items[1].start, QDateTime(today, QTime(9, 0)));
        QVERIFY(items[1].title.endsWith(QStringLiteral("朝会")));
        QCOMPARE(items[2].kind, qint16(ScheduleItem::StartEnd));
        QCOMPARE(items[2].start, QDateTime(today, QTime(10, 0)));
        QCOMPARE(items[2].end, QDateTime(today, QTime(11, 30)));
        QVERIFY(items[2].title.endsWith(QStringLiteral("定例会議")));
        QCOMPARE(items[3].title, QStringLiteral("(複数日) 大阪出張"));

        QList<LinkItem> links;
        QCOMPARE(GetLinks(page, links), 3);
        QCOMPARE(links[0], (LinkItem{QStringLiteral("社内ポータル"), QStringLiteral("http://portal.example.co.jp/")}));
        QVERIFY(links[1].isSeparator());
        QCOMPARE(links[2].title, QStringLiteral("交通費精算"));
    }

private:
    test::SimServer m_sim;
    ConnectionSettings m_connection;
};

QTEST_GUILESS_MAIN(TestGroupwareFetch)
#include "tst_groupwarefetch.moc"
