#include "net/PatternUtils.h"

#include <QTest>

using namespace zelmora;

class TestPatternUtils : public QObject {
    Q_OBJECT
private slots:
    void dotStopsAtEveryLineBreak() {
        QCOMPARE(RegExpFind(QStringLiteral("a\rb"), QStringLiteral("a.b")), 0);
        QCOMPARE(RegExpFind(QStringLiteral("a\nb"), QStringLiteral("a.b")), 0);
        QCOMPARE(RegExpFind(QStringLiteral("a b"), QStringLiteral("a.b")), 1);
        qsizetype position = -1;
        qsizetype length = -1;
        QCOMPARE(RegExpFind(QStringLiteral("x<td>one\r\ntwo</td>"), QStringLiteral("<td>.*"), position, length), 2);
        QCOMPARE(length, 7); // "<td>one", not across the CR LF
    }

    void digitClassIsAsciiOnly() {
        QCOMPARE(RegExpFind(QStringLiteral("１２"), QStringLiteral("\\d")), 0);
        QCOMPARE(RegExpFind(QStringLiteral("１2"), QStringLiteral("\\d")), 2);
    }

    void findReportsOneBasedPositionAndClearsOutputsOnMiss() {
        qsizetype position = 0;
        qsizetype length = 0;
        QCOMPARE(RegExpFind(QStringLiteral("行き先:在席"), QStringLiteral("在席"), position, length), 5);
        QCOMPARE(position, 5);
        QCOMPARE(length, 2);
        QCOMPARE(RegExpFind(QStringLiteral("abc"), QStringLiteral("B"), position, length), 0);
        QCOMPARE(position, 0);
        QCOMPARE(length, 0);
        QCOMPARE(RegExpFind(QStringLiteral("abc"), QStringLiteral("B"), position, length, true), 2);
    }

    void cacheKeepsCaseFlagsApart() {
        // Same pattern text, different flag: a cache keyed on the text alone would mix them up.
        QCOMPARE(RegExpFind(QStringLiteral("ABC"), QStringLiteral("abc"), true), 1);
        QCOMPARE(RegExpFind(QStringLiteral("ABC"), QStringLiteral("abc"), false), 0);
        QCOMPARE(RegExpFind(QStringLiteral("ABC"), QStringLiteral("abc"), true), 1);
    }

