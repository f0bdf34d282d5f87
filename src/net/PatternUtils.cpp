#include "net/PatternUtils.h"

#include "net/PageWalker.h"

#include <QCache>
#include <QHashFunctions>
#include <QtDebug>

namespace zelmora {

namespace {

struct PatternKey {
    QString pattern;
    bool ignoreCase = false;

    bool operator==(const PatternKey&) const = default;
};

size_t qHash(const PatternKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.pattern, key.ignoreCase);
}

// Enough for every fixed pattern of the page readers plus the ones built around user names.
constexpr int kCacheSize = 512;

struct Span {
    qsizetype start = -1;
    qsizetype end = -1;

    bool found() const { return start >= 0; }
};

Span firstMatch(QStringView text, const QString& pattern, bool ignoreCase) {
    const QRegularExpression re = cachedRegExp(pattern, ignoreCase);
    if (!re.isValid()) {
        return {};
    }
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) {
        return {};
    }
    return {m.capturedStart(), m.capturedEnd()};
}

QList<Span> allMatches(QStringView text, const QString& pattern, bool ignoreCase) {
    QList<Span> spans;
    const QRegularExpression re = cachedRegExp(pattern, ignoreCase);
    if (!re.isValid()) {
        return spans;
    }
    QRegularExpressionMatchIterator it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        spans.append({m.capturedStart(), m.capturedEnd()});
    }
    return spans;
}

// One element of a parsed replacement text.
struct ReplacementPart {
    enum Kind { Literal, Group, Before, After };
    Kind kind = Literal;
    QString literal;
    int group = 0; // Group: 0 is the whole match
};

// "$nn" takes two digits when that group exists, else "$n" with one digit when that one exists;
// anything else after "$" is literal, as the scripting engines do it.
QList<ReplacementPart> parseReplacement(const QString& replacement, int captureCount) {
    QList<ReplacementPart> parts;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty()) {
            parts.append({ReplacementPart::Literal, literal, 0});
            literal.clear();
        }
    };
    auto digit = [&](qsizetype i) -> int {
        if (i >= replacement.size()) {
            return -1;
        }
        const char16_t c = replacement.at(i).unicode();
        return (c >= u'0' && c <= u'9') ? int(c - u'0') : -1;
    };
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement.at(i);
        if (c != QLatin1Char('$') || i + 1 >= n) {
            literal += c;
            continue;
        }
        const QChar next = replacement.at(i + 1);
        if (next == QLatin1Char('$')) {
            literal += c;
            ++i;
            continue;
        }
        ReplacementPart::Kind special = ReplacementPart::Literal;
        if (next == QLatin1Char('&')) {
            special = ReplacementPart::Group;
        } else if (next == QLatin1Char('`')) {
            special = ReplacementPart::Before;
        } else if (next == QLatin1Char('\'')) {
            special = ReplacementPart::After;
        }
        if (special != ReplacementPart::Literal) {
            flush();
            parts.append({special, QString(), 0});
            ++i;
            continue;
        }
        const int d1 = digit(i + 1);
        const int d2 = digit(i + 2);
        int group = -1;
        int used = 0;
        if (d1 >= 0 && d2 >= 0 && d1 * 10 + d2 >= 1 && d1 * 10 + d2 <= captureCount) {
            group = d1 * 10 + d2;
            used = 2;
        } else if (d1 >= 1 && d1 <= captureCount) {
            group = d1;
            used = 1;
        }
        if (group < 0) {
            literal += c;
            continue;
        }
        flush();
        parts.append({ReplacementPart::Group, QString(), group});
        i += used;
    }
    flush();
    return parts;
}

void appendExpansion(QString& out, const QList<ReplacementPart>& parts, const QRegularExpressionMatch& m,
                     const QString& text) {
    for (const ReplacementPart& part : parts) {
        switch (part.kind) {
        case ReplacementPart::Literal:
            out += part.literal;
            break;
        case ReplacementPart::Group:
            out += m.capturedView(part.group);
            break;
        case ReplacementPart::Before:
            out += QStringView(text).left(m.capturedStart());
            break;
        case ReplacementPart::After:
            out += QStringView(text).mid(m.capturedEnd());
            break;
        }
    }
}

// Text between the first two `quote` characters of `text`, which begins with one; to the end of
// the text when the closing quote is missing.
QStringView betweenQuotes(QStringView text, QChar quote) {
    const qsizetype close = text.indexOf(quote, 1);
    return close < 0 ? text.mid(1) : text.mid(1, close - 1);
}

