#include "net/PagePattern.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace zelmora {

PagePattern::PagePattern(const QString& pattern) {
    const QString text = QStringLiteral("(*ANYCRLF)") + pattern;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.utf16()), PCRE2_SIZE(text.size()),
                           PCRE2_UTF | PCRE2_CASELESS, &error, &errorOffset, nullptr);
    if (!m_code)
        return;
    uint32_t groups = 0;
    pcre2_pattern_info(m_code, PCRE2_INFO_CAPTURECOUNT, &groups);
    if (groups > uint32_t(PageMatch::kMaxGroups)) {
        pcre2_code_free(m_code);
        m_code = nullptr;
        return;
    }
    // Without the JIT (a machine it does not support), the interpreter gives the same matches.
    pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE);
}

PagePattern::~PagePattern() {
    pcre2_code_free(m_code);
}

bool PagePattern::match(QStringView text, qsizetype from, PageMatch& match) const {
    match.m_text = text;
    if (!m_code || from < 0 || from > text.size())
        return false;
    const int result = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(text.utf16()), PCRE2_SIZE(text.size()),
                                   PCRE2_SIZE(from), PCRE2_NO_UTF_CHECK, match.m_data, match.m_context);
    return result > 0;
}

} // namespace zelmora
