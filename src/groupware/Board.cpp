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

#include <optional>

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
// Takes the records of an earlier read over for the pieces that come back unchanged, and notes
// where this read's pieces stand and which records each gave.
class PieceReuse : public BoardPage::PieceMemo {
public:
    PieceReuse(const BoardMemo::Entry* last, BoardMemo::Pieces& next, QList<MemberRecord>& members,
               const std::function<void()>& betweenRows)
        : m_last(last), m_next(next), m_members(members), m_betweenRows(betweenRows) {}

    void begin(const QString& text) override {
        m_next.text = text;
        m_next.spans.clear();
    }

    bool known(qsizetype index, QStringView piece) override {
        if (!m_last || index >= m_last->pieces.spans.size())
            return false;
        const BoardMemo::Pieces::Span& span = m_last->pieces.spans.at(index);
        if (span.at < 0 || QStringView(m_last->pieces.text).mid(span.at, span.length) != piece)
            return false;
        for (qsizetype i = span.first; i < span.first + span.count; ++i)
            m_members.append(m_last->members.at(i));
        note(index, piece, true);
        if (m_betweenRows)
            m_betweenRows();
        return true;
    }

    void worked(qsizetype index, QStringView piece, bool closed) override { note(index, piece, closed); }

private:
    void note(qsizetype index, QStringView piece, bool closed) {
        const qsizetype first = m_recorded;
        m_recorded = m_members.size();
        const qsizetype at = piece.data() - m_next.text.constData();
        if (!closed || at < 0 || at + piece.size() > m_next.text.size())
            return;
        if (m_next.spans.size() <= index)
            m_next.spans.resize(index + 1);
        m_next.spans[index] = {at, piece.size(), first, m_recorded - first};
    }

    const BoardMemo::Entry* m_last;
    BoardMemo::Pieces& m_next;
    QList<MemberRecord>& m_members;
    const std::function<void()>& m_betweenRows;
    qsizetype m_recorded = 0; // records before the piece being worked
};
} // namespace

bool readPositionList(const BoardMemo::Key& key, QList<MemberRecord>& members, const BoardMemo::Entry* last,
                      BoardMemo::Pieces* pieces, const std::function<void()>& betweenRows) {
    members.clear();
    BoardPage board(key.programName);
    BoardMemo::Pieces unused;
    PieceReuse reuse(last && last->key.sameReading(key) ? last : nullptr, pieces ? *pieces : unused, members,
                     betweenRows);
    // Step 11, for each row: the fields, then the events that came meanwhile.
    return board.read(
        key.page,
        [&](QStringView row) {
            members.append(readRow(row, key.today, key.zone));
            if (betweenRows)
                betweenRows();
        },
        betweenRows, pieces || last ? &reuse : nullptr);
}

bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members,
                      const std::function<void()>& betweenRows) {
    return readPositionList({page, programName, Clock::today(), QTimeZone::systemTimeZone()}, members, nullptr,
                            nullptr, betweenRows);
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
    // passed the page check then. The last read is copied (its texts and lists are shared): the
    // events processed between the rows may store another.
    const BoardMemo::Key key{page, connection.programName, Clock::today(), QTimeZone::systemTimeZone()};
    const BoardMemo::Entry* found = session.boardMemo().find(groupId);
    const std::optional<BoardMemo::Entry> last = found ? std::optional(*found) : std::nullopt;
    if (last && last->key == key) {
        members = last->members;
        session.takeOwnRecordFrom(members);
        return true;
    }
    if (!IsValidPage(page))
        return false;
    RowBreaks breaks;
    breaks();
    BoardMemo::Entry next{key, {}, {}};
    if (!readPositionList(key, members, last ? &*last : nullptr, &next.pieces, std::ref(breaks)))
        return false;
    next.members = members;
    session.boardMemo().store(groupId, next);
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
