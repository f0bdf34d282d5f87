// The board reader against the step-by-step pipeline it replaces: the same records, in the same
// order, for every fixture, the fuzz seeds, generated boards of 0 to 10,000 rows, hostile pages and
// a few thousand mutated pages.
#include "ReferenceBoard.h"
#include "core/Clock.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "hardening/HostilePages.h"
#include "core/Cp932.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTimeZone>
#include <QTest>

using namespace zelmora;

namespace {

QString describe(const MemberRecord& r) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6%7%8")
        .arg(r.id)
        .arg(r.name, r.position,
             r.updated.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('@') +
                 QString::number(r.updated.toMSecsSinceEpoch()),
             r.contact)
        .arg(int(r.memo))
        .arg(int(r.autoRegistered))
        .arg(int(r.present));
}

// Both readers' outcome as text: the result, every record, and the own record that a session whose
// user is the board's first member takes from it.
QStringList outcome(bool result, const QList<MemberRecord>& members) {
    QStringList lines{result ? QStringLiteral("true") : QStringLiteral("false")};
    for (const MemberRecord& m : members)
        lines << describe(m);
    GroupwareSession session;
    session.setUser(members.isEmpty() ? 1 : members.first().id, QStringLiteral("x"));
    session.takeOwnRecordFrom(members);
    lines << QStringLiteral("own ") + describe(session.ownRecord());
    return lines;
}

QStringList fastOutcome(const QString& page, const QString& program) {
    QList<MemberRecord> members;
    const bool result = readPositionList(page, program, members);
    return outcome(result, members);
}

// The page read after `before`, taking over the records of the pieces that came back unchanged.
QStringList rereadOutcome(const QString& before, const QString& page, const QString& program) {
    BoardMemo::Entry last{{before, program, Clock::today(), QTimeZone::systemTimeZone()}, {}, {}};
    readPositionList(last.key, last.members, nullptr, &last.pieces);
    QList<MemberRecord> members;
    BoardMemo::Key key = last.key;
    key.page = page;
    const bool result = readPositionList(key, members, &last, nullptr);
    return outcome(result, members);
}

QStringList referenceOutcome(const QString& page, const QString& program) {
    QList<MemberRecord> members;
    const bool result = reference::readPositionList(page, program, members);
    return outcome(result, members);
}

// Rows of every kind the server writes, and some it should not: memo icons, members without an
// entry, upper-case tags and single quotes, entities, marks, weekdays in and out of place.
QString variedBoard(int rows, quint32 seed) {
    QRandomGenerator random(seed);
    QString page = QStringLiteral("<html><body><form action=\"office.exe\">\r\n<table border=1>\r\n"
                                  "<tr bgcolor=\"#99ccff\"><th nowrap>名前</th><th width=60>電話メモ</th>"
                                  "<th nowrap>行き先</th><th nowrap>連絡（先）</th></tr>\r\n");
    static const QStringList positions{QStringLiteral("在席*"), QStringLiteral("外出?"), QStringLiteral("会議"),
                                       QStringLiteral("&lt;本社&gt; &amp;"), QStringLiteral("休み (午後)")};
    static const QStringList times{QStringLiteral("2002/06/03 (月) 09:41"),
                                   QStringLiteral("6/2(日) 18:05"),
                                   QStringLiteral("２００２／０６／０３　０９：４１"),
                                   QStringLiteral("02/06/03 9:41"),
                                   QStringLiteral("2002年6月3日 午後 1:05"),
                                   QStringLiteral("(")};
    for (int id = 1; id <= rows; ++id) {
        const bool upper = random.bounded(5) == 0;
        const QString q = random.bounded(4) == 0 ? QStringLiteral("'") : QStringLiteral("\"");
        QString row = QStringLiteral("<tr bgcolor=\"#ffffff\"><td nowrap><a href=%1office.exe?page=OfficeInfo&id=%2%1>"
                                     "社員 %2</a></td>")
                          .arg(q)
                          .arg(id);
        row += random.bounded(7) == 0 ? QStringLiteral("<td><img src=\"/cb4/recept.gif\" border=0></td>")
                                      : QStringLiteral("<td>&nbsp;</td>");
        row += QStringLiteral("<td><a href=\"office.exe?page=WhereEntry&id=%1&gid=0\">").arg(id);
        if (random.bounded(11) == 0) {
            row += QStringLiteral("<font size=-1>登録されていません</font></a><br><td><br></td></tr>\r\n");
        } else {
            row += QStringLiteral("<font size=+1>%1</font></a><br><font color=\"#336699\">%2</font></td>"
                                  "<td>内線%3%4<br></td></tr>\r\n")
                       .arg(positions.at(random.bounded(positions.size())), times.at(random.bounded(times.size())))
                       .arg(id)
                       .arg(random.bounded(3) == 0 ? QStringLiteral("?") : QStringLiteral("*"));
        }
        page += upper ? row.toUpper() : row;
    }
    page += QStringLiteral("</table>\r\n<img src=\"/cb4/recept.gif\" border=0>：電話メモがあります\r\n</form>\r\n<p>"
                           "</body></html>");
    return page;
}

