#include "core/Cp932Stream.h"

#include "core/Cp932.h"

#include <utility>

namespace zelmora::cp932 {

Stream::Stream() : m_decoder(kCodecName) {}

void Stream::reserve(qsizetype bytes) {
    // A cp932 byte gives at most one UTF-16 unit.
    if (bytes > m_text.capacity())
        m_text.reserve(bytes);
}

void Stream::append(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    const qsizetype size = m_text.size();
    m_text.resize(size + m_decoder.requiredSpace(bytes.size()));
    QChar* end = m_decoder.appendToBuffer(m_text.data() + size, bytes);
    m_text.truncate(end - m_text.constData());
}

QString Stream::take() {
    m_decoder.resetState();
    return std::exchange(m_text, QString());
}

} // namespace zelmora::cp932
