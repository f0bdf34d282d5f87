#include "groupware/BoardPage.h"

#include "net/PagePattern.h"

#include <QRegularExpression>

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelmora {

namespace {

constexpr QChar kFieldStart = BoardPage::kFieldStart;
constexpr QChar kFieldEnd = BoardPage::kFieldEnd;
const QString kCrLf = QStringLiteral("\r\n");

// The text is known to be valid UTF-16 (checked once for the page).
constexpr QRegularExpression::MatchOptions kChecked = QRegularExpression::DontCheckSubjectStringMatchOption;

// The server's patterns are matched case-insensitively, and "." never crosses a line end. Each is
// compiled and JIT-compiled once.
QRegularExpression compiled(const QString& text) {
    QRegularExpression re(QStringLiteral("(*ANYCRLF)") + text, QRegularExpression::CaseInsensitiveOption);
    re.optimize();
    return re;
}

// A pattern that only matches where the search starts ("\G"). Anchoring it in the pattern rather
// than by a match option keeps it on the JIT, which runs no match-time anchored searches.
std::shared_ptr<const PagePattern> anchored(const QString& text) {
    return std::make_shared<const PagePattern>(QStringLiteral("\\G(?:") + text + QLatin1Char(')'));
}

// Step 3: the table body, from the four-column header row to the end of the form.
const QRegularExpression& headerRow() {
    static const QRegularExpression re = compiled(QStringLiteral(
        "< *tr +bgcolor *= *[^>]*>< *th +nowrap *> *名前 *< */th *> *< *th +width *= *[^>]*> *電話メモ *< */th *> "
        "*< *th +nowrap *> *行き先 *< */th *> *< *th +nowrap *> *連絡（先） *< */th *> *< */tr *>"));
    return re;
}

const QRegularExpression& tableEnd() {
    static const QRegularExpression re =
        compiled(QStringLiteral("< */table *> *(< *img +[^>]*>[^<]*)? *(< *img +[^>]*>[^<]*)? *< */form *> *< *p *>"));
    return re;
}

// Step 4: a member without an entry has no update-time cell; it gets an empty one so that the
// whereabouts pattern reads it like any other row.
const QString kNotRegistered = QStringLiteral("登録されていません");

const PagePattern& notRegistered() {
    static const std::shared_ptr<const PagePattern> re =
        anchored(QStringLiteral("< *font +size *= *([^>]*)> *登録されていません *< */font *> *< */a *> *< *br *>"));
    return *re;
}

// Step 6: memo icons.
const PagePattern& memoIcon() {
    static const std::shared_ptr<const PagePattern> re =
        anchored(QStringLiteral("< *img +src *= *['\"]/cb4/recept\\.gif['\"] +border *= *[^>]*>"));
    return *re;
}

// Steps 5 and 7: member links and whereabouts cells name the program.
struct ProgramPatterns {
    QString programName;
    std::shared_ptr<const PagePattern> memberLink;
    std::shared_ptr<const PagePattern> entryCells;
};

ProgramPatterns programPatterns(const QString& programName) {
    static ProgramPatterns cached;
    if (cached.programName != programName || !cached.memberLink) {
        const QString p = QRegularExpression::escape(programName);
        cached.programName = programName;
        cached.memberLink = anchored(QStringLiteral("< *a +href *= *['\"]") + p +
                                     QStringLiteral("\\?page *= *OfficeInfo&id *= *(\\d*)['\"]*>([^<]*) *< */a *>"));
        cached.entryCells = anchored(
            QStringLiteral("< *a +href *= *['\"]") + p +
            QStringLiteral("\\?page *= *WhereEntry&id=[^>]*> *< *font +size *=[^>]*>([^<]*)< */font *> *< */a *> "
                           "*< *br *> *< *font +color *= *[^>]*>([^<]*)< */font *> *< */td *> *< *td *>([^<]*)"
                           "< *br *> *< */td *>"));
    }
    return cached;
}

bool isValidUtf16(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

// The first `c` of d[from, n), or n.
qsizetype findChar(const char16_t* d, qsizetype from, qsizetype n, char16_t c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; n - from >= 8; from += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + from));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, wanted)))
            return from + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    while (from < n && d[from] != c)
        ++from;
    return from;
}