// Pieces that change the structure: tag ends, row starts, line breaks, markers and their capitals,
// whole cells, a lone surrogate and a pair.
const QStringList kInserts{
    QStringLiteral("<"),
    QStringLiteral(">"),
    QStringLiteral("<tr>"),
    QStringLiteral("</tr>"),
    QStringLiteral("\r\n"),
    QStringLiteral("(月)"),
    QStringLiteral("("),
    QStringLiteral(")"),
    QStringLiteral("*"),
    QStringLiteral("?"),
    QStringLiteral(" "),
    QStringLiteral("&lt;"),
    QString(QChar(0x00FE)),
    QString(QChar(0x00DE)),
    QString(QChar(0x00FF)),
    QString(QChar(0x0178)),
    QString(QChar(0xD800)),
    QStringLiteral("\U00020B9F"),
    QStringLiteral("登録されていません"),
    QStringLiteral("<font size=-1>"),
    QStringLiteral("</font>"),
    QStringLiteral("<br>"),
    QStringLiteral("<td>"),
    QStringLiteral("</td>"),
    QStringLiteral("</a>"),
    QStringLiteral("<img src='/cb4/recept.gif' border=0>"),
    QStringLiteral("< \u0130MG src='/cb4/recept.gif' border=0>"),
    QStringLiteral("<\u0131mg src='/cb4/recept.gif' border=0>"),
    QStringLiteral("<  A href=\"office.exe?page=OfficeInfo&id=78\">空</a>"),
    QStringLiteral("<a href=\"office.exe?page=OfficeInfo&id=77\">偽</a>"),
    QStringLiteral("<a href=\"office.exe?page=WhereEntry&id=77\">"),
};

QString mutated(const QString& base, QRandomGenerator& random) {
    QString page = base;
    const int steps = 1 + int(random.bounded(4));
    for (int i = 0; i < steps && !page.isEmpty(); ++i) {
        const qsizetype at = random.bounded(page.size());
        const qsizetype length = qMin<qsizetype>(page.size() - at, random.bounded(40));
        switch (random.bounded(4)) {
        case 0:
            page.remove(at, length);
            break;
        case 1:
            page.insert(at, kInserts.at(random.bounded(kInserts.size())));
            break;
        case 2:
            page.insert(at, page.mid(at, length));
            break;
        default:
            page.replace(at, length, page.mid(at, length).toUpper());
            break;
        }
    }
    return page;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? cp932::decode(file.readAll()) : QString();
}

} // namespace

class TestBoardDiff : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2002, 6, 3), QTime(10, 0))); }
    void cleanup() { Clock::reset(); }

    void sameRecordsAsTheStepByStepPipeline_data() {
        QTest::addColumn<QString>("page");
        for (const QString& path :
             filesUnder(QStringLiteral(ZELMORA_FIXTURE_DIR)) + filesUnder(QStringLiteral(ZELMORA_FUZZ_SEEDS_DIR)))
            QTest::newRow(qPrintable(path.section(QLatin1Char('/'), -2))) << fileText(path);
        for (int rows : {0, 1, 2, 10, 100, 1000, 10000})
            QTest::newRow(qPrintable(QStringLiteral("%1 varied rows").arg(rows))) << variedBoard(rows, quint32(rows));
        QTest::newRow("10,000 rows as the hardening tests write them") << test::boardWithRows(10000);
        // The hostile pages of up to two million characters; the larger ones (10 MB, 100,000 rows) go
        // through the reader in the hardening tests, and the pipeline would take a minute on them.
        for (const test::HostilePage& hostile : test::hostilePages()) {
            if (hostile.text.size() <= 2'000'000)
                QTest::newRow(qPrintable(hostile.name)) << hostile.text;
        }
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral(" \r\n ");
        QTest::newRow("markers only") << QString(QChar(0x00FE)) + QChar(0x00FF);
    }
    void sameRecordsAsTheStepByStepPipeline() {
        QFETCH(QString, page);
        QCOMPARE(fastOutcome(page, QStringLiteral("office.exe")), referenceOutcome(page, QStringLiteral("office.exe")));
        QCOMPARE(fastOutcome(page, QStringLiteral("office.cgi")), referenceOutcome(page, QStringLiteral("office.cgi")));
        QCOMPARE(rereadOutcome(page, page, QStringLiteral("office.exe")),
                 referenceOutcome(page, QStringLiteral("office.exe")));
    }

    void sameRecordsOnMutatedPages() {
        QRandomGenerator random(16);
        const QStringList bases{fileText(QStringLiteral(ZELMORA_FIXTURE_DIR "/board/board_members.html")),
                                variedBoard(20, 7), test::boardWithRows(5)};
        for (int i = 0; i < 3000; ++i) {
            const QString page = mutated(bases.at(i % bases.size()), random);
            const QStringList fast = fastOutcome(page, QStringLiteral("office.exe"));
            const QStringList slow = referenceOutcome(page, QStringLiteral("office.exe"));
            if (fast != slow)
                qWarning().noquote() << "page" << i << ":" << page;
            QCOMPARE(fast, slow);
            // Read again after the page it was made from, and the other way round.
            const QString& base = bases.at(i % bases.size());
            QCOMPARE(rereadOutcome(base, page, QStringLiteral("office.exe")), slow);
            QCOMPARE(rereadOutcome(page, base, QStringLiteral("office.exe")),
                     referenceOutcome(base, QStringLiteral("office.exe")));
        }
    }
};

QTEST_GUILESS_MAIN(TestBoardDiff)
#include "tst_boarddiff.moc"
