#include "net/HttpResponseParser.h"

#include <utility>

namespace zelmora {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// The comma-separated tokens of a field value, trimmed and in lower case.
QList<QByteArray> tokens(const QByteArray& value) {
    QList<QByteArray> result;
    for (const QByteArray& token : value.split(','))
        result.append(token.trimmed().toLower());
    return result;
}

// A decimal length of up to 18 digits, or -1.
qint64 parseLength(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 18)
        return -1;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

QByteArray HttpResponseParser::header(QByteArrayView name) const {
    for (const auto& [fieldName, value] : m_headers) {
        if (QByteArrayView(fieldName).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HttpResponseParser::keepAlive() const {
    if (m_framing == Framing::UntilClose || m_state == State::Failed)
        return false;
    const QList<QByteArray> connection = tokens(header("Connection"));
    if (connection.contains("close"))
        return false;
    // HTTP/1.0 closes unless the server says otherwise.
    return m_minorVersion > 0 || connection.contains("keep-alive");
}

qsizetype HttpResponseParser::feed(QByteArrayView data, QByteArray& body) {
    qsizetype pos = 0;
    const qsizetype size = data.size();
    while (pos < size && m_state != State::Done && m_state != State::Failed) {
        switch (m_state) {
        case State::StatusLine:
            if (takeLine(data, pos))
                onStatusLine();
            break;
        case State::Headers:
            if (takeLine(data, pos))
                onHeaderLine();
            if (headComplete()) {
                // The caller looks at the head before the body is handed out.
                m_received += pos;
                return pos;
            }
            break;
        case State::Body: {
            const qint64 take = m_framing == Framing::UntilClose ? size - pos : qMin<qint64>(m_remaining, size - pos);
            body.append(data.data() + pos, take);
            pos += take;
            if (m_framing == Framing::Length && (m_remaining -= take) == 0)
                m_state = State::Done;
            break;
        }
        case State::ChunkSize:
            if (takeLine(data, pos))
                onChunkSizeLine();
            break;
        case State::ChunkData: {
            const qint64 take = qMin<qint64>(m_remaining, size - pos);
            body.append(data.data() + pos, take);
            pos += take;
            if ((m_remaining -= take) == 0)
                m_state = State::ChunkDataEnd;
            break;
        }
        case State::ChunkDataEnd: // the line break after a chunk's data
            if (takeLine(data, pos))
                finishLine().isEmpty() ? void(m_state = State::ChunkSize) : fail();
            break;
        case State::Trailer: // trailer fields are read past; an empty line ends the response
            if (takeLine(data, pos) && finishLine().isEmpty())
                m_state = State::Done;
            break;
        case State::Done:
        case State::Failed:
            break;
        }
    }
    m_received += pos;
    return pos;
}

bool HttpResponseParser::closed() {
    if (m_state == State::Body && m_framing == Framing::UntilClose)
        m_state = State::Done;
    if (m_state != State::Done)
        fail();
    return m_state == State::Done;
}

bool HttpResponseParser::takeLine(QByteArrayView data, qsizetype& pos) {
    const qsizetype end = data.indexOf('\n', pos);
    const qsizetype stop = end < 0 ? data.size() : end;
    const qsizetype length = stop - pos;
    // A line, and the head as a whole, are bounded: a server that sends no line break must not
    // fill the memory.
    if (m_line.size() + length > kMaxHeadBytes || (m_state <= State::Headers && m_headBytes + length > kMaxHeadBytes)) {
        fail();
        pos = data.size();
        return false;
    }
    m_line.append(data.data() + pos, length);
    if (m_state <= State::Headers)
        m_headBytes += length + (end < 0 ? 0 : 1);
    pos = end < 0 ? data.size() : end + 1;
    return end >= 0;
}

QByteArray HttpResponseParser::finishLine() {
    QByteArray line = std::exchange(m_line, {});
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

void HttpResponseParser::onStatusLine() {
    const QByteArray line = finishLine();
    if (line.isEmpty())
        return; // a stray line break before the status line, as some servers send after a body
    // "HTTP/1.x NNN reason", the reason optional.
    const bool shaped = line.size() >= 12 && line.startsWith("HTTP/1.") && line[7] >= '0' && line[7] <= '9' &&
                        line[8] == ' ' && (line.size() == 12 || line[12] == ' ');
    const qint64 status = shaped ? parseLength(line.mid(9, 3)) : -1;
    if (status < 100 || status > 999)
        return fail();
    m_minorVersion = line[7] - '0';
    m_status = int(status);
    m_headers.clear();
    m_state = State::Headers;
}

void HttpResponseParser::onHeaderLine() {
    const QByteArray line = finishLine();
    if (line.isEmpty())
        return onHeadEnd();
    if (isSpace(line[0])) { // an obsolete folded continuation of the field before
        if (m_headers.isEmpty())
            return fail();
        m_headers.last().second += ' ' + line.trimmed();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return fail();
    m_headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
}

void HttpResponseParser::onHeadEnd() {
    if (m_status < 200) {
        // 100 Continue and the like precede the real answer; a switch of protocols was never asked for.
        if (m_status == 101)
            return fail();
        m_state = State::StatusLine;
        return;
    }
    if (m_bodyless || m_status == 204 || m_status == 304) {
        m_state = State::Done;
        return;
    }
    const QByteArray transferEncoding = header("Transfer-Encoding");
    if (!transferEncoding.isEmpty()) {
        // Chunked when that is the last coding; any other is framed by the close.
        const bool chunked = tokens(transferEncoding).constLast() == "chunked";
        m_framing = chunked ? Framing::Chunked : Framing::UntilClose;
        m_state = chunked ? State::ChunkSize : State::Body;
        return;
    }
    qint64 length = -1;
    for (const auto& [name, value] : m_headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const qint64 announced = parseLength(value);
        // Two different lengths leave the body's end unknown.
        if (announced < 0 || (length >= 0 && announced != length))
            return fail();
        length = announced;
    }
    if (length < 0) {
        m_framing = Framing::UntilClose;
        m_state = State::Body;
        return;
    }
    m_framing = Framing::Length;
    m_length = m_remaining = length;
    m_state = length == 0 ? State::Done : State::Body;
}

void HttpResponseParser::onChunkSizeLine() {
    QByteArray line = finishLine();
    const qsizetype extension = line.indexOf(';');
    if (extension >= 0)
        line.truncate(extension);
    line = line.trimmed();
    if (line.isEmpty() || line.size() > 15)
        return fail();
    qint64 size = 0;
    for (const char c : line) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return fail();
        size = size * 16 + digit;
    }
    m_remaining = size;
    m_state = size == 0 ? State::Trailer : State::ChunkData;
}

} // namespace zelmora
