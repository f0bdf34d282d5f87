#include "core/Cp932Stream.h"

#include "core/Cp932.h"
#include "core/Cp932Table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelmora::cp932 {

namespace {
constexpr qsizetype kSlack = 32;

#if defined(__SSE2__)
// Widens sixteen bytes at a time while they are all plain ASCII; at the first block that is not, the
// plain bytes before its first other byte. At least sixteen bytes must be left; the output has room
// for sixteen units beyond the text, as there is one for each byte still to come.
void widenAsciiBlocks(const DecodeTable& table, const uchar*& p, const uchar* end, char16_t*& out) {
    std::array<__m128i, 4> exceptions;
    const int count = std::min(table.asciiExceptionCount(), int(exceptions.size()));
    for (int i = 0; i < count; ++i)
        exceptions[size_t(i)] = _mm_set1_epi8(char(table.asciiException(i)));
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i other = bytes; // the high bit of a byte of 0x80 or above
        for (int i = 0; i < count; ++i)
            other = _mm_or_si128(other, _mm_cmpeq_epi8(bytes, exceptions[size_t(i)]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
        if (const int mask = _mm_movemask_epi8(other)) {
            const int plain = std::countr_zero(unsigned(mask));
            p += plain;
            out += plain;
            return;
        }
        p += 16;
        out += 16;
    }
}
#endif

// Widens the plain ASCII bytes from `p` on up to the first byte that is not; returns where it
// stopped, which may be before such a byte among the last few.
const uchar* widenAscii(const DecodeTable& table, const uchar*& p, const uchar* end, char16_t*& out) {
#if defined(__SSE2__)
    widenAsciiBlocks(table, p, end, out);
    if (end - p >= 16)
        return p;
#endif
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (!table.isPlainAscii(word))
            break;
        for (int i = 0; i < 8; ++i)
            out[i] = p[i];
        p += 8;
        out += 8;
    }
    return p;
}
} // namespace

void Stream::reserve(qsizetype bytes) {
    // A cp932 byte gives at most one UTF-16 unit.
    if (bytes > m_text.capacity())
        m_text.reserve(bytes);
}

char16_t* Stream::convert(char16_t* out, const uchar* from, const uchar* to) {
    QChar* const start = reinterpret_cast<QChar*>(out);
    const QByteArrayView bytes(reinterpret_cast<const char*>(from), to - from);
    if (!m_decoder)
        m_decoder.emplace(kCodecName);
    return reinterpret_cast<char16_t*>(m_decoder->appendToBuffer(start, bytes));
}

char16_t* Stream::decodePair(const DecodeTable& table, char16_t* out, const uchar* pair) {
    if (const char16_t character = table.pair(pair[0], pair[1]); character != DecodeTable::kNone) {
        *out = character;
        return out + 1;
    }
    // A lead byte and a byte that makes no character with it: the converter decides how much of
    // the two it takes as invalid.
    return convert(out, pair, pair + 2);
}

void Stream::append(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    const DecodeTable& table = DecodeTable::instance();
    const qsizetype size = m_text.size();
    // At most one unit a byte, and one more when a lead byte held from the last piece turns out to
    // start no character; beyond that, the room the converter is told of for a two-byte sequence
    // and the sixteen units an ASCII block is written as before it is known to be plain.
    m_text.resize(size + bytes.size() + 1 + kSlack);
    char16_t* const base = reinterpret_cast<char16_t*>(m_text.data());
    char16_t* out = base + size;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* const end = p + bytes.size();

    if (m_heldLead >= 0) {
        const uchar held[2] = {uchar(m_heldLead), *p};
        m_heldLead = -1;
        out = decodePair(table, out, held);
        ++p;
    }
    const bool asciiRuns = table.hasAsciiRuns();
    while (p < end) {
        if (asciiRuns && widenAscii(table, p, end, out) == end)
            break;
        const uchar byte = *p;
        if (const char16_t single = table.single(byte); single != DecodeTable::kNone) {
            *out++ = single;
            ++p;
        } else if (!table.isLead(byte)) {
            out = convert(out, p, p + 1);
            ++p;
        } else if (p + 1 == end) {
            m_heldLead = byte;
            ++p;
        } else {
            out = decodePair(table, out, p);
            p += 2;
        }
    }
    m_text.truncate(out - base);
}

QString Stream::take() {
    // A lead byte at the very end starts no character, as the converter drops the byte it holds.
    if (m_decoder)
        m_decoder->resetState();
    m_heldLead = -1;
    return std::exchange(m_text, QString());
}

} // namespace zelmora::cp932
