#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

namespace zelmora::cp932 {

class DecodeTable;

// Decodes cp932 bytes piece by piece as they arrive, onto the end of one text: a character whose
// two bytes come in different pieces is decoded whole. The text is the same as cp932::decode of
// all the bytes at once, so a large page is decoded while it is still coming in. The characters of
// DecodeTable are written straight from it, runs of ASCII eight bytes at a time; the converter
// decodes only what the table does not hold.
class Stream {
public:

    // Room for a text of `bytes` bytes, so that it is not copied as it grows.
    void reserve(qsizetype bytes);
    void append(QByteArrayView bytes);
    // The text so far, handed over; the stream starts again empty.
    QString take();

private:
    // The converter's text of bytes [from, to) written at `out`; returns the end of what it wrote.
    char16_t* convert(char16_t* out, const uchar* from, const uchar* to);
    // A lead byte and the byte after it, from the table or the converter.
    char16_t* decodePair(const DecodeTable& table, char16_t* out, const uchar* pair);

    // Opened with the first bytes the table does not hold; most pages have none.
    std::optional<QStringDecoder> m_decoder;
    QString m_text;
    // The lead byte the last piece ended in, decoded with the byte that comes next; -1 for none.
    int m_heldLead = -1;
};

} // namespace zelmora::cp932
