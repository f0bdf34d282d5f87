#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace zelmora {

// Regular-expression helpers every page reader is built on. They all work over the whole page text
// in one dialect:
//   - "." matches any character except CR and LF (the patterns are compiled with (*ANYCRLF));
//   - \d is ASCII 0-9 only;
//   - matching is case-sensitive unless a function says otherwise or takes an ignore-case flag;
//   - a pattern that does not compile matches nothing (and is reported once with qWarning);
//   - a lone surrogate in the text is read as U+FFFD (and comes back so in the results).
// Positions in RegExpFind are 1-based, 0 meaning "no match", as the page readers count them.
// Piece lists are plain 0-based QStringLists: pieces[0] is the first piece.
// Text inserted into a pattern (a user name, a select name) must go through
// QRegularExpression::escape first.

// Compiled pattern in the dialect above, from a small per-thread cache: page readers run the same
// few patterns thousands of times per refresh and compiling is the expensive part.
QRegularExpression cachedRegExp(const QString& pattern, bool ignoreCase);

// First match of `pattern` in `text`. Returns its 1-based position, or 0 when there is none;
// `position` and `length` receive the same position and the match length (both 0 when none).
qsizetype RegExpFind(const QString& text, const QString& pattern, qsizetype& position, qsizetype& length,
                     bool ignoreCase = false);
qsizetype RegExpFind(const QString& text, const QString& pattern, bool ignoreCase = false);

// Splits `text` at every match of `pattern`. Returns the number of pieces (matches + 1) and stores
// them in `pieces`; returns -1 and leaves `pieces` untouched when the pattern does not occur.
// A separator at the start or end, or two adjacent ones, give empty pieces.
qsizetype RegExpSplit(const QString& text, const QString& pattern, QStringList& pieces, bool ignoreCase = false);

// Replaces the first match (or every match with `global`) of `pattern` by `replacement`, in which
// $1..$99 stand for groups, $& for the whole match, $` and $' for the text before and after it and
// $$ for a dollar sign. A reference to a group the pattern does not have stays as written; a group
// that did not take part in the match gives an empty text.
QString RegExpReplace(const QString& text, const QString& pattern, const QString& replacement, bool ignoreCase = false,
                      bool global = true);

// Flags of CutBetweenEx and CutAllBetween.
enum CutFlag : int {
    CutKeepStart = 1, // the cut begins with the start match
    CutKeepEnd = 2,   // the cut ends with the end match
};

// Text between the first match of `startPattern` and the first match of `endPattern` after it;
// empty when either is missing. Both searches ignore case.
QString CutBetween(const QString& text, const QString& startPattern, const QString& endPattern);

// As CutBetween, keeping the matches as `flags` says. With CutKeepStart the end pattern is searched
// from the beginning of the start match, so an end pattern matching inside the start match ends the
// cut there.
QString CutBetweenEx(const QString& text, const QString& startPattern, const QString& endPattern, int flags);

// Every stretch between a start match and the next end match not used yet (case-insensitive).
// Start matches that begin at or before the last end match used are skipped. Returns the number
// of pieces and replaces the contents of `pieces` with them.
qsizetype CutAllBetween(const QString& text, const QString& startPattern, const QString& endPattern,
                        QStringList& pieces, int flags = 0);

struct SelectOption {
    QString value; // empty when the option has no value attribute
    QString text;

    bool operator==(const SelectOption&) const = default;
};

// Options of the first <select name="selectName"> element of a page (the name may be quoted either
// way or bare; tags in any letter case). Returns the number of options and replaces the contents of
// `options` with them, in page order. The server writes one option per line; of several options on
// one line only the first is read.
qsizetype GetSelectOptions(const QString& page, const QString& selectName, QList<SelectOption>& options);

// Decodes &quot; &lt; and &gt; in any letter case; every other entity, &amp; included, stays as is.
QString DecodeEntities(const QString& text);

// `text` with every lone surrogate replaced by U+FFFD; the same string when it has none.
QString validUtf16(const QString& text);

// Replaces the full-width digits ０-９ by 0-9: the server writes numbers and times either way.
QString HalfWidthDigits(QString text);

// The whole text as a decimal number after HalfWidthDigits and TrimSpaces; `ok` tells whether it
// was one (and fitted into 32 bits).
qint32 ReadNumber(QStringView text, bool* ok = nullptr);

// Removes leading and trailing U+0020 spaces only: tabs and ideographic spaces are part of the
// server's texts.
QString TrimSpaces(QStringView text);

} // namespace zelmora