// The "<tr" (any letter case) that open rows, after the first character, into `starts`. False
// when a "<" of `text` meets another "<" before a ">": only when every tag ends before the next
// begins can no match of a step reach across a "<" that opens a tag none of the patterns has, such
// as the "<tr" of a row. Every part of a pattern that may run over other characters ("[^>]*",
// "[^<]*") then stops before that "<", and the replacements keep the property (they put in field
// text without "<", or whole tags).
bool rowStarts(QStringView text, QList<qsizetype>& starts) {
    const char16_t* d = text.utf16();
    const qsizetype n = text.size();
    bool open = false;
    // One "<" or ">" at `i`: false when a "<" follows a "<".
    const auto bracket = [&](qsizetype i) {
        if (d[i] == u'>') {
            open = false;
            return true;
        }
        if (open)
            return false;
        open = true;
        if (i > 0 && i + 2 < n && (d[i + 1] | 0x20) == u't' && (d[i + 2] | 0x20) == u'r')
            starts.append(i);
        return true;
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time; only the brackets among them are looked at.
    const __m128i lt = _mm_set1_epi16(short(u'<'));
    const __m128i gt = _mm_set1_epi16(short(u'>'));
    for (; n - i >= 8; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // Two bits of the mask for each character.
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, lt), _mm_cmpeq_epi16(v, gt))));
        for (; mask; mask &= mask - 1) {
            const qsizetype at = i + std::countr_zero(mask) / 2;
            mask &= mask - 1;
            if (!bracket(at))
                return false;
        }
    }
#endif
    for (; i < n; ++i) {
        if ((d[i] == u'<' || d[i] == u'>') && !bracket(i))
            return false;
    }
    return true;
}

// True when the text holds 登録されていません, found by its first character.
bool containsNotRegistered(QStringView text) {
    for (qsizetype at = text.indexOf(kNotRegistered.front()); at >= 0;
         at = text.indexOf(kNotRegistered.front(), at + 1)) {
        if (text.mid(at, kNotRegistered.size()) == kNotRegistered)
            return true;
    }
    return false;
}

// First letter of the tag that the "<" at `at` opens, spaces skipped; 0 when the text ends.
char16_t tagLetter(QStringView text, qsizetype at) {
    qsizetype i = at + 1;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return i < text.size() ? text[i].unicode() : 0;
}

// The tags a step's pattern can begin with, by the first letter of the tag: the test, and for the
// search, every letter it lets through with bit 0x20 set.
struct TagOpening {
    bool (*opens)(char16_t);
    std::array<char16_t, 3> folded;
};

constexpr TagOpening kOpensA{[](char16_t c) { return c == u'a' || c == u'A'; }, {u'a', u'a', u'a'}};
constexpr TagOpening kOpensFont{[](char16_t c) { return c == u'f' || c == u'F'; }, {u'f', u'f', u'f'}};
// The dotted and dotless capital and small i too: the test only has to let through every tag that
// the case-insensitive pattern could match.
constexpr TagOpening kOpensImg{
    [](char16_t c) { return c == u'i' || c == u'I' || c == u'\u0130' || c == u'\u0131'; }, {u'i', u'\u0130', u'\u0131'}};

// The first "<" of d[from, n) that may open a tag of `opening`: followed by a space or by one of its
// letters, or among the last characters. n when there is none.
qsizetype findTag(const char16_t* d, qsizetype from, qsizetype n, const TagOpening& opening) {
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi16(short(u'<'));
    const __m128i space = _mm_set1_epi16(short(u' '));
    const __m128i bit = _mm_set1_epi16(0x20);
    std::array<__m128i, 3> letters;
    for (size_t k = 0; k < letters.size(); ++k)
        letters[k] = _mm_set1_epi16(short(opening.folded[k]));
    for (; n - from >= 9; from += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + from));
        const int brackets = _mm_movemask_epi8(_mm_cmpeq_epi16(v, lt));
        if (!brackets)
            continue;
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + from + 1));
        const __m128i folded = _mm_or_si128(next, bit);
        __m128i follows = _mm_cmpeq_epi16(next, space);
        for (const __m128i& letter : letters)
            follows = _mm_or_si128(follows, _mm_cmpeq_epi16(folded, letter));
        if (const int mask = brackets & _mm_movemask_epi8(follows))
            return from + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return findChar(d, from, n, u'<');
}

