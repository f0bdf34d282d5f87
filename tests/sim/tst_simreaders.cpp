// The program's own page readers over every page of the demo organisation: the development server and
// the readers must agree, or the demo and the integration tests would show nothing.
#include "Groupware.h"
#include "Organisation.h"
#include "core/Cp932.h"
#include "groupware/Board.h"
#include "groupware/Directory.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/TopPage.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

using namespace zelmora;
using namespace zelmora::sim;

class TestSimReaders : public QObject {
    Q_OBJECT

private:
    Organisation m_org;
    const QDateTime m_now = QDateTime(QDate(2024, 12, 6), QTime(10, 0));
    const QString m_program = QStringLiteral("office.exe");

    QString page(qint32 user, const QByteArray& query) {
        Groupware groupware(m_org, m_program);
        QByteArray token;
        if (user > 0)
            token = groupware
                        .handle({"GET",
                                 "_System=login&_Login=1&_ID=" + QByteArray::number(user) +
                                     "&Password=" + cp932::formEncode(m_org.user(user)->password),
                                 {},
                                 {}},
                                m_now)
                        .newSessionToken;
        return cp932::decode(cp932::encode(groupware.handle({"GET", query, {}, token}, m_now).html));
    }

private slots:
    void initTestCase() {
        QFile file(QStringLiteral(ZELMORA_SIM_DEMO_DATA));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString error;
        QVERIFY2(m_org.load(QJsonDocument::fromJson(file.readAll()).object(), m_now, &error), qPrintable(error));
    }

    void directoryAndBoardsMatchTheOrganisation() {
        QList<GroupRecord> groups;
        QVERIFY(readGroupList(page(0, "page=LoginGroup&group=0&bpage="), groups));
        QCOMPARE(groups.size(), m_org.groups.size());
        const QList<GroupRecord> boardGroups = readBoardGroups(page(0, "page=WhereIndex&gid=0"));
        QCOMPARE(boardGroups.size(), m_org.groups.size());

        DirectoryBuilder directory(m_program);
        for (const GroupRecord& g : boardGroups) {
            const QString board = page(0, "page=WhereIndex&gid=" + QByteArray::number(g.id));
            directory.addGroupPage(board, g.id);
            QList<MemberRecord> members;
            QVERIFY(readPositionList(board, m_program, members));
            const QList<const SimUser*> expected = m_org.members(g.id);
            QCOMPARE(members.size(), expected.size());
            for (qsizetype i = 0; i < members.size(); ++i) {
                QCOMPARE(members[i].id, expected[i]->id);
                QCOMPARE(members[i].name, expected[i]->name);
                QCOMPARE(members[i].memo, m_org.unreadMemos(expected[i]->id) > 0);
                const auto e = m_org.entries.constFind(expected[i]->id);
                if (e == m_org.entries.cend()) {
                    QCOMPARE(members[i].position, QStringLiteral("登録されていません"));
                    continue;
                }
                QCOMPARE(members[i].position, e->position);
                QCOMPARE(members[i].contact, e->contact);
                QCOMPARE(members[i].updated,
                         QDateTime(e->updated.date(), QTime(e->updated.time().hour(), e->updated.time().minute())));
            }
        }
        const QList<UserRecord> users = directory.users();
        QCOMPARE(users.size(), m_org.users.size());
        int duplicates = 0;
        for (const UserRecord& u : users)
            duplicates += u.duplicateName ? 1 : 0;
        QCOMPARE(duplicates, 2);
    }

    void ownEntriesAndChoices() {
        for (const SimUser& u : m_org.users) {
            const MemberRecord mine =
                readMyPosition(page(u.id, "page=WhereEntry&id=" + QByteArray::number(u.id) + "&bpage=index"));
            QCOMPARE(mine.name, u.name);
            QCOMPARE(mine.position, m_org.entries.value(u.id).position);
            QCOMPARE(mine.contact, m_org.entries.value(u.id).contact);
        }
        const WhereEntryChoices choices = readWhereEntryChoices(page(1, "page=WhereEntry&id=1"));
        QCOMPARE(choices.place, m_org.places);
        QCOMPARE(choices.until.size(), 31);
        QCOMPARE(choices.unit,
                 (QStringList{QStringLiteral("日まで"), QStringLiteral("時まで"), QStringLiteral("時半まで")}));
        QCOMPARE(permissionStateFromPage(page(1, "page=WhereEntry&id=2&gid=0"), 1), qint16(0));
        QCOMPARE(permissionStateFromPage(page(4, "page=WhereEntry&id=2&gid=0"), 0), qint16(1));
    }

    void topPageOfEveryUser() {
        qint32 lastNotified = 0;
        const qint32 newest = readLatestArticleId(page(1, "page=BulletinIndex"), m_program);
        QCOMPARE(newest, 105);
        for (const SimUser& u : m_org.users) {
            const QString top = page(u.id, "_System=Login&_Update=%8D%C4%93%C7%8D%9E");
            QCOMPARE(usableApplicationsOf(top), ApplicationFlags(m_org.applicationsOf(u.id)));
            qint32 notified = lastNotified;
            const NoticeCounts n = GetNotice(top, newest, notified);
            const quint16 apps = m_org.applicationsOf(u.id);
            QCOMPARE(n.mail, qint16((apps & SimWebMail) ? u.mail : 0));
            QCOMPARE(n.circular, qint16((apps & SimCircular) ? u.circulars : 0));
            QCOMPARE(n.memo, qint16(m_org.unreadMemos(u.id)));
            QCOMPARE(n.workflow, qint16((apps & SimWorkflow) ? u.workflowPending + u.workflowResults : 0));
            QList<ScheduleItem> items;
            QCOMPARE(GetTodaySchedule(top, u.name, m_now.date(), items),
                     m_org.appointmentsOn(u.id, m_now.date()).size());
            QList<LinkItem> links;
            QCOMPARE(GetLinks(top, links), qsizetype(7));
        }
        QList<ScheduleItem> items;
        GetTodaySchedule(page(1, {}), QStringLiteral("山田 太郎"), m_now.date(), items);
        QCOMPARE(items.first().kind, qint16(ScheduleItem::NoTime));
        QCOMPARE(items[2].kind, qint16(ScheduleItem::StartEnd));
        QCOMPARE(items[2].start, QDateTime(m_now.date(), QTime(10, 0)));
        QCOMPARE(items[2].end, QDateTime(m_now.date(), QTime(11, 30)));
        QCOMPARE(items.last().title, QStringLiteral("(複数日) 展示会 (東京ビッグサイト)"));
    }
};

QTEST_GUILESS_MAIN(TestSimReaders)
#include "tst_simreaders.moc"
