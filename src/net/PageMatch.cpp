#include "net/PageMatch.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace zelmora {

PageMatch::PageMatch()
    : m_data(pcre2_match_data_create(kMaxGroups + 1, nullptr)), m_context(pcre2_match_context_create(nullptr)),
      // The JIT's own stack: a pattern with nested repeats over a long hostile text needs more
      // than the 32 KB it has by default.
      m_stack(pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr)) {
    pcre2_jit_stack_assign(m_context, nullptr, m_stack);
}

PageMatch::~PageMatch() {
    pcre2_jit_stack_free(m_stack);
    pcre2_match_context_free(m_context);
    pcre2_match_data_free(m_data);
}

qsizetype PageMatch::capturedEnd() const {
    return qsizetype(pcre2_get_ovector_pointer(m_data)[1]);
}

QStringView PageMatch::captured(int n) const {
    if (n < 0 || n > kMaxGroups)
        return {};
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_data);
    const PCRE2_SIZE start = ovector[2 * n];
    const PCRE2_SIZE end = ovector[2 * n + 1];
    if (start == PCRE2_UNSET || end < start)
        return {};
    return m_text.mid(qsizetype(start), qsizetype(end - start));
}

} // namespace zelmora