// One global replacement of a step whose pattern begins with "<": the pattern runs anchored at each
// "<" whose tag can begin a match, from the left, and the text after a match is searched from its
// end, as a global replacement does. `write` appends the replacement of a match. False when
// nothing matched; `out` is then left as it was.
template <typename Write>
bool replaceTags(QStringView in, QString& out, const PagePattern& re, PageMatch& m, const TagOpening& opening,
                 Write write) {
    const char16_t* d = in.utf16();
    const qsizetype n = in.size();
    qsizetype copied = 0;
    bool any = false;
    for (qsizetype at = findTag(d, 0, n, opening); at < n; at = findTag(d, at + 1, n, opening)) {
        if (!opening.opens(tagLetter(in, at)))
            continue;
        if (!re.match(in, at, m))
            continue;
        if (!any) {
            out.resize(0);
            any = true;
        }
        out.append(in.mid(copied, at - copied));
        write(out, m);
        copied = m.capturedEnd();
        at = copied - 1;
    }
    if (any)
        out.append(in.mid(copied));
    return any;
}

void appendField(QString& out, QLatin1String key, QStringView value) {
    out.append(kFieldStart);
    out.append(key);
    out.append(value);
    out.append(kFieldEnd);
}

// Step 8: every remaining tag removed ("<[^>]*>" by nothing): a "<" and all up to the next ">".
bool stripTags(QStringView in, QString& out) {
    const char16_t* d = in.utf16();
    const qsizetype n = in.size();
    qsizetype open = findChar(d, 0, n, u'<');
    qsizetype close = findChar(d, open, n, u'>');
    if (close >= n)
        return false;
    out.resize(0);
    qsizetype copied = 0;
    while (close < n) {
        out.append(in.mid(copied, open - copied));
        copied = close + 1;
        open = findChar(d, copied, n, u'<');
        close = open < n ? findChar(d, open + 1, n, u'>') : n;
    }
    out.append(in.mid(copied));
    return true;
}

// Step 9: the weekday dropped from the update time, ‹S›"UPDATE=([^\(‹E›]*)\(.\)" by ‹S›"UPDATE=$1 ".
// The value runs to the first "(" or field end; "." is one character other than CR and LF. The
// pattern ignores case, and the markers are letters (þ and ÿ): their capitals Þ and Ÿ, which page
// text may hold, count as markers here.
bool isFieldStart(QChar c) {
    return c == kFieldStart || c == QChar(0x00DE);
}
bool isFieldEnd(QChar c) {
    return c == kFieldEnd || c == QChar(0x0178);
}

