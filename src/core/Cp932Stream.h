#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace zelmora::cp932 {

// Decodes cp932 bytes piece by piece as they arrive, onto the end of one text: a character whose
// two bytes come in different pieces is decoded whole. The text is the same as cp932::decode of
// all the bytes at once, so a large page is decoded while it is still coming in.
class Stream {
public:
    Stream();

    // Room for a text of `bytes` bytes, so that it is not copied as it grows.
    void reserve(qsizetype bytes);
    void append(QByteArrayView bytes);
    // The text so far, handed over; the stream starts again empty.
    QString take();

private:
    QStringDecoder m_decoder;
    QString m_text;
};

} // namespace zelmora::cp932
