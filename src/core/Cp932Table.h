#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

namespace zelmora::cp932 {

// What the cp932 converter makes of each character that stands on its own: a single byte, or a lead
// byte and the byte after it. It is read off the converter once, character by character, so a text
// decoded through it is the converter's own text. Whatever it does not hold (a byte sequence the
// converter takes as invalid, a lead byte at the end of a piece) is left to the converter.
class DecodeTable {
public:
    static constexpr char16_t kNone = 0xFFFF;

    static const DecodeTable& instance();

    // The character of a byte that is one character by itself, or kNone.
    char16_t single(uchar byte) const { return m_single[byte]; }
    // Whether the converter waits for a second byte after this one.
    bool isLead(uchar byte) const { return m_leadRow[byte] >= 0; }
    // The character of a lead byte and the byte after it, or kNone.
    char16_t pair(uchar lead, uchar trail) const {
        const int row = m_leadRow[lead];
        return row < 0 ? kNone : m_pairs[size_t(row) * 256 + trail];
    }
    // Whether runs of ASCII can be copied eight bytes at a time: all but a few bytes below 0x80 are
    // the character of the same code (the converter swaps three control codes).
    bool hasAsciiRuns() const { return m_asciiRuns; }
    int asciiExceptionCount() const { return m_exceptionCount; }
    uchar asciiException(int i) const { return uchar(m_exceptionPatterns[size_t(i)]); }
    // Whether each of the eight bytes of `word` is the character of the same code.
    bool isPlainAscii(quint64 word) const {
        constexpr quint64 kOnes = 0x0101010101010101ULL;
        constexpr quint64 kHighBits = 0x8080808080808080ULL;
        if (word & kHighBits)
            return false;
        // With no high bit set, (v - ones) & ~v & high is exactly the bytes of v that are zero.
        for (int i = 0; i < m_exceptionCount; ++i) {
            const quint64 v = word ^ m_exceptionPatterns[size_t(i)];
            if ((v - kOnes) & ~v & kHighBits)
                return false;
        }
        return true;
    }

private:
    DecodeTable();

    std::array<char16_t, 256> m_single{};
    std::array<qint16, 256> m_leadRow{};
    std::vector<char16_t> m_pairs;
    static constexpr int kMaxAsciiExceptions = 4;
    std::array<quint64, kMaxAsciiExceptions> m_exceptionPatterns{};
    int m_exceptionCount = 0;
    bool m_asciiRuns = false;
};

} // namespace zelmora::cp932
