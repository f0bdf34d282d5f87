#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

namespace zelmora {

// Reads one HTTP/1.x response as its bytes arrive: the status line, the header fields, then the
// body by its framing (Content-Length, chunked, or up to the end of the connection). Interim 1xx
// answers are skipped. Whatever the server sends, the parser keeps within fixed bounds: a head
// larger than kMaxHeadBytes, a malformed status line, chunk size or length fails the response.
class HttpResponseParser {
public:
    static constexpr qsizetype kMaxHeadBytes = 64 * 1024;

    // `bodyless`: the answer to a HEAD request, which has no body whatever its head says.
    explicit HttpResponseParser(bool bodyless = false) : m_bodyless(bodyless) {}

    // Takes the next bytes and appends the body bytes among them to `body`. Returns how many bytes
    // were taken: fewer than given when the head has just been completed (the caller may look at
    // it before the body goes anywhere) and once the response is complete (the rest is not this
    // response's).
    qsizetype feed(QByteArrayView data, QByteArray& body);
    // The connection has ended. True when that completes the response: a body that runs up to the
    // close. A response cut off before its end fails.
    bool closed();

    bool headComplete() const { return m_state > State::Headers; }
    bool done() const { return m_state == State::Done; }
    bool failed() const { return m_state == State::Failed; }
    // True while not one byte of a response has arrived: a kept connection that the server closed
    // meanwhile can take the request again.
    bool nothingReceived() const { return m_received == 0; }

    int status() const { return m_status; }
    // Header fields in the order sent; names as sent.
    const QList<QPair<QByteArray, QByteArray>>& headers() const { return m_headers; }
    // The first field of that name (case-insensitive), or an empty value.
    QByteArray header(QByteArrayView name) const;
    // The announced body length, or -1 when the framing is chunked or up to the close.
    qint64 contentLength() const { return m_framing == Framing::Length ? m_length : -1; }
    // The connection may take the next request once this response is done.
    bool keepAlive() const;

private:
    enum class State { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkDataEnd, Trailer, Done, Failed };
    enum class Framing { None, Length, Chunked, UntilClose };

    // Takes bytes up to the end of the current line into m_line; true once the line is complete.
    bool takeLine(QByteArrayView data, qsizetype& pos);
    // The completed line without its line break; m_line is empty again.
    QByteArray finishLine();
    void onStatusLine();
    void onHeaderLine();
    void onHeadEnd();
    void onChunkSizeLine();
    void fail() { m_state = State::Failed; }

    bool m_bodyless = false;
    State m_state = State::StatusLine;
    Framing m_framing = Framing::None;
    QByteArray m_line;
    qsizetype m_headBytes = 0;
    qint64 m_received = 0;
    int m_status = 0;
    int m_minorVersion = 1;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    qint64 m_length = 0;    // the announced length
    qint64 m_remaining = 0; // body (or chunk) bytes still to come
};

} // namespace zelmora
