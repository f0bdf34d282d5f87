#include "net/PageWalker.h"

#include "net/PatternUtils.h"

#include <QRegularExpression>

namespace zelmora {

namespace {

struct Span {
    qsizetype start = -1;
    qsizetype end = -1;
};

Span firstMatch(QStringView text, const QString& pattern) {
    const QRegularExpression re = cachedRegExp(pattern, true);
    if (!re.isValid()) {
        return {};
    }
    const QRegularExpressionMatch m =
        re.match(text, 0, QRegularExpression::NormalMatch, QRegularExpression::DontCheckSubjectStringMatchOption);
    return m.hasMatch() ? Span{m.capturedStart(), m.capturedEnd()} : Span{};
}

} // namespace

PageWalker::PageWalker(const QString& page) : m_page(validUtf16(page)), m_rest(m_page) {}

QStringView PageWalker::cutBetween(const QString& startPattern, const QString& endPattern, int flags) const {
    const Span start = firstMatch(m_rest, startPattern);
    if (start.start < 0) {
        return {};
    }
    // The end is searched in the rest as a text of its own, so "^" and look-behinds see its start.
    const QStringView after = m_rest.mid((flags & CutKeepStart) ? start.start : start.end);
    const Span end = firstMatch(after, endPattern);
    if (end.start < 0) {
        return {};
    }
    return after.left((flags & CutKeepEnd) ? end.end : end.start);
}

bool PageWalker::skipPast(const QString& pattern) {
    const Span match = firstMatch(m_rest, pattern);
    if (match.start < 0) {
        return false;
    }
    m_rest = m_rest.mid(match.end);
    return true;
}

} // namespace zelmora
