#include "core/Cp932.h"
#include "core/Cp932Stream.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace zelmora;

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void roundTripsJapaneseText() {
        const QString text = QStringLiteral("行き先 在席 ｶﾅ ①Ⅱ㈱ 髙﨑");
        bool ok = false;
        const QByteArray bytes = cp932::encode(text, &ok);
        QVERIFY(ok);
        QCOMPARE(bytes.left(2), QByteArray("\x8D\x73"));
        QCOMPARE(cp932::decode(bytes), text);
    }

    void mapsLinuxSpellingsToWindowsOnes() {
        // WAVE DASH, MINUS SIGN and YEN SIGN have no cp932 code of their own.
        QCOMPARE(cp932::encode(QStringLiteral("9時〜10時")), cp932::encode(QStringLiteral("9時～10時")));
        QCOMPARE(cp932::encode(QStringLiteral("−")), QByteArray("\x81\x7C"));
        QCOMPARE(cp932::encode(QStringLiteral("¥")), QByteArray("\\"));
    }

    void reportsCharactersWithoutCode() {
        bool ok = true;
        const QByteArray bytes = cp932::encode(QStringLiteral("a😀b"), &ok);
        QVERIFY(!ok);
        QCOMPARE(bytes, QByteArray("a?b"));
        QVERIFY(!cp932::encodeChar(U'😀').size());
        QCOMPARE(cp932::encodeChar(U'あ'), QByteArray("\x82\xA0"));
    }

    void formEncodesLikeABrowser() {
        QCOMPARE(cp932::formEncode(QStringLiteral("a&b=c+d%e #")), QByteArray("a%26b%3Dc%2Bd%25e+%23"));
        QCOMPARE(cp932::formEncode(QStringLiteral("在席")), QByteArray("%8D%DD%90%C8"));
        QCOMPARE(cp932::formEncode(QStringLiteral("1\r\n2")), QByteArray("1%0D%0A2"));
        const QString tricky = QStringLiteral("会議&打合せ=100%+α\r\n二行目");
        QCOMPARE(cp932::formDecode(cp932::formEncode(tricky)), tricky);
    }

    void formDecodesRawBytesAndBrokenEscapes() {
        QCOMPARE(cp932::formDecode(cp932::encode(QStringLiteral("外出"))), QStringLiteral("外出"));
        QCOMPARE(cp932::formDecode("100%"), QStringLiteral("100%"));
        QCOMPARE(cp932::formDecode("%zz%4"), QStringLiteral("%zz%4"));
    }

    // The stream writes what it can from its table and leaves the rest to the converter: in pieces of
    // any size, its text is the converter's text of all the bytes at once.
    void streamDecodesAsTheConverter_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray pairs;
        for (int code = 0; code < 0x10000; ++code)
            pairs.append(char(code >> 8)).append(char(code));
        QTest::newRow("every two bytes in a row") << pairs;
        QByteArray noise(1 << 17, Qt::Uninitialized);
        QRandomGenerator random(932);
        for (char& byte : noise)
            byte = char(random.bounded(4) ? 0x80 + random.bounded(0x80) : random.bounded(0x80));
        QTest::newRow("random bytes, mostly high") << noise;
        QTest::newRow("lead bytes at the end") << QByteArray("\x82\xA0\x82<\x81\x81\x81", 7);
    }

    void streamDecodesAsTheConverter() {
        QFETCH(QByteArray, bytes);
        const QString expected = QStringDecoder("windows-31j").decode(bytes);
        QRandomGenerator random(31);
        for (qsizetype largest : {1, 2, 3, 17, 4096}) {
            cp932::Stream stream;
            for (qsizetype at = 0; at < bytes.size();) {
                const qsizetype piece = std::min<qsizetype>(1 + random.bounded(int(largest)), bytes.size() - at);
                stream.append(QByteArrayView(bytes).sliced(at, piece));
                at += piece;
            }
            QCOMPARE(stream.take(), expected);
        }
    }

    void encodesAsciiAsTheConverter() {
        QStringEncoder converter("windows-31j", QStringConverter::Flag::Stateless);
        for (char16_t c = 1; c < 0x80; ++c) {
            const QString text = QStringLiteral("a") + QChar(c) + QStringLiteral("z");
            const QByteArray expected = converter.encode(text);
            if (!expected.contains('\x1A'))
                QCOMPARE(cp932::encode(text), expected);
        }
    }

    void decodesDeclaredCharsets() {
        QCOMPARE(cp932::decode(QByteArray("caf\xC3\xA9"), "UTF-8"), QStringLiteral("café"));
        QCOMPARE(cp932::decode(QByteArray("\x8D\xDD"), "Shift_JIS"), QStringLiteral("在"));
        QCOMPARE(cp932::decode(QByteArray("\x8D\xDD"), "no-such-charset"), QStringLiteral("在"));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
