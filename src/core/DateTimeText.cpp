#include "core/DateTimeText.h"

#include <QVarLengthArray>

#include <limits>
#include <optional>

// The grammar, after full-width forms are made half-width (digits, letters, "／", "－", "：", the
// ideographic space) and letters are compared without case:
//
//   text     = [sp] date [[sp] time] [sp]  |  [sp] time [[sp] date] [sp]
//   date     = n "/" n ["/" n]  |  n "-" n ["-" n]                   (one separator throughout)
//            | n "年" [sp] n "月" [sp] [n "日"]  |  n "月" [sp] n "日"
//   time     = [ampm [sp]] clock [[sp] ampm]                          (at most one ampm)
//   clock    = n ":" n [":" n]  |  n "時" [sp] [n "分" [sp] [n "秒"]]  |  n   (the last only with ampm)
//   ampm     = "AM" | "PM" | "午前" | "午後"
//   n        = 1 to 4 digits;  sp = a run of spaces
//
// Numbers of a date with separators are read year/month/day; when that is no date, month/day/year
// and then day/month/year. A number of three or four digits can only be the year, so "2002/6" is
// the first of June 2002. Two numbers without such a year are month/day (then day/month) in the year
// that readDateTime's rule gives. Years of one or two digits are 2000-2029 for 0-29 and 1930-1999
// for 30-99. Hours run 0-23, or 0-12 with ampm (12 AM is midnight, 12 PM noon); minutes and seconds
// 0-59.

namespace zelmora {

namespace {

struct Token {
    enum Kind { Number, Separator, AmPm, Unit, Space };
    Kind kind = Space;
    int value = 0;     // Number: the value; AmPm: 1 for the afternoon
    int digits = 0;    // Number
    char16_t what = 0; // Separator, Unit: the character
};

using Tokens = QVarLengthArray<Token, 16>;

char16_t halfWidth(char16_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E)
        return char16_t(c - 0xFF01 + 0x21);
    if (c == 0x3000)
        return u' ';
    return c;
}

bool isUnit(char16_t c) {
    return c == u'年' || c == u'月' || c == u'日' || c == u'時' || c == u'分' || c == u'秒';
}

// The tokens of `text`, or nothing when it holds a character that no date or time has.
std::optional<Tokens> tokenize(QStringView text) {
    Tokens tokens;
    qsizetype i = 0;
    const auto at = [&](qsizetype k) { return k < text.size() ? halfWidth(text.at(k).unicode()) : char16_t(0); };
    while (i < text.size()) {
        const char16_t c = at(i);
        Token t;
        if (c >= u'0' && c <= u'9') {
            t.kind = Token::Number;
            for (; at(i) >= u'0' && at(i) <= u'9'; ++i) {
                if (++t.digits > 4)
                    return std::nullopt;
                t.value = t.value * 10 + (at(i) - u'0');
            }
        } else if (c == u' ') {
            while (at(i) == u' ')
                ++i;
        } else if (c == u'/' || c == u'-' || c == u':') {
            t = {Token::Separator, 0, 0, c};
            ++i;
        } else if (isUnit(c)) {
            t = {Token::Unit, 0, 0, c};
            ++i;
        } else if ((c == u'午') && (at(i + 1) == u'前' || at(i + 1) == u'後')) {
            t = {Token::AmPm, at(i + 1) == u'後' ? 1 : 0, 0, 0};
            i += 2;
        } else if ((c | 0x20) == u'a' || (c | 0x20) == u'p') {
            if ((at(i + 1) | 0x20) != u'm')
                return std::nullopt;
            t = {Token::AmPm, (c | 0x20) == u'p' ? 1 : 0, 0, 0};
            i += 2;
        } else {
            return std::nullopt;
        }
        if (tokens.size() == 24)
            return std::nullopt;
        tokens.append(t);
    }
    return tokens;
}

// Walks the tokens; every parse function moves on only when it succeeds.
class Parser {
public:
    explicit Parser(const Tokens& tokens) : m_t(tokens) {}

    bool atEnd() const { return m_pos >= m_t.size(); }
    void skipSpace() { m_pos += is(Token::Space) ? 1 : 0; }

    std::optional<QDate> date(const QDate& today) {
        const qsizetype start = m_pos;
        std::optional<QDate> d = separatedDate(today);
        if (!d) {
            m_pos = start;
            d = kanjiDate(today);
        }
        if (!d)
            m_pos = start;
        return d;
    }

