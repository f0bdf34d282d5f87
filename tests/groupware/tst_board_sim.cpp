// The board and registration functions against the development server.
#include "core/Clock.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "net/Transport.h"
#include "support/SimServer.h"

#include <QJsonArray>
#include <QTest>
#include <QTimer>

using namespace zelmora;

class TestBoardSim : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_sim.start());
        m_connection.SERVER_URL = m_sim.baseUrl().toString();
        m_connection.updateProgramUrl();
        m_connection.TIMEOUT = 10;
        SetInetOptions(m_connection, {}, {});
    }

    void init() {
        QVERIFY(m_sim.reset());
        m_sim.clearRequests();
        m_session = GroupwareSession();
        QVERIFY(Login(m_connection, m_session, 1, QStringLiteral("pass1")));
    }

    void readsBoardAndOwnEntry() {
        QList<MemberRecord> members;
        QVERIFY(GetPositionList(m_connection, m_session, members, 1));
        QCOMPARE(members.size(), 2);
        QCOMPARE(members[0].id, 1);
        QCOMPARE(members[0].name, QStringLiteral("山田 太郎"));
        QCOMPARE(members[0].position, QStringLiteral("在席*"));
        QCOMPARE(members[0].contact, QStringLiteral("内線101*"));
        QCOMPARE(members[0].updated, QDateTime(QDate::currentDate(), QTime(9, 0)));
        QVERIFY(members[0].autoRegistered && members[0].present);
        QCOMPARE(members[1].id, 2);
        QCOMPARE(members[1].updated, QDateTime(QDate::currentDate().addDays(-1), QTime(17, 30)));
        QVERIFY(members[1].memo);
        QVERIFY(!members[1].autoRegistered);
        QCOMPARE(m_session.ownRecord().id, 1);
        QCOMPARE(m_session.ownRecord().position, QStringLiteral("在席*"));

        // A group without the user leaves the own record alone; a member without entry is listed.
        QVERIFY(GetPositionList(m_connection, m_session, members, 3));
        QCOMPARE(members.size(), 2);
        QCOMPARE(members[1].id, 4);
        QCOMPARE(members[1].position, QStringLiteral("登録されていません"));
        QVERIFY(!members[1].updated.isValid());
        QVERIFY(GetPositionList(m_connection, m_session, members, 2));
        QCOMPARE(members.size(), 2);
        QCOMPARE(members[0].position, QStringLiteral("帰宅?"));
        QVERIFY(members[0].autoRegistered && !members[0].present);
        QCOMPARE(m_session.ownRecord().id, 1);

        const MemberRecord own = GetMyPosition(m_connection, m_session);
        QCOMPARE(own.name, QStringLiteral("山田 太郎"));
        QCOMPARE(own.position, QStringLiteral("在席*"));
        QCOMPARE(own.contact, QStringLiteral("内線101*"));
        QCOMPARE(own.updated, QDateTime(QDate::currentDate(), QTime(9, 0)));

        const WhereEntryChoices choices = GetWhereEntryChoices(m_connection, m_session);
        QVERIFY(choices.place.contains(QStringLiteral("在席")));
        QCOMPARE(choices.unit, (QStringList{"日まで", "時まで", "時半まで"}));
        QCOMPARE(choices.until.size(), 31);
    }

    void eventsRunBetweenTheRows() {
        // A board long enough to take several slices, however fast the reader: a timer that is always
        // due runs while the page is awaited (the list is empty then) and between the rows, while the
        // list fills.
        QJsonObject organisation = m_sim.state();
        organisation.remove(QStringLiteral("sessions"));
        organisation.remove(QStringLiteral("fault"));
        QJsonArray users = organisation.value(QStringLiteral("users")).toArray();
        for (int id = 100; id < 12100; ++id)
            users.append(
                QJsonObject{{"id", id}, {"name", QStringLiteral("社員 %1").arg(id)}, {"groups", QJsonArray{2}}});
        organisation.insert(QStringLiteral("users"), users);
        QVERIFY(m_sim.loadOrganisation(organisation));
        QList<MemberRecord> members;
        QList<qsizetype> seen;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { seen << members.size(); });
        tick.start(0);
        QVERIFY(GetPositionList(m_connection, m_session, members, 0));
        tick.stop();
        QCOMPARE(members.size(), users.size());
        const bool midway =
            std::any_of(seen.cbegin(), seen.cend(), [&](qsizetype size) { return size > 0 && size < members.size(); });
        QVERIFY2(midway, qPrintable(QStringLiteral("list sizes seen: %1").arg(seen.size())));
    }

    void registrationsShowInTheNextBoard() {
        m_connection.HERE_POSITION = QStringLiteral("在席");
        m_connection.HERE_TELNO = QStringLiteral("内線1&2=3+4");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-61);
        QVERIFY(RegistPosition(m_connection, m_session, false).ok());
        MemberRecord own = GetMyPosition(m_connection, m_session);
        QCOMPARE(own.position, QStringLiteral("在席?"));
        QCOMPARE(own.contact, QStringLiteral("内線1&2=3+4?"));
        QVERIFY(own.autoRegistered && !own.present);
        QVERIFY(own.updated >= before);

        const QList<QJsonObject> posts = m_sim.requests(QStringLiteral("WhereEntry-post"));
        QCOMPARE(posts.size(), 1);
        QStringList names;
        for (const QJsonValue& pair : posts[0].value(QStringLiteral("fieldList")).toArray())
            names << pair.toArray().at(0).toString();
        QCOMPARE(names, (QStringList{"Page", "GID", "ID", "Bpage", "Detail", "Until", "Unit", "Contact", "Submit"}));

        // A word from a position menu for another member keeps that member's contact text.
        QList<MemberRecord> members;
        QVERIFY(GetPositionList(m_connection, m_session, m_session.members(), 1));
        const PositionMenuChoice choice = positionMenuChoice(QStringLiteral("会議"), 2, m_session, m_connection);
        QVERIFY(PostPositionMenuChoice(m_connection, m_session, choice).ok());
        QVERIFY(m_session.lastRegistration().position.isEmpty());
        QVERIFY(GetPositionList(m_connection, m_session, members, 1));
        QCOMPARE(members[1].position, QStringLiteral("会議"));
        QCOMPARE(members[1].contact, QStringLiteral("携帯 090-1234-5678"));

        // The user's own choice becomes the last registration; a time limit reaches the server.
        const WhereEntryRequest limited{1, QStringLiteral("外出"), QStringLiteral("15"), QStringLiteral("時まで"),
                                        QStringLiteral("携帯")};
        QVERIFY(PostWhereEntry(m_connection, limited).ok());
        own = GetMyPosition(m_connection, m_session);
        QCOMPARE(own.position, QStringLiteral("外出 (15時まで)"));
        QVERIFY(!own.autoRegistered);
        QVERIFY(PostPositionMenuChoice(m_connection, m_session,
                                       positionMenuChoice(kMenuAutoRegistration, 1, m_session, m_connection))
                    .ok());
        QCOMPARE(m_session.lastRegistration().contact, QStringLiteral("内線1&2=3+4*"));
        own = GetMyPosition(m_connection, m_session);
        QVERIFY(own.autoRegistered && own.present);
    }

    void permission() {
        QList<UserRecord> users{UserRecord{1, {}, {1}, 0, false}, UserRecord{2, {}, {1}, 0, false}};
        m_connection.memberPermissionState = PermissionDenied;
        CheckPositionPermission(m_connection, m_session, users);
        QCOMPARE(m_connection.memberPermissionState, qint16(PermissionGranted));
        m_connection.memberPermissionState = PermissionKept;
        CheckPositionPermission(m_connection, m_session, users);
        QCOMPARE(m_connection.memberPermissionState, qint16(PermissionKept));

        QVERIFY(Login(m_connection, m_session, 2, QStringLiteral("pass2")));
        CheckPositionPermission(m_connection, m_session, users);
        QCOMPARE(m_connection.memberPermissionState, qint16(PermissionDenied));
        const QList<QJsonObject> asked = m_sim.requests(QStringLiteral("WhereEntry"));
        QVERIFY(asked.last()
                    .value(QStringLiteral("target"))
                    .toString()
                    .endsWith(QStringLiteral("?page=WhereEntry&id=1&gid=0")));
    }

    void failures() {
        QList<MemberRecord> members;
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage")));
        PageResult page;
        QVERIFY(!GetPositionList(m_connection, m_session, members, 1, &page));
        QVERIFY(members.isEmpty());
        QVERIFY(!page.noAnswer());

        // A server that never answers: the request time-out ends the read.
        QVERIFY(m_sim.setFault(QStringLiteral("hang")));
        ConnectionSettings impatient = m_connection;
        impatient.TIMEOUT = 1;
        SetInetOptions(impatient, {}, {});
        QVERIFY(!GetPositionList(impatient, m_session, members, 1, &page));
        QVERIFY(page.noAnswer());
        QVERIFY(GetMyPosition(impatient, m_session).name.isEmpty());
        SetInetOptions(m_connection, {}, {});
        QVERIFY(m_sim.clearFault());
        QVERIFY(GetPositionList(m_connection, m_session, members, 1));
        QCOMPARE(members.size(), 2);
    }

private:
    test::SimServer m_sim;
    ConnectionSettings m_connection;
    GroupwareSession m_session;
};

QTEST_GUILESS_MAIN(TestBoardSim)
#include "tst_board_sim.moc"