SelectOption readOption(QStringView part) {
    // Value and text are the first two pieces of the part split at " *> *". A part without ">"
    // (an option tag broken over two lines) is all value and no text.
    QStringView valuePart = part;
    QStringView textPart;
    const QRegularExpression separator = cachedRegExp(QStringLiteral(" *> *"), false);
    const QRegularExpressionMatch first = separator.match(part);
    if (first.hasMatch()) {
        valuePart = part.left(first.capturedStart());
        const QStringView after = part.mid(first.capturedEnd());
        const QRegularExpressionMatch second = separator.match(after);
        textPart = second.hasMatch() ? after.left(second.capturedStart()) : after;
    }

    QString value = TrimSpaces(valuePart);
    if (value.startsWith(QLatin1Char('\'')) || value.startsWith(QLatin1Char('"'))) {
        value = betweenQuotes(value, value.at(0)).toString();
    }
    value = TrimSpaces(RegExpReplace(value, QStringLiteral(" *selected"), QString(), true, true));
    return {value, TrimSpaces(textPart)};
}

} // namespace

QRegularExpression cachedRegExp(const QString& pattern, bool ignoreCase) {
    thread_local QCache<PatternKey, QRegularExpression> cache(kCacheSize);
    PatternKey key{pattern, ignoreCase};
    if (const QRegularExpression* found = cache.object(key)) {
        return *found;
    }
    // (*ANYCRLF) makes CR, LF and CR LF line breaks, so that "." stops at any of them.
    auto* re = new QRegularExpression(QStringLiteral("(*ANYCRLF)") + pattern,
                                      ignoreCase ? QRegularExpression::CaseInsensitiveOption
                                                 : QRegularExpression::NoPatternOption);
    if (!re->isValid()) {
        qWarning("zelmora: pattern does not compile (%s at %lld): %s", qPrintable(re->errorString()),
                 static_cast<long long>(re->patternErrorOffset() - 10), qPrintable(pattern));
    }
    const QRegularExpression copy = *re;
    cache.insert(std::move(key), re);
    return copy;
}

qsizetype RegExpFind(const QString& input, const QString& pattern, qsizetype& position, qsizetype& length,
                     bool ignoreCase) {
    const QString text = validUtf16(input);
    const Span span = firstMatch(text, pattern, ignoreCase);
    if (!span.found()) {
        position = 0;
        length = 0;
        return 0;
    }
    position = span.start + 1;
    length = span.end - span.start;
    return position;
}

qsizetype RegExpFind(const QString& text, const QString& pattern, bool ignoreCase) {
    qsizetype position = 0;
    qsizetype length = 0;
    return RegExpFind(text, pattern, position, length, ignoreCase);
}

qsizetype RegExpSplit(const QString& input, const QString& pattern, QStringList& pieces, bool ignoreCase) {
    const QString text = validUtf16(input);
    const QList<Span> matches = allMatches(text, pattern, ignoreCase);
    if (matches.isEmpty()) {
        return -1;
    }
    QStringList result;
    result.reserve(matches.size() + 1);
    qsizetype cursor = 0;
    for (const Span& m : matches) {
        result.append(m.start > cursor ? text.mid(cursor, m.start - cursor) : QString());
        cursor = m.end;
    }
    result.append(text.mid(cursor));
    pieces = std::move(result);
    return pieces.size();
}

QString RegExpReplace(const QString& input, const QString& pattern, const QString& replacement, bool ignoreCase,
                      bool global) {
    const QString text = validUtf16(input);
    const QRegularExpression re = cachedRegExp(pattern, ignoreCase);
    if (!re.isValid()) {
        return text;
    }
    const QList<ReplacementPart> parts = parseReplacement(replacement, re.captureCount());
    QString out;
    qsizetype cursor = 0;
    bool matched = false;
    auto replaceOne = [&](const QRegularExpressionMatch& m) {
        out += QStringView(text).mid(cursor, m.capturedStart() - cursor);
        appendExpansion(out, parts, m, text);
        cursor = m.capturedEnd();
        matched = true;
    };
    if (global) {
        QRegularExpressionMatchIterator it = re.globalMatch(text);
        while (it.hasNext()) {
            replaceOne(it.next());
        }
    } else {
        const QRegularExpressionMatch m = re.match(text);
        if (m.hasMatch()) {
            replaceOne(m);
        }
    }
    if (!matched) {
        return text;
    }
    out += QStringView(text).mid(cursor);
    return out;
}

