#include "core/Cp932Stream.h"

#include "core/Cp932.h"

#include <utility>

namespace zelmora::cp932 {

Stream::Stream() : m_decoder(kCodecName) {}

namespace {
// The decoder asks for room for two units per byte, where cp932 gives at most one: bytes are
// decoded in slices of this size, so that the room asked for beyond the text stays small.
constexpr qsizetype kSliceBytes = 16 * 1024;
} // namespace

void Stream::reserve(qsizetype bytes) {
    // A cp932 byte gives at most one UTF-16 unit; the last slice asks for up to twice its size.
    const qsizetype units = bytes + 2 * kSliceBytes;
    if (units > m_text.capacity())
        m_text.reserve(units);
}

void Stream::append(QByteArrayView bytes) {
    // A large piece decoded at once would ask for twice its size beyond the reserved text, and
    // grow the text into a new block: a copy of the whole page and page faults for all of it.
    while (!bytes.isEmpty()) {
        const QByteArrayView slice = bytes.first(qMin(bytes.size(), kSliceBytes));
        bytes = bytes.sliced(slice.size());
        const qsizetype size = m_text.size();
        m_text.resize(size + m_decoder.requiredSpace(slice.size()));
        QChar* end = m_decoder.appendToBuffer(m_text.data() + size, slice);
        m_text.truncate(end - m_text.constData());
    }
}

QString Stream::take() {
    m_decoder.resetState();
    return std::exchange(m_text, QString());
}

} // namespace zelmora::cp932
