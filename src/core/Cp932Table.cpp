#include "core/Cp932Table.h"

#include "core/Cp932.h"

#include <QStringDecoder>

namespace zelmora::cp932 {

namespace {
// The one character `bytes` decode to when they are a whole character: the converter gives exactly
// one UTF-16 unit for them and holds nothing back, so the newline after them comes out alone.
// kNone otherwise; the decoder is left clean for the next probe.
char16_t probe(QStringDecoder& decoder, QByteArrayView bytes) {
    char16_t out[8];
    QChar* const buffer = reinterpret_cast<QChar*>(out);
    const qsizetype produced = decoder.appendToBuffer(buffer, bytes) - buffer;
    const char16_t character = out[0];
    const qsizetype after = decoder.appendToBuffer(buffer, "\n") - buffer;
    if (produced == 1 && after == 1 && out[0] == u'\n')
        return character;
    decoder.resetState();
    return DecodeTable::kNone;
}

// Whether the converter holds `byte` back, waiting for the byte after it.
bool holdsBack(QStringDecoder& decoder, char byte) {
    char16_t out[8];
    QChar* const buffer = reinterpret_cast<QChar*>(out);
    const bool held = decoder.appendToBuffer(buffer, QByteArrayView(&byte, 1)) == buffer;
    decoder.resetState();
    return held;
}
} // namespace

const DecodeTable& DecodeTable::instance() {
    static const DecodeTable table;
    return table;
}

DecodeTable::DecodeTable() {
    QStringDecoder decoder(kCodecName);
    qint16 rows = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char b = char(byte);
        m_single[byte] = kNone;
        m_leadRow[byte] = -1;
        if (holdsBack(decoder, b))
            m_leadRow[byte] = rows++;
        else
            m_single[byte] = probe(decoder, QByteArrayView(&b, 1));
    }
    m_asciiRuns = true;
    for (int byte = 0; byte < 0x80 && m_asciiRuns; ++byte) {
        if (m_single[byte] == char16_t(byte))
            continue;
        if (m_exceptionCount == kMaxAsciiExceptions)
            m_asciiRuns = false;
        else
            m_exceptionPatterns[size_t(m_exceptionCount++)] = 0x0101010101010101ULL * quint64(byte);
    }

    m_pairs.assign(size_t(rows) * 256, kNone);
    for (int lead = 0; lead < 256; ++lead) {
        if (m_leadRow[lead] < 0)
            continue;
        char16_t* row = m_pairs.data() + size_t(m_leadRow[lead]) * 256;
        for (int trail = 0; trail < 256; ++trail) {
            const char bytes[2] = {char(lead), char(trail)};
            row[trail] = probe(decoder, QByteArrayView(bytes, 2));
        }
    }
}

} // namespace zelmora::cp932