QString CutBetweenEx(const QString& input, const QString& startPattern, const QString& endPattern, int flags) {
    const QString text = validUtf16(input);
    const Span start = firstMatch(text, startPattern, true);
    if (!start.found()) {
        return {};
    }
    // The end is searched in the rest as a text of its own, so "^" and look-behinds see its start.
    const QStringView rest = QStringView(text).mid((flags & CutKeepStart) ? start.start : start.end);
    const Span end = firstMatch(rest, endPattern, true);
    if (!end.found()) {
        return {};
    }
    return rest.left((flags & CutKeepEnd) ? end.end : end.start).toString();
}

QString CutBetween(const QString& text, const QString& startPattern, const QString& endPattern) {
    return CutBetweenEx(text, startPattern, endPattern, 0);
}

qsizetype CutAllBetween(const QString& input, const QString& startPattern, const QString& endPattern,
                        QStringList& pieces, int flags) {
    const QString text = validUtf16(input);
    pieces.clear();
    const QList<Span> starts = allMatches(text, startPattern, true);
    if (starts.isEmpty()) {
        return 0;
    }
    const QList<Span> ends = allMatches(text, endPattern, true);
    const QStringView view(text);
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype last = -1;
    while (i < starts.size() && j < ends.size()) {
        const Span& s = starts.at(i);
        const Span& e = ends.at(j);
        if (s.start <= last) {
            ++i;
        } else if (e.start < s.start) {
            ++j;
        } else {
            QString piece;
            if (flags & CutKeepStart) {
                piece += view.mid(s.start, s.end - s.start);
            }
            // An end match may begin inside the start match; the stretch between them is then empty.
            if (e.start > s.end) {
                piece += view.mid(s.end, e.start - s.end);
            }
            if (flags & CutKeepEnd) {
                piece += view.mid(e.start, e.end - e.start);
            }
            pieces.append(piece);
            last = e.start;
            ++i;
            ++j;
        }
    }
    return pieces.size();
}

qsizetype GetSelectOptions(const QString& page, const QString& selectName, QList<SelectOption>& options) {
    options.clear();
    const QString name = QRegularExpression::escape(selectName);
    const QString selectStart = QStringLiteral("(< *select +name *= *['\"]") + name +
                                QStringLiteral("['\"] *[^>]*>)|(< *select +name *= *") + name +
                                QStringLiteral(" *[^>]*>)");
    const QString optionStart = QStringLiteral("< *option( value *=)?");
    const QString optionTag = QStringLiteral("< *option( value *=)?.*>");
    const QString partEnd = QStringLiteral("\r|\n|(\r\n)|<");

    // A select element ends in ">", so the text after the page's last ">" cannot hold one. Leaving
    // it out keeps a page whose tail is full of unclosed "<select" tags (a page cut off in transit)
    // from costing a scan to the end of the page for each of them.
    const QString tagged = page.left(page.lastIndexOf(QLatin1Char('>')) + 1);
    PageWalker walker(CutBetweenEx(tagged, selectStart, QStringLiteral("< */select *>"), 0));
    while (!walker.atEnd()) {
        const QStringView part = walker.cutBetween(optionStart, partEnd);
        if (part.isEmpty()) {
            break;
        }
        options.append(readOption(part));
        // Greedy to the last ">" of the line: the server writes one option per line.
        if (!walker.skipPast(optionTag)) {
            break;
        }
    }
    return options.size();
}

QString DecodeEntities(const QString& text) {
    static const struct {
        QLatin1String entity;
        QChar character;
    } kEntities[] = {
        {QLatin1String("&quot;"), QLatin1Char('"')},
        {QLatin1String("&lt;"), QLatin1Char('<')},
        {QLatin1String("&gt;"), QLatin1Char('>')},
    };
    if (!text.contains(QLatin1Char('&'))) {
        return text;
    }
    // One pass gives the same result as three replacements in a row: no replacement character can
    // form a new entity.
    QString out;
    out.reserve(text.size());
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        bool replaced = false;
        if (view.at(i) == QLatin1Char('&')) {
            for (const auto& e : kEntities) {
                if (view.mid(i, e.entity.size()).compare(e.entity, Qt::CaseInsensitive) == 0) {
                    out += e.character;
                    i += e.entity.size() - 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            out += view.at(i);
        }
    }
    return out;
}

QString validUtf16(const QString& text) {
    const auto isValidAt = [&](qsizetype i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        }
        if (c.isLowSurrogate()) {
            return i > 0 && text.at(i - 1).isHighSurrogate();
        }
        return true;
    };
    QString out = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isValidAt(i)) {
            out[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

QString HalfWidthDigits(QString text) {
    for (QChar& c : text) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) {
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        }
    }
    return text;
}

qint32 ReadNumber(QStringView text, bool* ok) {
    return HalfWidthDigits(TrimSpaces(text)).toInt(ok, 10);
}

QString TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

} // namespace zelmora