bool dropWeekdays(QStringView in, QString& out) {
    static const QLatin1String key("UPDATE=");
    qsizetype copied = 0;
    bool any = false;
    for (qsizetype at = 0; at < in.size(); ++at) {
        // No character but "U" and "u" is "U" ignoring case: the key is compared only after one.
        if (!isFieldStart(in[at]) || at + 1 >= in.size() || (in[at + 1].unicode() | 0x20) != u'u' ||
            in.mid(at + 1, key.size()).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype open = at + 1 + key.size();
        while (open < in.size() && in[open] != QLatin1Char('(') && !isFieldEnd(in[open]))
            ++open;
        if (open + 2 >= in.size() || in[open] != QLatin1Char('('))
            continue;
        qsizetype close = open + 1;
        const QChar c = in[close];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        close += c.isHighSurrogate() ? 2 : 1;
        if (close >= in.size() || in[close] != QLatin1Char(')'))
            continue;
        if (!any) {
            out.resize(0);
            any = true;
        }
        out.append(in.mid(copied, open - copied));
        out.append(QLatin1Char(' '));
        copied = close + 1;
        at = close;
    }
    if (any)
        out.append(in.mid(copied));
    return any;
}

// Step 2 into `out`: the page without CR, LF and the two field markers; returns the length. Most
// blocks of the page hold none of them and are copied whole.
qsizetype withoutLineBreaks(const QString& page, QChar* out, bool& printed, bool& surrogate) {
    const char16_t* from = reinterpret_cast<const char16_t*>(page.constData());
    char16_t* to = reinterpret_cast<char16_t*>(out);
    const qsizetype size = page.size();
    const auto dropped = [](char16_t c) {
        return c == u'\r' || c == u'\n' || c == kFieldStart.unicode() || c == kFieldEnd.unicode();
    };
    const auto one = [&](char16_t c, qsizetype& n) {
        const bool lineBreak = c == u'\r' || c == u'\n';
        printed |= !lineBreak && c != u' ';
        surrogate |= (c & 0xF800) == 0xD800;
        to[n] = c;
        n += !dropped(c);
    };
    qsizetype n = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time, stored whole and then, where one of them is dropped, again one
    // by one.
    const auto equal = [](__m128i v, char16_t c) { return _mm_cmpeq_epi16(v, _mm_set1_epi16(short(c))); };
    const auto masked = [](__m128i v, char16_t bits) { return _mm_and_si128(v, _mm_set1_epi16(short(bits))); };
    __m128i anyPrinted = _mm_setzero_si128();
    __m128i anySurrogate = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        const __m128i lineBreak = _mm_or_si128(equal(v, u'\r'), equal(v, u'\n'));
        const __m128i marker = equal(masked(v, 0xFFFE), kFieldStart.unicode());
        anyPrinted = _mm_or_si128(anyPrinted, _mm_andnot_si128(_mm_or_si128(lineBreak, equal(v, u' ')),
                                                               _mm_set1_epi16(-1)));
        anySurrogate = _mm_or_si128(anySurrogate, equal(masked(v, 0xF800), 0xD800));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n), v);
        if (!_mm_movemask_epi8(_mm_or_si128(lineBreak, marker))) {
            n += 8;
            continue;
        }
        for (qsizetype k = 0; k < 8; ++k) {
            to[n] = from[i + k];
            n += !dropped(from[i + k]);
        }
    }
    printed |= _mm_movemask_epi8(anyPrinted) != 0;
    surrogate |= _mm_movemask_epi8(anySurrogate) != 0;
#endif
    constexpr qsizetype kBlock = 32;
    for (; i + kBlock <= size; i += kBlock) {
        // Bitwise, without branches, so that the compiler makes vector code of it.
        unsigned drop = 0;
        unsigned text = 0;
        unsigned high = 0;
        for (qsizetype k = 0; k < kBlock; ++k) {
            const unsigned c = from[i + k];
            drop |= unsigned(c == u'\r') | unsigned(c == u'\n') | unsigned((c & 0xFFFE) == 0x00FE);
            text |= unsigned(c != u' ');
            high |= unsigned((c & 0xF800) == 0xD800);
        }
        if (drop) {
            for (qsizetype k = 0; k < kBlock; ++k)
                one(from[i + k], n);
        } else {
            std::memcpy(to + n, from + i, kBlock * sizeof(char16_t));
            n += kBlock;
            printed |= text;
            surrogate |= high;
        }
    }
    for (; i < size; ++i)
        one(from[i], n);
    return n;
}

} // namespace

BoardPage::BoardPage(const QString& programName) {
    const ProgramPatterns p = programPatterns(programName);
    m_memberLink = p.memberLink;
    m_entryCells = p.entryCells;
    m_rowPieces = !programName.contains(QLatin1Char('<')) && !programName.contains(QLatin1Char('>'));
}

bool BoardPage::read(const QString& page, const std::function<void(QStringView)>& row,
                     const std::function<void()>& pause, PieceMemo* memo) {
    const auto between = [&pause] {
        if (pause)
            pause();
    };
    // Step 2: the line breaks out. The field markers go too, so that page text can never forge a
    // field. Spaces around the text need no trimming: no pattern begins or ends with one, so the
    // table is cut out of the text the same with them.
    QString text(page.size(), Qt::Uninitialized);
    bool printed = false;   // a character other than a space or a line break
    bool surrogate = false; // worth a closer look below
    const qsizetype n = withoutLineBreaks(page, text.data(), printed, surrogate);
    if (!printed)
        return false;
    text.truncate(n);
    if (memo)
        memo->begin(text);
    between();

    // Step 3. Both ends of the table end in ">": the text after the last ">" is left out, so that a
    // tail of unclosed "<tr" tags does not cost a scan to the end of the page for each of them. A
    // text the pattern engine refuses (a lone surrogate) has no table.
    const QStringView tagged = QStringView(text).left(text.lastIndexOf(QLatin1Char('>')) + 1);
    if (surrogate && !isValidUtf16(tagged))
        return true;
    const QRegularExpressionMatch header = headerRow().match(tagged, 0, QRegularExpression::NormalMatch, kChecked);
    if (!header.hasMatch())
        return true;
    const QRegularExpressionMatch end =
        tableEnd().match(tagged, header.capturedEnd(), QRegularExpression::NormalMatch, kChecked);
    if (!end.hasMatch())
        return true;
    const QStringView table = tagged.mid(header.capturedEnd(), end.capturedStart() - header.capturedEnd());

    m_row = &row;
    m_pending.resize(0);
    QList<qsizetype> starts;
    const bool rows = m_rowPieces && rowStarts(table, starts);
    between();
    if (rows) {
        qsizetype start = 0;
        for (qsizetype i = 0; i < starts.size(); ++i) {
            piece(i, table.mid(start, starts.at(i) - start), memo);
            start = starts.at(i);
        }
        piece(starts.size(), table.mid(start), memo);
    } else {
        piece(0, table, memo);
    }
    // What follows the last row's end is not a member.
    m_row = nullptr;
    return true;
}

