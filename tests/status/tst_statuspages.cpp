#include "status/StatusPages.h"

#include <QTest>

using namespace zelmora;

namespace {
const QString kUrl = QStringLiteral("http://gw/scripts/cbag/office.exe");

StatusPageContext context() {
    StatusPageContext c;
    c.programUrl = kUrl;
    c.userId = 1;
    c.currentMember = 3;
    c.clickedMember = 5;
    c.selectedGroup = 2;
    c.userFirstGroup = 7;
    c.today = QDate(2002, 6, 3);
    return c;
}
} // namespace

class TestStatusPages : public QObject {
    Q_OBJECT
private slots:
    void addressesCarryMembersGroupsAndTheGroupwareDate() {
        QCOMPARE(groupwareDate(QDate(2024, 12, 31)), QStringLiteral("2024.12.31"));
        const StatusPageContext c = context();
        auto address = [&](const char* name) {
            return statusPageFor(QLatin1String(name), c)->address.mid(kUrl.size());
        };
        QCOMPARE(address("mnuAddNewSchedule"),
                 QStringLiteral("?page=ScheduleEntry&id=1&gid=7&date=da.2002.6.3&bdate=da.2002.6.3"));
        QCOMPARE(address("mnuRefMemberSchedule"),
                 QStringLiteral("?page=ScheduleMonth&id=3&gid=2&date=da.2002.6.3&tp=s"));
        QCOMPARE(address("mnuR_RefSchedule"), QStringLiteral("?page=ScheduleMonth&id=5&gid=2&date=da.2002.6.3&tp=s"));
        QCOMPARE(address("mnuRefGroupSchedule"), QStringLiteral("?page=ScheduleIndex&date=da.2002.6.3&gid=2"));
        QCOMPARE(address("mnuDispGroupWhereList"), QStringLiteral("?page=WhereIndex&gid=2"));
        QCOMPARE(address("mnuRefMyTelMemo"), QStringLiteral("?page=WhereHistory&id=1&gid=0"));
        QCOMPARE(address("mnuRefMemberTelMemo"), QStringLiteral("?page=WhereHistory&id=3&gid=0"));
        QCOMPARE(address("mnuR_RefTelMemo"), QStringLiteral("?page=WhereHistory&id=5&gid=0"));
        QCOMPARE(address("mnuToCybozuWorkFlow"), QStringLiteral("?page=WorkFlowIndex"));
        QCOMPARE(*statusPageFor(QStringLiteral("mnuToCybozuTopPage"), c), (StatusPage{0, QString()}));
        QCOMPARE(statusPageFor(QStringLiteral("mnuToCybozuBulletin"), c)->type, 1);
        QVERIFY(!statusPageFor(QStringLiteral("mnuClose"), c));
    }

    void pagesWithoutTabsOrGroup() {
        StatusPageContext c = context();
        c.selectedGroup = 0;
        QVERIFY(statusPageFor(QStringLiteral("mnuRefGroupSchedule"), c)->address.endsWith(QStringLiteral("&gid=0")));
        // The schedule entry page cannot be addressed without the user's group.
        c.userFirstGroup = 0;
        QVERIFY(!statusPageFor(QStringLiteral("mnuAddNewSchedule"), c));
    }

    void memberMenusFollowTheCurrentRow() {
        const QList<qint32> rows = {0, 1, 2};
        // Another member, by permission state.
        QCOMPARE(memberMenuState(rows, 2, 1, 0), (MemberMenuState{true, true, false, false}));
        QCOMPARE(memberMenuState(rows, 2, 1, 2), (MemberMenuState{true, true, true, true}));
        QCOMPARE(memberMenuState(rows, 2, 1, 7), (MemberMenuState{true, true, {}, {}}));
        // The own row keeps the memo item; an empty grid takes it away.
        QCOMPARE(memberMenuState(rows, 1, 1, 1), (MemberMenuState{{}, false, false, true}));
        QCOMPARE(memberMenuState({0}, 0, 1, 1), (MemberMenuState{false, false, false, true}));
        // Grid and row list out of step.
        QCOMPARE(memberMenuState(rows, 3, 1, 1), (MemberMenuState{{}, {}, false, {}}));
    }

    void memberWindowTitleTellsTheUpdateTime() {
        const MemberWindowFields updated =
            memberWindowFields(QStringLiteral("鈴木 花子"), QStringLiteral("外出"), QStringLiteral("○"),
                               QStringLiteral("携帯"), QStringLiteral("2024/12/06 10:15"));
        QCOMPARE(updated, (MemberWindowFields{QStringLiteral("鈴木 花子さんの行先 - 2024/12/06 10:15更新"),
                                              QStringLiteral("外出"), QStringLiteral("携帯"), true}));
        const MemberWindowFields never =
            memberWindowFields(QStringLiteral("高橋 健"), QString(), QString(), QString(), QString());
        QCOMPARE(never.title, QStringLiteral("高橋 健さんの行先 - 未登録"));
        QVERIFY(!never.telMemo);
    }
};

QTEST_MAIN(TestStatusPages)
#include "tst_statuspages.moc"
