#pragma once

#include <QStringView>

struct pcre2_real_match_data_16;
struct pcre2_real_match_context_16;
struct pcre2_real_jit_stack_16;

namespace zelmora {

// Where a PagePattern matched, and its groups: one block of offsets used again for every match.
class PageMatch {
public:
    static constexpr int kMaxGroups = 9;

    PageMatch();
    ~PageMatch();
    PageMatch(const PageMatch&) = delete;
    PageMatch& operator=(const PageMatch&) = delete;

    qsizetype capturedEnd() const;
    // The text of group `n` (0 is the whole match); empty when the group took no part.
    QStringView captured(int n) const;

private:
    friend class PagePattern;

    pcre2_real_match_data_16* m_data = nullptr;
    pcre2_real_match_context_16* m_context = nullptr;
    pcre2_real_jit_stack_16* m_stack = nullptr;
    QStringView m_text;
};

} // namespace zelmora
