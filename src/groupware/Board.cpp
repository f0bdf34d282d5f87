#include "groupware/Board.h"

#include "core/Clock.h"
#include "core/DateTimeText.h"
#include "core/Settings.h"
#include "groupware/BoardPage.h"
#include "groupware/GroupwareSession.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimeZone>

namespace zelmora {

namespace {

constexpr QChar kFieldStart = BoardPage::kFieldStart;
constexpr QChar kFieldEnd = BoardPage::kFieldEnd;

// The server's patterns are matched case-insensitively, and "." never crosses a line end.
QRegularExpression pattern(const QString& text) {
    QRegularExpression re(QStringLiteral("(*ANYCRLF)") + text, QRegularExpression::CaseInsensitiveOption);
    re.optimize();
    return re;
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

// Step 11: each field is the value after the first field start followed by its key, up to the
// next field end (empty without one). The keys begin with different letters, so one pass over the
// field starts finds all six.
MemberRecord readRow(QStringView row, const QDate& today, const QTimeZone& zone) {
    enum Field { Id, Name, Memo, Position, Update, Contact, FieldCount };
    static const QLatin1String keys[FieldCount] = {QLatin1String("ID="),     QLatin1String("NAME="),
                                                   QLatin1String("MEMO="),   QLatin1String("POS="),
                                                   QLatin1String("UPDATE="), QLatin1String("TEL=")};
    QStringView values[FieldCount];
    bool found[FieldCount] = {};
    int left = FieldCount;
    for (qsizetype s = row.indexOf(kFieldStart); s >= 0 && left > 0; s = row.indexOf(kFieldStart, s + 1)) {
        const QStringView rest = row.mid(s + 1);
        if (rest.isEmpty())
            break;
        for (int k = 0; k < FieldCount; ++k) {
            if (found[k] || rest.front() != QLatin1Char(keys[k].front()) || !rest.startsWith(keys[k]))
                continue;
            found[k] = true;
            --left;
            const qsizetype from = s + 1 + keys[k].size();
            const qsizetype e = row.indexOf(kFieldEnd, from);
            if (e >= 0)
                values[k] = row.mid(from, e - from);
            break;
        }
    }
    MemberRecord r;
    r.id = values[Id].toInt();
    r.name = values[Name].toString();
    r.memo = values[Memo] == u"○";
    r.position = DecodeEntities(values[Position].toString());
    if (!values[Update].isEmpty())
        r.updated = readDateTime(values[Update], today, zone);
    r.contact = DecodeEntities(values[Contact].toString());
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

// The waiting events, processed while a board is read: once the page has been checked, then
// whenever a few milliseconds have passed (between the passes over a large page and between its
// rows), so that the window stays alive while processing costs little beside the reading itself.
class RowBreaks {
public:
    void operator()() {
        if (m_since.isValid() && m_since.elapsed() < kSliceMs)
            return;
        QCoreApplication::processEvents();
        m_since.start();
    }

private:
    static constexpr qint64 kSliceMs = 5;
    QElapsedTimer m_since;
};

} // namespace

namespace {
bool readBoard(const QString& page, const QString& programName, const QDate& today, const QTimeZone& zone,
               QList<MemberRecord>& members, const std::function<void()>& betweenRows) {
    members.clear();
    BoardPage board(programName);
    // Step 11, for each row: the fields, then the events that came meanwhile.
    return board.read(
        page,
        [&](QStringView row) {
            members.append(readRow(row, today, zone));
            if (betweenRows)
                betweenRows();
        },
        betweenRows);
}
} // namespace

bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members,
                      const std::function<void()>& betweenRows) {
    return readBoard(page, programName, Clock::today(), QTimeZone::systemTimeZone(), members, betweenRows);
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
        r.updated = readDateTime(updated, Clock::today(), QTimeZone::systemTimeZone());
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

bool GetPositionList(const ConnectionSettings& connection, GroupwareSession& session, QList<MemberRecord>& members,
                     qint32 groupId, PageResult* fetched) {
    members.clear();
    const QString page =
        fetch(connection.programUrl + QStringLiteral("?page=WhereIndex&gid=") + QString::number(groupId), fetched);
    // The same page as last time, read on the same day in the same zone, holds the same records. It
    // passed the page check then.
    const BoardMemo::Key key{page, connection.programName, Clock::today(), QTimeZone::systemTimeZone()};
    if (const QList<MemberRecord>* known = session.boardMemo().find(groupId, key)) {
        members = *known;
        session.takeOwnRecordFrom(members);
        return true;
    }
    if (!IsValidPage(page))
        return false;
    RowBreaks breaks;
    breaks();
    if (!readBoard(page, connection.programName, key.today, key.zone, members, std::ref(breaks)))
        return false;
    session.boardMemo().store(groupId, key, members);
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
