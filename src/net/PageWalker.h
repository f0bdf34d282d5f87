#pragma once

#include <QString>
#include <QStringView>

namespace zelmora {

// Takes a page apart from the front, piece by piece: cut the next stretch between two patterns,
// then drop the page up to a pattern and go on with the rest. Every match ignores case and uses
// the dialect of PatternUtils.h.
//
// The regular-expression engine checks the whole subject for valid UTF-16 before each match, which
// would make a loop over the rest of a page quadratic. The walker makes its copy of the page valid
// once (a lone surrogate becomes U+FFFD) and then matches without that check.
class PageWalker {
public:
    explicit PageWalker(const QString& page);

    // As CutBetweenEx on the rest: the text between the first match of `startPattern` and the first
    // match of `endPattern` after it, empty when either is missing.
    QStringView cutBetween(const QString& startPattern, const QString& endPattern, int flags = 0) const;

    // Drops the rest up to and including the first match of `pattern`. False, with the rest left as
    // it was, when there is no match.
    bool skipPast(const QString& pattern);

    QStringView rest() const { return m_rest; }
    bool atEnd() const { return m_rest.isEmpty(); }

private:
    QString m_page;
    QStringView m_rest;
};

} // namespace zelmora
