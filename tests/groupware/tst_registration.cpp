#include "core/Cp932.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace zelmora;

namespace {
MemberRecord member(qint32 id, const QString& position, const QString& contact) {
    MemberRecord m;
    m.id = id;
    m.name = QStringLiteral("メンバー%1").arg(id);
    m.position = position;
    m.contact = contact;
    return m;
}

// Field values of a form body, decoded, in order.
QList<QPair<QString, QString>> fields(const QByteArray& body) {
    QList<QPair<QString, QString>> out;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        out.append({QString::fromLatin1(pair.left(eq)), cp932::formDecode(pair.mid(eq + 1))});
    }
    return out;
}
} // namespace

class TestRegistration : public QObject {
    Q_OBJECT
private slots:
    void bodyHasTheFormsFieldsInOrder() {
        ConnectionSettings c; // HERE_POSITION "在席", HERE_TELNO empty
        bool ok = false;
        const QByteArray body = whereEntryBody(autoRegistrationRequest(c, 15, false), &ok);
        QVERIFY(ok);
        QCOMPARE(body, QByteArray("Page=WhereEntry&GID=%22%22&ID=15&Bpage=index&Detail=%8D%DD%90%C8%3F&Until=&Unit="
                                  "&Contact=%3F&Submit=%93o%98%5E%82%B7%82%E9"));

        // Separators inside a text stay inside its field.
        const WhereEntryRequest r{7, QStringLiteral("A&B=C+D 100%"), QStringLiteral("15"), QStringLiteral("時半まで"),
                                  QStringLiteral("#12&Contact=x")};
        const auto f = fields(whereEntryBody(r, &ok));
        QVERIFY(ok);
        const QStringList names{"Page", "GID", "ID", "Bpage", "Detail", "Until", "Unit", "Contact", "Submit"};
        QCOMPARE(f.size(), names.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            QCOMPARE(f[i].first, names[i]);
        QCOMPARE(f[1].second, QStringLiteral("\"\""));
        QCOMPARE(f[2].second, QStringLiteral("7"));
        QCOMPARE(f[4].second, r.detail);
        QCOMPARE(f[5].second, r.until);
        QCOMPARE(f[6].second, r.unit);
        QCOMPARE(f[7].second, r.contact);
        QCOMPARE(f[8].second, QStringLiteral("登録する"));

        whereEntryBody(WhereEntryRequest{7, QStringLiteral("外出😀"), {}, {}, {}}, &ok);
        QVERIFY(!ok);
    }

    void marks() {
        ConnectionSettings c;
        c.HERE_POSITION.clear();
        c.HERE_TELNO = QStringLiteral("内線12");
        const WhereEntryRequest present = autoRegistrationRequest(c, 3, true);
        QCOMPARE(present.memberId, 3);
        QCOMPARE(present.detail, QStringLiteral("*"));
        QCOMPARE(present.contact, QStringLiteral("内線12*"));
        QVERIFY(present.until.isEmpty() && present.unit.isEmpty());

        QCOMPARE(withoutMarks(QStringLiteral("内線12*?")), QStringLiteral("内線12"));
        QCOMPARE(withoutMarks(QStringLiteral("*?*")), QString());
        QCOMPARE(withoutMarks(QStringLiteral("a*b")), QStringLiteral("a*b"));
    }

    void permission() {
        const QList<UserRecord> onlyMe{UserRecord{5, QStringLiteral("自分"), {1}, 0, false}};
        QCOMPARE(permissionCheckMemberId(onlyMe, 5), 0);
        const QList<UserRecord> withSlot{UserRecord{}, onlyMe[0], UserRecord{8, QStringLiteral("他人"), {1}, 0, false}};
        QCOMPARE(permissionCheckMemberId(withSlot, 5), 8);
        QCOMPARE(permissionCheckMemberId(withSlot, -1), 5);

        const QString refused = QStringLiteral("<p>鈴木さんの行き先を変更する権限はありません。</p>");
        QCOMPARE(permissionStateFromPage(refused, PermissionGranted), qint16(PermissionDenied));
        QCOMPARE(permissionStateFromPage(refused, PermissionKept), qint16(PermissionDenied));
        QCOMPARE(permissionStateFromPage(QStringLiteral("<form>"), PermissionDenied), qint16(PermissionGranted));
        QCOMPARE(permissionStateFromPage(QStringLiteral("<form>"), PermissionKept), qint16(PermissionKept));
        QCOMPARE(permissionStateFromPage(QString(), PermissionDenied), qint16(PermissionGranted));
    }

    void menuChoices() {
        ConnectionSettings c;
        c.HERE_TELNO = QStringLiteral("内線12");
        GroupwareSession s;
        s.setUser(5, QStringLiteral("pw"));
        s.members() = {member(5, QStringLiteral("在席*"), QStringLiteral("内線12*")),
                       member(8, QStringLiteral("会議"), QStringLiteral("携帯 090*?"))};
        s.setOwnRecord(s.members()[0]);

        PositionMenuChoice d = positionMenuChoice(kMenuDetails, 5, s, c);
        QCOMPARE(d.action, PositionMenuChoice::OpenDialog);
        QCOMPARE(d.currentPosition, QStringLiteral("在席*"));
        QCOMPARE(d.currentContact, QStringLiteral("内線12*"));
        d = positionMenuChoice(kMenuDetails, 8, s, c);
        QCOMPARE(d.memberId, 8);
        QCOMPARE(d.currentPosition, QStringLiteral("会議"));

        const PositionMenuChoice a = positionMenuChoice(kMenuAutoRegistration, 5, s, c);
        QCOMPARE(a.action, PositionMenuChoice::Post);
        QCOMPARE(a.request, (WhereEntryRequest{5, QStringLiteral("在席*"), {}, {}, QStringLiteral("内線12*")}));
        QVERIFY(a.recordAsLast);

        // Before any registration the own word goes out with an empty contact.
        PositionMenuChoice w = positionMenuChoice(QStringLiteral("外出"), 5, s, c);
        QCOMPARE(w.request, (WhereEntryRequest{5, QStringLiteral("外出"), {}, {}, {}}));
        QVERIFY(w.recordAsLast);
        s.recordRegistration(QStringLiteral("在席*"), QStringLiteral("内線34*?"), QDateTime::currentDateTime());
        w = positionMenuChoice(QStringLiteral("外出"), 5, s, c);
        QCOMPARE(w.request.contact, QStringLiteral("内線34"));

        // Another member keeps their own contact text, without marks, and is no last registration.
        w = positionMenuChoice(QStringLiteral("外出"), 8, s, c);
        QCOMPARE(w.request, (WhereEntryRequest{8, QStringLiteral("外出"), {}, {}, QStringLiteral("携帯 090")}));
        QVERIFY(!w.recordAsLast);
    }

    void choicesOfTheEntryPage() {
        const WhereEntryChoices c = readWhereEntryChoices(test::fixtureText(QStringLiteral("board/entry_own.html")));
        QCOMPARE(c.place, (QStringList{"在席", "外出", "--", "会議"}));
        QCOMPARE(c.placesWithoutSeparators(), (QStringList{"在席", "外出", "会議"}));
        QCOMPARE(c.until, (QStringList{"1", "2", "15"}));
        QCOMPARE(c.unit, (QStringList{"日まで", "時まで", "時半まで"}));
        const WhereEntryChoices none = readWhereEntryChoices(QString());
        QVERIFY(none.place.isEmpty() && none.until.isEmpty() && none.unit.isEmpty());
    }

    void sessionKeepsStatePerUser() {
        GroupwareSession s;
        QVERIFY(!s.isLoggedIn());
        QCOMPARE(s.userId(), -1);
        const QList<MemberRecord> board{member(4, QStringLiteral("外出"), {}), member(5, QStringLiteral("在席*"), {})};
        QVERIFY(!s.takeOwnRecordFrom(board));

        s.setUser(5, QStringLiteral("pw"));
        QVERIFY(s.takeOwnRecordFrom(board));
        QCOMPARE(s.ownRecord().position, QStringLiteral("在席*"));
        // A board of a group without the user leaves the own record alone.
        QVERIFY(!s.takeOwnRecordFrom({member(9, QStringLiteral("休暇"), {})}));
        QCOMPARE(s.ownRecord().id, 5);

        s.recordRegistration(QStringLiteral("外出"), QStringLiteral("内線"), QDateTime::currentDateTime());
        s.clearUser();
        QVERIFY(s.password().isEmpty());
        s.setUser(5, QStringLiteral("pw"));
        QCOMPARE(s.lastRegistration().contact, QStringLiteral("内線"));
        s.setUser(6, QStringLiteral("pw2"));
        QVERIFY(s.lastRegistration().contact.isEmpty());
        QVERIFY(s.ownRecord().position.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRegistration)
#include "tst_registration.moc"
