#include "groupware/Board.h"

#include "core/Clock.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QRegularExpression>

namespace zelmora {

namespace {

// Field markers wrapped around every value while a board page is taken apart. Page text is
// decoded from cp932, which has no code for either character; they are also removed from the
// input first, so a value can never contain one.
constexpr QChar kFieldStart(0x00FE);
constexpr QChar kFieldEnd(0x00FF);

const QString kCrLf = QStringLiteral("\r\n");

// The server's patterns are matched case-insensitively, and "." never crosses a line end.
QRegularExpression pattern(const QString& text) {
    QRegularExpression re(QStringLiteral("(*ANYCRLF)") + text, QRegularExpression::CaseInsensitiveOption);
    re.optimize();
    return re;
}

QString field(const QString& key, const QString& value) {
    return kFieldStart + key + value + kFieldEnd;
}

// The board's table body, from the four-column header row to the end of the form.
const QRegularExpression& headerRow() {
    static const QRegularExpression re = pattern(QStringLiteral(
        "< *tr +bgcolor *= *[^>]*>< *th +nowrap *> *名前 *< */th *> *< *th +width *= *[^>]*> *電話メモ *< */th *> "
        "*< *th +nowrap *> *行き先 *< */th *> *< *th +nowrap *> *連絡（先） *< */th *> *< */tr *>"));
    return re;
}

const QRegularExpression& tableEnd() {
    static const QRegularExpression re =
        pattern(QStringLiteral("< */table *> *(< *img +[^>]*>[^<]*)? *(< *img +[^>]*>[^<]*)? *< */form *> *< *p *>"));
    return re;
}

// A member without an entry has no update-time cell; give it an empty one so that the
// whereabouts pattern below reads it like any other row.
const QRegularExpression& notRegistered() {
    static const QRegularExpression re =
        pattern(QStringLiteral("< *font +size *= *([^>]*)> *登録されていません *< */font *> *< */a *> *< *br *>"));
    return re;
}

const QRegularExpression& memoIcon() {
    static const QRegularExpression re =
        pattern(QStringLiteral("< *img +src *= *['\"]/cb4/recept\\.gif['\"] +border *= *[^>]*>"));
    return re;
}

const QRegularExpression& anyTag() {
    static const QRegularExpression re = pattern(QStringLiteral("<[^>]*>"));
    return re;
}

// The weekday in "2002/06/03(月) 09:41". The value is bounded by the field end so that an update
// text without a weekday never reaches into the fields and rows after it.
const QRegularExpression& boardWeekday() {
    static const QRegularExpression re =
        pattern(kFieldStart + QStringLiteral("UPDATE=([^\\(") + kFieldEnd + QStringLiteral("]*)\\(.\\)"));
    return re;
}

// Member links and whereabouts cells name the program ("office.exe" or "office.cgi").
struct ProgramPatterns {
    QString programName;
    QRegularExpression memberLink;
    QRegularExpression entryCells;
};

const ProgramPatterns& programPatterns(const QString& programName) {
    static ProgramPatterns cached;
    if (cached.programName != programName || !cached.memberLink.isValid()) {
        const QString p = QRegularExpression::escape(programName);
        cached.programName = programName;
        cached.memberLink = pattern(QStringLiteral("< *a +href *= *['\"]") + p +
                                    QStringLiteral("\\?page *= *OfficeInfo&id *= *(\\d*)['\"]*>([^<]*) *< */a *>"));
        cached.entryCells = pattern(
            QStringLiteral("< *a +href *= *['\"]") + p +
            QStringLiteral("\\?page *= *WhereEntry&id=[^>]*> *< *font +size *=[^>]*>([^<]*)< */font *> *< */a *> "
                           "*< *br *> *< *font +color *= *[^>]*>([^<]*)< */font *> *< */td *> *< *td *>([^<]*)"
                           "< *br *> *< */td *>"));
    }
    return cached;
}

// First stretch between a match of `start` and the next match of `end`, searching from `from`.
// Empty when either is missing.
QString cutBetween(const QString& text, const QRegularExpression& start, const QRegularExpression& end,
                   qsizetype from = 0) {
    const QRegularExpressionMatch s = start.match(text, from);
    if (!s.hasMatch())
        return {};
    const QRegularExpressionMatch e = end.match(text, s.capturedEnd());
    if (!e.hasMatch())
        return {};
    return text.mid(s.capturedEnd(), e.capturedStart() - s.capturedEnd());
}

// Position behind the first match of `re` at or after `from`, or `from` when there is none.
qsizetype skipPast(const QString& text, const QRegularExpression& re, qsizetype from) {
    const QRegularExpressionMatch m = re.match(text, from);
    return m.hasMatch() ? m.capturedEnd() : from;
}

QString rowField(QStringView row, QLatin1String key) {
    const QString start = kFieldStart + key;
    const qsizetype s = row.indexOf(start);
    if (s < 0)
        return {};
    const qsizetype from = s + start.size();
    const qsizetype e = row.indexOf(kFieldEnd, from);
    return e < 0 ? QString() : row.mid(from, e - from).toString();
}

MemberRecord readRow(QStringView row, const QDate& today) {
    MemberRecord r;
    r.id = rowField(row, QLatin1String("ID=")).toInt();
    r.name = rowField(row, QLatin1String("NAME="));
    r.memo = rowField(row, QLatin1String("MEMO=")) == QStringLiteral("○");
    r.position = DecodeEntities(rowField(row, QLatin1String("POS=")));
    const QString update = rowField(row, QLatin1String("UPDATE="));
    if (!update.isEmpty())
        r.updated = readUpdateTime(update, today);
    r.contact = DecodeEntities(rowField(row, QLatin1String("TEL=")));
    applyRegistrationMarks(r);
    return r;
}

QString withoutLineBreaks(const QString& page) {
    QString text = page;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return TrimSpaces(text);
}

// Hands the transfer's outcome, page included, to a caller that asked for it.
QString fetch(const QString& url, PageResult* fetched) {
    const PageResult result = GetPage(url);
    if (fetched)
        *fetched = result;
    return result.text;
}

QChar halfWidth(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return QChar(u'0' + (u - 0xFF10));
    if (u == 0xFF0F)
        return QLatin1Char('/');
    if (u == 0xFF1A)
        return QLatin1Char(':');
    return c;
}

} // namespace

bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members) {
    members.clear();
    QString text = withoutLineBreaks(page);
    if (text.isEmpty())
        return false;
    text.remove(kFieldStart);
    text.remove(kFieldEnd);

    // Both ends of the table end in ">": the text after the last ">" is left out, so that a tail of
    // unclosed "<tr" tags does not cost a scan to the end of the page for each of them.
    text = cutBetween(text.left(text.lastIndexOf(QLatin1Char('>')) + 1), headerRow(), tableEnd());

    const ProgramPatterns& p = programPatterns(programName);
    text.replace(notRegistered(), QStringLiteral("<font size=(\\1)>登録されていません</font></a><br>"
                                                 "<font color=\"red\"></font></td>"));
    text.replace(p.memberLink, field(QStringLiteral("ID="), QStringLiteral("\\1")) +
                                   field(QStringLiteral("NAME="), QStringLiteral("\\2")));
    text.replace(memoIcon(), field(QStringLiteral("MEMO="), QStringLiteral("○")));
    text.replace(p.entryCells, field(QStringLiteral("POS="), QStringLiteral("\\1")) +
                                   field(QStringLiteral("UPDATE="), QStringLiteral("\\2")) +
                                   field(QStringLiteral("TEL="), QStringLiteral("\\3")) + kCrLf);
    text.replace(anyTag(), QString());
    text.replace(boardWeekday(), kFieldStart + QStringLiteral("UPDATE=\\1 "));

    // Every member's row ends in CR LF; what follows the last one is not a member.
    const QList<QStringView> pieces = QStringView(text).split(kCrLf);
    const QDate today = Clock::today();
    members.reserve(pieces.size() - 1);
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
        members.append(readRow(pieces.at(i), today));
    return true;
}