    void brokenPatternMatchesNothing() {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("pattern does not compile")));
        QStringList pieces{QStringLiteral("kept")};
        QCOMPARE(RegExpSplit(QStringLiteral("a(b"), QStringLiteral("("), pieces), -1);
        QCOMPARE(pieces, QStringList{QStringLiteral("kept")});
        QCOMPARE(RegExpReplace(QStringLiteral("a(b"), QStringLiteral("("), QStringLiteral("x")), QStringLiteral("a(b"));
    }

    void splitGivesEmptyPiecesAtEdgesAndBetweenAdjacentSeparators() {
        QStringList pieces;
        QCOMPARE(RegExpSplit(QStringLiteral(",a,,b,"), QStringLiteral(","), pieces), 5);
        QCOMPARE(pieces, (QStringList{QString(), QStringLiteral("a"), QString(), QStringLiteral("b"), QString()}));

        QCOMPARE(RegExpSplit(QStringLiteral("k1=v1\r\nk2=v2"), QStringLiteral("\r\n"), pieces), 2);
        QCOMPARE(pieces, (QStringList{QStringLiteral("k1=v1"), QStringLiteral("k2=v2")}));

        QCOMPARE(RegExpSplit(QStringLiteral("aXbxc"), QStringLiteral("x"), pieces, true), 3);
        QCOMPARE(pieces, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }

    void splitWithoutSeparatorReturnsMinusOneAndKeepsPieces() {
        QStringList pieces{QStringLiteral("old")};
        QCOMPARE(RegExpSplit(QStringLiteral("abc"), QStringLiteral(","), pieces), -1);
        QCOMPARE(pieces, QStringList{QStringLiteral("old")});
        QCOMPARE(RegExpSplit(QString(), QStringLiteral(","), pieces), -1);
    }

    void replaceExpandsGroupReferences_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<bool>("global");
        QTest::addColumn<QString>("expected");

        auto s = [](const char* text) { return QString::fromUtf8(text); };
        QTest::newRow("groups") << s("<font size=(2)>x") << s("<font size=\\(([^)]*)\\)>(.)") << s("[$2:$1]") << false
                                << true << s("[x:2]");
        QTest::newRow("dollar sign") << s("a1") << s("(\\d)") << s("$$1=$1") << false << true << s("a$1=1");
        QTest::newRow("whole match") << s("ab") << s("b") << s("<$&>") << false << true << s("a<b>");
        QTest::newRow("around the match") << s("abc") << s("b") << s("[$`|$']") << false << true << s("a[a|c]c");
        QTest::newRow("missing group stays") << s("ab") << s("(b)") << s("$2$1") << false << true << s("a$2b");
        QTest::newRow("one digit when two name no group")
            << s("ab") << s("(b)") << s("$10") << false << true << s("ab0");
        QTest::newRow("two digits") << s("abcdefghijk") << s("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)") << s("$11$10$1")
                                    << false << true << s("kja");
        QTest::newRow("backslashes are literal")
            << s("ab") << s("(b)") << s("\\1\\$1") << false << true << s("a\\1\\b");
        QTest::newRow("unused group is empty") << s("ab") << s("(x)?b") << s("[$1]") << false << true << s("a[]");
        QTest::newRow("single") << s("aXa") << s("a") << s("-") << false << false << s("-Xa");
        QTest::newRow("global") << s("aXa") << s("a") << s("-") << false << true << s("-X-");
        QTest::newRow("ignore case") << s("AXa") << s("a") << s("-") << true << true << s("-X-");
        QTest::newRow("case matters") << s("AXa") << s("a") << s("-") << false << true << s("AX-");
        QTest::newRow("empty matches") << s("ab") << s("x*") << s("-") << false << true << s("-a-b-");
    }

    void replaceExpandsGroupReferences() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(bool, ignoreCase);
        QFETCH(bool, global);
        QFETCH(QString, expected);
        QCOMPARE(RegExpReplace(text, pattern, replacement, ignoreCase, global), expected);
    }

    void cutBetweenNeedsBothEnds() {
        const QString text = QStringLiteral("<B>head</b> body <b>two</B>");
        QCOMPARE(CutBetween(text, QStringLiteral("<b>"), QStringLiteral("</b>")), QStringLiteral("head"));
        QCOMPARE(CutBetween(text, QStringLiteral("body"), QStringLiteral("<i>")), QString());
        QCOMPARE(CutBetween(text, QStringLiteral("<i>"), QStringLiteral("</b>")), QString());
        // The end is only looked for after the start.
        QCOMPARE(CutBetween(QStringLiteral("] x [ y ]"), QStringLiteral("\\["), QStringLiteral("\\]")),
                 QStringLiteral(" y "));
    }

    void cutBetweenExKeepsMatchesByFlag() {
        const QString text = QStringLiteral("..<td class=a>cell</TD>..");
        const QString start = QStringLiteral("<td[^>]*>");
        const QString end = QStringLiteral("</td>");
        QCOMPARE(CutBetweenEx(text, start, end, 0), QStringLiteral("cell"));
        QCOMPARE(CutBetweenEx(text, start, end, CutKeepStart), QStringLiteral("<td class=a>cell"));
        QCOMPARE(CutBetweenEx(text, start, end, CutKeepEnd), QStringLiteral("cell</TD>"));
        QCOMPARE(CutBetweenEx(text, start, end, CutKeepStart | CutKeepEnd), QStringLiteral("<td class=a>cell</TD>"));
        // Keeping the start, an end pattern that matches inside it ends the cut there.
        QCOMPARE(CutBetweenEx(QStringLiteral("x<a>b>"), QStringLiteral("<a>"), QStringLiteral(">"), CutKeepStart),
                 QStringLiteral("<a"));
        // The rest after the start is a text of its own: "^" anchors at its beginning.
        QCOMPARE(CutBetweenEx(QStringLiteral("ab|cd|"), QStringLiteral("\\|"), QStringLiteral("^c"), CutKeepEnd),
                 QStringLiteral("c"));
    }

    void cutAllBetweenPairsStartsWithFollowingEnds() {
        QStringList pieces{QStringLiteral("stale")};
        // An end before any start is skipped; a second start before the end is skipped with it.
        const QString text = QStringLiteral("</a> <a>1<a>2</a> <A>3</A> <a>open");
        QCOMPARE(CutAllBetween(text, QStringLiteral("<a>"), QStringLiteral("</a>"), pieces), 2);
        QCOMPARE(pieces, (QStringList{QStringLiteral("1<a>2"), QStringLiteral("3")}));
        QCOMPARE(CutAllBetween(text, QStringLiteral("<a>"), QStringLiteral("</a>"), pieces, CutKeepStart | CutKeepEnd),
                 2);
        QCOMPARE(pieces, (QStringList{QStringLiteral("<a>1<a>2</a>"), QStringLiteral("<A>3</A>")}));
        QCOMPARE(CutAllBetween(text, QStringLiteral("<b>"), QStringLiteral("</a>"), pieces), 0);
        QVERIFY(pieces.isEmpty());
    }

    void cutAllBetweenToleratesEndInsideStart() {
        QStringList pieces;
        // "td>" first matches inside "<td>" itself: that pair is taken, with nothing between them.
        QCOMPARE(CutAllBetween(QStringLiteral("<td>x</td>"), QStringLiteral("<td>"), QStringLiteral("td>"), pieces), 1);
        QCOMPARE(pieces, QStringList{QString()});
        QCOMPARE(CutAllBetween(QStringLiteral("<tdx>"), QStringLiteral("<tdx"), QStringLiteral("dx"), pieces,
                               CutKeepStart | CutKeepEnd),
                 1);
        QCOMPARE(pieces, QStringList{QStringLiteral("<tdxdx")});
    }

    void selectOptionsInEveryWriting() {
        const QString page = QStringLiteral("<select name=\"other\">\r\n<option value=\"9\">他\r\n</select>\r\n"
                                            "<SELECT NAME='Group' onChange=\"go()\">\r\n"
                                            "<OPTION VALUE=\"1\" SELECTED>  営業部  </OPTION>\r\n"
                                            "<option value='2'>開発部\r\n"
                                            "<option value = 3 selected >総務 &amp; 人事\r\n"
                                            "<option>(全員)\r\n"
                                            "<option value=\"5\">a</option><option value=\"6\">b</option>\r\n"
                                            "</Select >\r\n"
                                            "<option value=\"7\">外\r\n");
        QList<SelectOption> options{{QStringLiteral("stale"), QString()}};
        QCOMPARE(GetSelectOptions(page, QStringLiteral("Group"), options), 5);
        const QList<SelectOption> expected{
            {QStringLiteral("1"), QStringLiteral("営業部")},
            {QStringLiteral("2"), QStringLiteral("開発部")},
            {QStringLiteral("3"), QStringLiteral("総務 &amp; 人事")},
            {QString(), QStringLiteral("(全員)")},
            {QStringLiteral("5"), QStringLiteral("a")},
        };
        QCOMPARE(options, expected);
    }

    void selectOptionsWithBareNameAndBrokenTags() {
        QList<SelectOption> options;
        QCOMPARE(GetSelectOptions(QStringLiteral("<select name=gid>\n<option value=\"1\"\n>x\n</select>"),
                                  QStringLiteral("gid"), options),
                 1);
        QCOMPARE(options.first(), (SelectOption{QStringLiteral("1"), QString()}));
        QCOMPARE(GetSelectOptions(QStringLiteral("<select name=\"gid\">\n</select>"), QStringLiteral("gid"), options),
                 0);
        QCOMPARE(GetSelectOptions(QStringLiteral("<select name=\"gid\">\n<option value=1>x\n"), QStringLiteral("gid"),
                                  options),
                 0);
        // The name is matched literally, not as a pattern.
        QCOMPARE(GetSelectOptions(QStringLiteral("<select name=\"gXd\">\n<option value=1>x\n</select>"),
                                  QStringLiteral("g.d"), options),
                 0);
    }

    void selectOptionsOfTextWithLoneSurrogates() {
        // Broken UTF-16 must neither reach the engine unchecked nor stop the read.
        const QString page = QStringLiteral("<select name=gid>\n<option value=1>a") + QChar(0xD800) +
                             QStringLiteral("\n<option value=2>") + QChar(0xDC00) + QStringLiteral("b\n</select>");
        QList<SelectOption> options;
        QCOMPARE(GetSelectOptions(page, QStringLiteral("gid"), options), 2);
        QCOMPARE(options[0].text, QStringLiteral("a\uFFFD"));
        QCOMPARE(options[1].text, QStringLiteral("\uFFFDb"));
        const QString pair = QStringLiteral("x😀y");
        QCOMPARE(validUtf16(pair), pair);
    }

    void decodeEntitiesHandlesOnlyThreeNames() {
        QCOMPARE(DecodeEntities(QStringLiteral("&QUOT;a&Lt;b&gT;&amp;&amp;lt;&#62;&lt")),
                 QStringLiteral("\"a<b>&amp;&amp;lt;&#62;&lt"));
    }

    void trimSpacesKeepsOtherBlanks() {
        QCOMPARE(TrimSpaces(u"  \t会議　 "), QStringLiteral("\t会議　"));
        QCOMPARE(TrimSpaces(u"   "), QString());
    }
};

QTEST_GUILESS_MAIN(TestPatternUtils)
#include "tst_patternutils.moc"