    std::optional<QTime> time() {
        const qsizetype start = m_pos;
        int half = -1;
        if (is(Token::AmPm)) {
            half = m_t[m_pos++].value;
            skipSpace();
        }
        std::optional<QTime> t = clock(half);
        if (!t)
            m_pos = start;
        return t;
    }

private:
    bool is(Token::Kind kind, char16_t what = 0) const {
        return m_pos < m_t.size() && m_t[m_pos].kind == kind && (!what || m_t[m_pos].what == what);
    }
    std::optional<Token> number() {
        if (!is(Token::Number))
            return std::nullopt;
        return m_t[m_pos++];
    }
    bool take(Token::Kind kind, char16_t what) {
        if (!is(kind, what))
            return false;
        ++m_pos;
        return true;
    }

    std::optional<QDate> separatedDate(const QDate& today) {
        const std::optional<Token> a = number();
        if (!a || !is(Token::Separator) || m_t[m_pos].what == u':')
            return std::nullopt;
        const char16_t sep = m_t[m_pos++].what;
        const std::optional<Token> b = number();
        if (!b)
            return std::nullopt;
        if (!take(Token::Separator, sep))
            return twoNumberDate(*a, *b, today);
        const std::optional<Token> c = number();
        if (!c)
            return std::nullopt;
        return threeNumberDate(*a, *b, *c);
    }

    std::optional<QDate> kanjiDate(const QDate& today) {
        const std::optional<Token> a = number();
        if (!a)
            return std::nullopt;
        if (take(Token::Unit, u'月')) {
            skipSpace();
            const std::optional<Token> d = number();
            if (!d || !take(Token::Unit, u'日'))
                return std::nullopt;
            return yearless(a->value, d->value, today);
        }
        if (!take(Token::Unit, u'年'))
            return std::nullopt;
        skipSpace();
        const std::optional<Token> m = number();
        if (!m || !take(Token::Unit, u'月'))
            return std::nullopt;
        const qsizetype afterMonth = m_pos;
        skipSpace();
        int day = 1;
        if (const std::optional<Token> d = number(); d && take(Token::Unit, u'日'))
            day = d->value;
        else
            m_pos = afterMonth;
        return valid(fullYear(*a), m->value, day);
    }

    std::optional<QTime> clock(int half) {
        const std::optional<Token> h = number();
        if (!h || h->digits > 2)
            return std::nullopt;
        int minute = 0;
        int second = 0;
        if (take(Token::Separator, u':')) {
            const std::optional<Token> m = number();
            if (!m || m->digits > 2)
                return std::nullopt;
            minute = m->value;
            if (take(Token::Separator, u':')) {
                const std::optional<Token> s = number();
                if (!s || s->digits > 2)
                    return std::nullopt;
                second = s->value;
            }
        } else if (take(Token::Unit, u'時')) {
            kanjiMinutes(minute, second);
        } else if (half < 0 && !nextIsAmPm()) {
            return std::nullopt;
        }
        if (half < 0 && nextIsAmPm()) {
            skipSpace();
            half = m_t[m_pos++].value;
        }
        return timeOf(h->value, minute, second, half);
    }

    void kanjiMinutes(int& minute, int& second) {
        const qsizetype start = m_pos;
        skipSpace();
        const std::optional<Token> m = number();
        if (!m || m->digits > 2 || !take(Token::Unit, u'分')) {
            m_pos = start;
            return;
        }
        minute = m->value;
        const qsizetype afterMinutes = m_pos;
        skipSpace();
        const std::optional<Token> s = number();
        if (!s || s->digits > 2 || !take(Token::Unit, u'秒')) {
            m_pos = afterMinutes;
            return;
        }
        second = s->value;
    }

    bool nextIsAmPm() const {
        const qsizetype k = m_pos + (is(Token::Space) ? 1 : 0);
        return k < m_t.size() && m_t[k].kind == Token::AmPm;
    }

    static std::optional<QTime> timeOf(int hour, int minute, int second, int half) {
        if (half >= 0) {
            if (hour > 12)
                return std::nullopt;
            hour = hour % 12 + (half == 1 ? 12 : 0);
        }
        const QTime t(hour, minute, second);
        return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
    }

    static int fullYear(const Token& year) {
        if (year.digits > 2)
            return year.value;
        return year.value < 30 ? 2000 + year.value : 1900 + year.value;
    }

    static std::optional<QDate> valid(int year, int month, int day) {
        if (year < 100)
            return std::nullopt;
        const QDate d(year, month, day);
        return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
    }

