#include "groupware/BrowserLogin.h"
#include "groupware/TrayPages.h"

#include <QTest>

using namespace zelmora;

class TestBrowserLogin : public QObject {
    Q_OBJECT
private slots:
    void postsTheLoginFormAsShiftJisFormBytes() {
        QCOMPARE(browserLoginBody(12, QStringLiteral("abc")), QByteArray("_System=login&_Login=1&_ID=12&Password=abc"));
        // "&", "=", "+" and "%" stay inside the password field; Japanese goes as cp932 bytes.
        QCOMPARE(browserLoginBody(7, QStringLiteral("a&b=c+d%")),
                 QByteArray("_System=login&_Login=1&_ID=7&Password=a%26b%3Dc%2Bd%25"));
        bool ok = false;
        QCOMPARE(browserLoginBody(3, QStringLiteral("秘密"), &ok),
                 QByteArray("_System=login&_Login=1&_ID=3&Password=%94%E9%96%A7"));
        QVERIFY(ok);
        browserLoginBody(3, QStringLiteral("😀"), &ok);
        QVERIFY(!ok);
    }

    void logsInBeforeThePageOnlyWhenAUserIsLoggedIn() {
        const QString program = QStringLiteral("http://gw.example/scripts/office.exe");
        const QString page = program + QStringLiteral("?page=BulletinIndex");

        const auto loggedIn = pageNavigations(program, page, 5, QStringLiteral("pw"));
        QCOMPARE(loggedIn.size(), 2);
        QCOMPARE(loggedIn[0].url, QUrl(program));
        QVERIFY(loggedIn[0].isPost());
        QVERIFY(loggedIn[0].waitForLoad);
        QCOMPARE(loggedIn[1].url, QUrl(page));
        QVERIFY(!loggedIn[1].isPost());
        QVERIFY(loggedIn[1].waitForLoad);

        // Nobody logged in: the program URL, not the page, shown without waiting.
        const auto anonymous = pageNavigations(program, page, 0, QString());
        QCOMPARE(anonymous.size(), 1);
        QCOMPARE(anonymous[0].url, QUrl(program));
        QVERIFY(!anonymous[0].isPost());
        QVERIFY(!anonymous[0].waitForLoad);

        QVERIFY(topPageNavigations(program, 5, QStringLiteral("pw"))[0].isPost());
        QVERIFY(!topPageNavigations(program, 0, QString())[0].isPost());
    }

    // Only http and https links open; the server logon goes to the configured origin only.
    void opensOnlyWebAddresses_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("sameOrigin"); // as http://gw.example/scripts/office.exe
        QTest::newRow("http") << "http://gw.example/info/" << true << true;
        QTest::newRow("http with its port written") << "http://GW.example:80/" << true << true;
        QTest::newRow("https") << "https://gw.example/" << true << false;
        QTest::newRow("another port") << "http://gw.example:8080/" << true << false;
        QTest::newRow("another host") << "http://evil.example/gw.example" << true << false;
        QTest::newRow("bare host name") << "www.example.org" << true << false;
        QTest::newRow("javascript") << "javascript:alert(document.cookie)" << false << false;
        QTest::newRow("file") << "file:///etc/passwd" << false << false;
        QTest::newRow("data") << "data:text/html,<script>alert(1)</script>" << false << false;
        QTest::newRow("custom scheme") << "ms-settings:network" << false << false;
    }
    void opensOnlyWebAddresses() {
        QFETCH(QString, address);
        QFETCH(bool, opens);
        QFETCH(bool, sameOrigin);
        const QList<BrowserNavigation> navigations = plainNavigations(address);
        QCOMPARE(navigations.size(), opens ? 1 : 0);
        QCOMPARE(isSameOrigin(linkAddress(address), QUrl(QStringLiteral("http://gw.example/scripts/office.exe"))),
                 sameOrigin);
    }

    void buildsTheTrayPageAddresses() {
        const QString program = QStringLiteral("http://gw/office.exe");
        QStringList addresses;
        for (const TrayPageItem& item : trayPageItems())
            addresses << trayPageAddress(item, program, 42);
        QCOMPARE(addresses, QStringList({QString(), program + "?page=WhereIndex", program + "?page=WhereHistory&id=42",
                                         program + "?page=BulletinIndex", program + "?page=CircularIndex",
                                         program + "?page=WebMailIndex", program + "?page=WorkFlowIndex"}));
    }
};

QTEST_GUILESS_MAIN(TestBrowserLogin)
#include "tst_browserlogin.moc"