void BoardPage::piece(qsizetype index, QStringView text, PieceMemo* memo) {
    // A piece is all a row of it depends on when no row is open before it: m_pending is the only
    // state carried from one piece to the next.
    const bool closedBefore = m_pending.isEmpty();
    if (memo && closedBefore && memo->known(index, text))
        return;
    workPiece(text);
    if (memo)
        memo->worked(index, text, closedBefore && m_pending.isEmpty());
}

void BoardPage::workPiece(QStringView piece) {
    if (piece.isEmpty())
        return;
    QStringView text = piece;
    int free = 0; // the buffer that does not hold `text`
    const auto took = [&](bool changed) {
        if (changed) {
            text = m_buffer[free];
            free = 1 - free;
        }
    };

    // Step 4.
    if (containsNotRegistered(text)) {
        took(replaceTags(text, m_buffer[free], notRegistered(), m_match, kOpensFont, [](QString& out, const auto& m) {
            out.append(QLatin1String("<font size=("));
            out.append(m.captured(1));
            out.append(QStringLiteral(")>登録されていません</font></a><br><font color=\"red\"></font></td>"));
        }));
    }
    // Step 5: ‹S›"ID=$1"‹E›‹S›"NAME=$2"‹E›.
    took(replaceTags(text, m_buffer[free], *m_memberLink, m_match, kOpensA, [](QString& out, const auto& m) {
        appendField(out, QLatin1String("ID="), m.captured(1));
        appendField(out, QLatin1String("NAME="), m.captured(2));
    }));
    // Step 6: ‹S›"MEMO=○"‹E›.
    took(replaceTags(text, m_buffer[free], memoIcon(), m_match, kOpensImg,
                     [](QString& out, const auto&) { appendField(out, QLatin1String("MEMO="), u"○"); }));
    // Step 7: ‹S›"POS=$1"‹E›‹S›"UPDATE=$2"‹E›‹S›"TEL=$3"‹E› and CR LF, the end of a member's row.
    took(replaceTags(text, m_buffer[free], *m_entryCells, m_match, kOpensA, [](QString& out, const auto& m) {
        appendField(out, QLatin1String("POS="), m.captured(1));
        appendField(out, QLatin1String("UPDATE="), m.captured(2));
        appendField(out, QLatin1String("TEL="), m.captured(3));
        out.append(kCrLf);
    }));
    took(stripTags(text, m_buffer[free]));    // step 8
    took(dropWeekdays(text, m_buffer[free])); // step 9
    emitRows(text);
}

// Step 10: the rows end in CR LF; a row may begin in an earlier piece.
void BoardPage::emitRows(QStringView text) {
    qsizetype from = 0;
    for (qsizetype end = text.indexOf(QLatin1Char('\r')); end >= 0; end = text.indexOf(QLatin1Char('\r'), end + 1)) {
        if (end + 1 >= text.size() || text[end + 1] != QLatin1Char('\n'))
            continue;
        if (m_pending.isEmpty()) {
            (*m_row)(text.mid(from, end - from));
        } else {
            m_pending.append(text.mid(from, end - from));
            (*m_row)(m_pending);
            m_pending.resize(0);
        }
        from = end + 2;
        end = from - 1;
    }
    m_pending.append(text.mid(from));
}

} // namespace zelmora