MemberRecord readMyPosition(const QString& page) {
    static const QRegularExpression rowStart = pattern(QStringLiteral("< *tr +bgcolor *= *['\"]?#ffffff['\"]? *>"));
    static const QRegularExpression rowEnd = pattern(QStringLiteral("< */tr *> *< */table *>"));
    static const QRegularExpression bigCell = pattern(QStringLiteral("< *td *> *< *font +size *= *\\+1>"));
    static const QRegularExpression fontEndBr = pattern(QStringLiteral("< */font *> *< *br *>"));
    static const QRegularExpression fontEnd = pattern(QStringLiteral("< */font *>"));
    static const QRegularExpression bigCellWhole =
        pattern(QStringLiteral("< *td *> *< *font +size *= *\\+1> *[^<]*< */font *>"));
    static const QRegularExpression br = pattern(QStringLiteral("< *br *>"));
    static const QRegularExpression tdEnd = pattern(QStringLiteral("< */td *>"));
    static const QRegularExpression td = pattern(QStringLiteral("< *td *>"));
    static const QRegularExpression weekday = pattern(QStringLiteral(" \\(.\\)"));

    MemberRecord r;
    const QString row = TrimSpaces(cutBetween(withoutLineBreaks(page), rowStart, rowEnd));
    r.name = cutBetween(row, bigCell, fontEndBr);
    if (r.name.isEmpty())
        return MemberRecord();

    // The name is page text: escaped, so that "佐藤(営業)" matches itself.
    const QRegularExpression nameCell =
        pattern(QStringLiteral("< *td *> *< *font +size *= *\\+1> *") + QRegularExpression::escape(r.name) +
                QStringLiteral(" *< */font *> *< *br *>"));
    qsizetype at = skipPast(row, nameCell, 0);

    const QString position = cutBetween(row, bigCell, fontEnd, at);
    if (!position.isEmpty())
        r.position = DecodeEntities(position);
    at = skipPast(row, bigCellWhole, at);

    QString updated = cutBetween(row, br, tdEnd, at);
    if (!updated.isEmpty()) {
        updated.remove(weekday);
        r.updated = readUpdateTime(updated, Clock::today());
    }
    at = skipPast(row, tdEnd, at);

    r.contact = DecodeEntities(cutBetween(row, td, br, at));
    applyRegistrationMarks(r);
    return r;
}