    static std::optional<QDate> yearless(int month, int day, const QDate& today) {
        std::optional<QDate> d = valid(today.year(), month, day);
        if (!d || *d > today.addDays(1))
            d = valid(today.year() - 1, month, day);
        return d;
    }

    static std::optional<QDate> twoNumberDate(const Token& a, const Token& b, const QDate& today) {
        if (a.digits > 2)
            return valid(fullYear(a), b.value, 1);
        if (b.digits > 2)
            return valid(fullYear(b), a.value, 1);
        if (std::optional<QDate> d = yearless(a.value, b.value, today))
            return d;
        return yearless(b.value, a.value, today);
    }

    static std::optional<QDate> threeNumberDate(const Token& a, const Token& b, const Token& c) {
        // A long number is the year wherever it stands; the others must then be short.
        if (b.digits > 2 || (a.digits > 2 && c.digits > 2))
            return std::nullopt;
        if (c.digits <= 2)
            if (std::optional<QDate> d = valid(fullYear(a), b.value, c.value))
                return d;
        if (a.digits > 2)
            return std::nullopt;
        if (std::optional<QDate> d = valid(fullYear(c), a.value, b.value))
            return d;
        return valid(fullYear(c), b.value, a.value);
    }

    const Tokens& m_t;
    qsizetype m_pos = 0;
};

// A local time of `zone`. Made from the zone's rules, each value costs a search of its transitions;
// between two transitions the offset is one, so the span around the last value made that way is
// kept, and a time a day or more inside it is made with its offset: the same date, time and moment.
// Near a transition, where a local time may be missing or twice, the zone decides.
QDateTime zonedDateTime(const QDate& day, const QTime& at, const QTimeZone& zone) {
    struct Span {
        QTimeZone zone;
        qint64 fromMs = 0; // UTC
        qint64 toMs = 0;
        int offsetSeconds = 0;
    };
    static thread_local std::optional<Span> last;
    constexpr qint64 kDayMs = 24 * 3600 * 1000;
    const qint64 wallMs = QDateTime(day, at, Qt::UTC).toMSecsSinceEpoch();
    if (last && last->zone == zone) {
        const qint64 utcMs = wallMs - qint64(last->offsetSeconds) * 1000;
        if (utcMs - kDayMs >= last->fromMs && utcMs + kDayMs < last->toMs)
            return QDateTime(day, at, Qt::OffsetFromUTC, last->offsetSeconds);
    }
    const QDateTime made(day, at, zone);
    if (!made.isValid())
        return made;
    constexpr qint64 kNever = std::numeric_limits<qint64>::max();
    const QTimeZone::OffsetData before = zone.previousTransition(made.addMSecs(1)); // at or before
    const QTimeZone::OffsetData after = zone.nextTransition(made);
    last = Span{zone, before.atUtc.isValid() ? before.atUtc.toMSecsSinceEpoch() : -kNever,
                after.atUtc.isValid() ? after.atUtc.toMSecsSinceEpoch() : kNever, made.offsetFromUtc()};
    return made;
}

} // namespace

QDateTime readDateTime(QStringView text, const QDate& today, const QTimeZone& zone) {
    const std::optional<Tokens> tokens = tokenize(text);
    if (!tokens)
        return {};
    Parser p(*tokens);
    p.skipSpace();
    std::optional<QDate> date = p.date(today);
    std::optional<QTime> time;
    if (date) {
        p.skipSpace();
        if (!p.atEnd() && !(time = p.time()))
            return {};
    } else {
        time = p.time();
        if (!time)
            return {};
        p.skipSpace();
        if (!p.atEnd() && !(date = p.date(today)))
            return {};
    }
    p.skipSpace();
    if (!p.atEnd())
        return {};
    const QDate day = date.value_or(QDate(1899, 12, 30));
    const QTime at = time.value_or(QTime(0, 0));
    // The zero day at midnight is the empty date value.
    if (day == QDate(1899, 12, 30) && at == QTime(0, 0))
        return {};
    return zone.isValid() ? zonedDateTime(day, at, zone) : QDateTime(day, at);
}

QTime readTimeOfDay(QStringView text) {
    const std::optional<Tokens> tokens = tokenize(text);
    if (!tokens)
        return {};
    Parser p(*tokens);
    p.skipSpace();
    const std::optional<QTime> time = p.time();
    p.skipSpace();
    return time && p.atEnd() ? *time : QTime();
}

} // namespace zelmora
