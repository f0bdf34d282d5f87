#include "groupware/Directory.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace zelmora;

namespace {

const QString kExe = QStringLiteral("office.exe");

QString page(const char* name) {
    return test::fixtureText(QStringLiteral("directory/") + QLatin1String(name));
}

UserRecord user(qint32 id, const QString& name, const QList<qint32>& groups, bool duplicate = false) {
    UserRecord u;
    u.id = id;
    u.name = name;
    u.groupIds = groups;
    u.duplicateName = duplicate;
    return u;
}

void compareUsers(const QList<UserRecord>& actual, const QList<UserRecord>& expected) {
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].id, expected[i].id);
        QCOMPARE(actual[i].name, expected[i].name);
        QCOMPARE(actual[i].groupIds, expected[i].groupIds);
        QCOMPARE(actual[i].duplicateName, expected[i].duplicateName);
        QCOMPARE(actual[i].number, 0);
    }
}

} // namespace

class TestDirectory : public QObject {
    Q_OBJECT
private slots:
    void groupsOfTheLoginGroupPage() {
        QList<GroupRecord> groups{GroupRecord{99, QStringLiteral("stale"), false}};
        QVERIFY(readGroupList(page("login_group.html"), groups));
        QCOMPARE(groups.size(), 4);
        const QList<qint32> ids{groups[0].id, groups[1].id, groups[2].id, groups[3].id};
        QCOMPARE(ids, (QList<qint32>{1, 2, 3, 12}));
        QCOMPARE(groups[1].name, QStringLiteral("開発部"));
        QCOMPARE(groups[2].name, QStringLiteral("総務部 &amp; 人事部"));
        QVERIFY(groups[3].shown);

        QVERIFY(!readGroupList(page("where_1.html"), groups));
        QVERIFY(groups.isEmpty());
    }

    void boardGroupsLeaveOutAllGroupsAndEmptyValues() {
        const QList<GroupRecord> groups = readBoardGroups(page("where_all.html"));
        QCOMPARE(groups.size(), 3);
        QCOMPARE(groups[0].id, 1);
        QCOMPARE(groups[0].name, QStringLiteral("営業部"));
        QCOMPARE(groups[2].id, 3);
        // The third group's option is marked selected on its own page.
        QCOMPARE(readBoardGroups(page("where_3.html")).at(2).id, 3);
    }

    void usersGatheredOverTheGroupPages() {
        DirectoryBuilder builder(kExe);
        builder.addGroupPage(page("where_1.html"), 1);
        builder.addGroupPage(page("where_2.html"), 2);
        builder.addGroupPage(page("where_3.html"), 3);
        compareUsers(builder.users(), {
                                          user(12, QStringLiteral("山田 太郎"), {1, 2, 3}),
                                          user(21, QStringLiteral("高橋 花子"), {1}),
                                          user(15, QStringLiteral("佐藤(営業)"), {1, 2}),
                                          user(30, QStringLiteral("田中 実"), {2}, true),
                                          user(40, QStringLiteral("伊藤 誠"), {2}),
                                          user(31, QStringLiteral("田中 実"), {3}, true),
                                          user(40, QStringLiteral("伊藤 まこと"), {3}),
                                          user(7, QStringLiteral("鈴木 一郎"), {3}),
                                      });
    }

    void memberLinksNameTheProgram() {
        DirectoryBuilder builder(QStringLiteral("office.cgi"));
        builder.addGroupPage(page("where_1.html"), 1);
        QVERIFY(builder.users().isEmpty());
        // "." of the program name is a dot, not any character.
        DirectoryBuilder exe(kExe);
        exe.addGroupPage(QStringLiteral("<a href=\"officeXexe?page=OfficeInfo&id=5\">x</a>\r\n"), 1);
        QVERIFY(exe.users().isEmpty());
    }

    void oneMemberLinkPerLine() {
        DirectoryBuilder builder(kExe);
        builder.addGroupPage(QStringLiteral("<a href=\"office.exe?page=OfficeInfo&id=1\">一</a>"
                                            "<a href=\"office.exe?page=OfficeInfo&id=2\">二</a>\r\n"
                                            "<a href=\"office.exe?page=OfficeInfo&id=x\">id なし</a>\r\n"
                                            "<a href=\"office.exe?page=OfficeInfo&id=3\">三</a>\n"),
                             4);
        compareUsers(builder.users(), {user(1, QStringLiteral("一"), {4}), user(3, QStringLiteral("三"), {4})});
    }

    void lookupsById() {
        const QList<GroupRecord> groups{{1, QStringLiteral("営業部"), true}, {3, QStringLiteral("総務部"), true}};
        QCOMPARE(groupNameById(groups, 3), QStringLiteral("総務部"));
        QCOMPARE(groupIndexById(groups, 3), 1);
        QCOMPARE(groupNameById(groups, 0), QString());
        QCOMPARE(groupIndexById(groups, 2), -1);

        const QList<UserRecord> users{user(12, QStringLiteral("山田"), {1}), user(40, QStringLiteral("伊藤 誠"), {2}),
                                      user(40, QStringLiteral("伊藤 まこと"), {3})};
        QCOMPARE(userNameById(users, 40), QStringLiteral("伊藤 誠"));
        QCOMPARE(userIndexById(users, 40), 1);
        QCOMPARE(userNameById(users, 7), QString());
        QCOMPARE(userIndexById(users, 7), -1);
    }
};

QTEST_GUILESS_MAIN(TestDirectory)
#include "tst_directory.moc"