bool IsAutoRegistered(const QString& position, const QString& contact) {
    const auto marked = [](const QString& s) {
        return !s.isEmpty() && (s.back() == kMarkPresent || s.back() == kMarkAbsent);
    };
    return marked(position) && marked(contact);
}

void applyRegistrationMarks(MemberRecord& record) {
    record.autoRegistered = false;
    record.present = false;
    if (record.position.isEmpty() || record.contact.isEmpty())
        return;
    const QChar mark = record.position.back();
    if (mark != record.contact.back())
        return;
    if (mark == kMarkPresent) {
        record.autoRegistered = true;
        record.present = true;
    } else if (mark == kMarkAbsent) {
        record.autoRegistered = true;
    }
}

QDateTime readUpdateTime(const QString& text, const QDate& today) {
    static const QRegularExpression form(
        QStringLiteral("^(?:(\\d{4})/)?(\\d{1,2})/(\\d{1,2}) (\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    QString normal = text;
    for (QChar& c : normal)
        c = halfWidth(c);
    const QRegularExpressionMatch m = form.match(normal.simplified());
    if (!m.hasMatch())
        return {};

    const int month = m.captured(2).toInt();
    const int day = m.captured(3).toInt();
    QDate date;
    if (m.hasCaptured(1)) {
        date = QDate(m.captured(1).toInt(), month, day);
    } else {
        date = QDate(today.year(), month, day);
        if (!date.isValid() || date > today.addDays(1))
            date = QDate(today.year() - 1, month, day);
    }
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.hasCaptured(6) ? m.captured(6).toInt() : 0);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

bool GetPositionList(const ConnectionSettings& connection, GroupwareSession& session, QList<MemberRecord>& members,
                     qint32 groupId, PageResult* fetched) {
    members.clear();
    const QString page =
        fetch(connection.programUrl + QStringLiteral("?page=WhereIndex&gid=") + QString::number(groupId), fetched);
    if (!IsValidPage(page))
        return false;
    if (!readPositionList(page, connection.programName, members))
        return false;
    session.takeOwnRecordFrom(members);
    return true;
}

MemberRecord GetMyPosition(const ConnectionSettings& connection, const GroupwareSession& session, PageResult* fetched) {
    if (!session.isLoggedIn())
        return MemberRecord();
    return readMyPosition(fetch(connection.programUrl + QStringLiteral("?page=WhereEntry&id=") +
                                    QString::number(session.userId()) + QStringLiteral("&bpage=index"),
                                fetched));
}

} // namespace zelmora
