#pragma once

#include "net/PageMatch.h"

#include <QString>
#include <QStringView>

struct pcre2_real_code_16;

namespace zelmora {

// One of the server's patterns as the page readers match it at many places of a page: compiled
// and JIT-compiled once, in the dialect of all the program's patterns (case-insensitive, "." not
// across line ends, UTF-16 text), and matched into a PageMatch that the caller keeps, so that a
// match allocates nothing. The compiled pattern is never changed by matching and may be shared.
class PagePattern {
public:
    explicit PagePattern(const QString& pattern);
    ~PagePattern();
    PagePattern(const PagePattern&) = delete;
    PagePattern& operator=(const PagePattern&) = delete;

    // False when the pattern does not compile or has more groups than a PageMatch holds.
    bool isValid() const { return m_code != nullptr; }

    // The leftmost match in `text` from `from` on (a pattern that begins with "\G" matches at
    // `from` only). `text` must be valid UTF-16 and outlive the use of `match`.
    bool match(QStringView text, qsizetype from, PageMatch& match) const;

private:
    pcre2_real_code_16* m_code = nullptr;
};

} // namespace zelmora
