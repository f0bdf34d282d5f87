#include "core/PasswordScrambling.h"

#include <QCryptographicHash>
#include <QTest>

using namespace zelmora;

class TestPasswordScrambling : public QObject {
    Q_OBJECT
private slots:
    void matchesAHandComputedVector() {
        // Key "12山田COMMON": 山 is 8E 52 and 田 is 93 63 in cp932, so the key bytes are "12RcCOMMON".
        const QString key = QStringLiteral("12山田COMMON");
        QCOMPARE(scrambling::keyBytes(key), QByteArray("12RcCOMMON"));
        const QByteArray digest = QCryptographicHash::hash("12RcCOMMON", QCryptographicHash::Md5);
        QString digits;
        for (char b : digest)
            digits += QString::number(quint8(b) % 100).rightJustified(2, QLatin1Char('0'));
        QCOMPARE(scrambling::digestText(key), digits);
        QString expected;
        const QString text = QStringLiteral("pass");
        for (int i = 0; i < text.size(); ++i) {
            expected += QString::asprintf("%02X", text.at(i).unicode() ^ digits.at(i).unicode());
            expected += QStringLiteral("00");
        }
        QCOMPARE(Encrypt(key, text), expected);
        QCOMPARE(Encrypt(key, text), QStringLiteral("4200510043004500"));
        // MD5("taro") starts 38 86 BC: 56, 134 -> "34", 188 -> "88"; 'a' ^ '5' = 54, 'b' ^ '6' = 54.
        QCOMPARE(scrambling::digestText(QStringLiteral("taro")).left(6), QStringLiteral("563488"));
        QCOMPARE(Encrypt(QStringLiteral("taro"), QStringLiteral("ab")), QStringLiteral("54005400"));
    }

    void roundTrips_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QStringLiteral("taro") << QStringLiteral("secret");
        QTest::newRow("japanese") << QStringLiteral("7佐藤花子hanako") << QStringLiteral("パスワード①髙");
        QTest::newRow("40 chars") << QStringLiteral("COMMON")
                                  << QStringLiteral("0123456789abcdefghijABCDEFGHIJ!#$%&'()=~");
        QTest::newRow("key without cp932 code") << QStringLiteral("😀") << QStringLiteral("x");
        QTest::newRow("empty key") << QString() << QStringLiteral("pw");
    }
    void roundTrips() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        const QString hex = Encrypt(key, text);
        QCOMPARE(hex.size(), text.size() * 4);
        QCOMPARE(Decrypt(key, hex), text);
        QCOMPARE(Decrypt(key, hex.toLower()), text);
        QCOMPARE(Encrypt(key, text), hex);
    }

    void keysAndLengths() {
        QCOMPARE(Encrypt(QStringLiteral("k"), QString()), QString());
        QCOMPARE(Decrypt(QStringLiteral("k"), QString()), QString());
        QCOMPARE(Encrypt(QStringLiteral("k"), QStringLiteral("x")).size(), 4);
        QVERIFY(Encrypt(QStringLiteral("k1"), QStringLiteral("same")) !=
                Encrypt(QStringLiteral("k2"), QStringLiteral("same")));
        // The high byte of every ASCII character is stored as it is.
        const QString hex = Encrypt(QStringLiteral("k"), QStringLiteral("abcdefghijklmnopqrst"));
        for (int i = 2; i < hex.size(); i += 4)
            QCOMPARE(hex.mid(i, 2), QStringLiteral("00"));
        // The key stream repeats every 16 characters.
        QCOMPARE(Encrypt(QStringLiteral("k"), QStringLiteral("0123456789abcdefXY")).mid(64),
                 Encrypt(QStringLiteral("k"), QStringLiteral("XY")));
        QCOMPARE(Decrypt(QStringLiteral("wrong"), Encrypt(QStringLiteral("k"), QStringLiteral("pw"))).has_value(),
                 true);
        QVERIFY(Decrypt(QStringLiteral("wrong"), Encrypt(QStringLiteral("k"), QStringLiteral("pw"))) !=
                QStringLiteral("pw"));
    }

    void oddAndBadHex() {
        const QString key = QStringLiteral("COMMON");
        const QString hex = Encrypt(key, QStringLiteral("ab"));
        QCOMPARE(Decrypt(key, hex + QLatin1Char('F')), QStringLiteral("ab"));
        QCOMPARE(Decrypt(key, hex + QLatin1Char('Z')), QStringLiteral("ab"));
        // Half a character (4n + 2 digits) is dropped.
        QCOMPARE(Decrypt(key, hex + QStringLiteral("41")), QStringLiteral("ab"));
        QVERIFY(!Decrypt(key, hex.left(4) + QStringLiteral("G0")).has_value());
        QVERIFY(!Decrypt(key, QStringLiteral(" 1")).has_value());
        QVERIFY(!Decrypt(key, QStringLiteral("-1")).has_value());
    }
};

QTEST_APPLESS_MAIN(TestPasswordScrambling)
#include "tst_passwordscrambling.moc"
