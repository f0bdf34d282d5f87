#pragma once

#include "net/PageMatch.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

namespace zelmora {

class PagePattern;

// The whereabouts board page taken apart into member rows of marked fields: the board's steps
// (line breaks out, the table cut out, the cells rewritten into fields by the board's patterns,
// the tags stripped, the weekday dropped, the rows split at their ends) in one forward pass.
//
// Every step is a global replacement whose matches begin with "<" (or with a field start). Instead
// of copying the whole page once per step, each step looks only at the places where one of its
// matches can begin and runs its pattern anchored there, which finds the same leftmost matches.
// And when no "<" of the table is left open before the next one (every tag ends before the next
// begins), no match of any step can reach across the "<tr" that opens a row: the table is then
// worked one row at a time in a small buffer. A page with an unclosed tag is worked as one piece,
// with the same steps.
class BoardPage {
public:
    // Field markers wrapped around every value. Page text is decoded from cp932, which has no code
    // for either character; they are also removed from the page first.
    static constexpr QChar kFieldStart = QChar(0x00FE);
    static constexpr QChar kFieldEnd = QChar(0x00FF);

    // What a caller keeps of the pieces of an earlier read. A piece is the table's text from one
    // row's "<tr" to the next one's (the whole table on a page with an unclosed tag), line breaks
    // removed; the same piece with no row open before it gives the same rows.
    class PieceMemo {
    public:
        virtual ~PieceMemo() = default;
        // The text of this read, which the pieces are views into; it is not changed afterwards.
        virtual void begin(const QString& text) = 0;
        // Before piece `index` is worked, while no row is open: true when the caller has the rows of
        // this piece already; the piece is then passed over.
        virtual bool known(qsizetype index, QStringView piece) = 0;
        // After piece `index` was worked; `closed` when no row was open before it nor is after it,
        // so that the rows it gave are its own.
        virtual void worked(qsizetype index, QStringView piece, bool closed) = 0;
    };

    // Rows of member links and whereabouts cells that name `programName` ("office.exe" or
    // "office.cgi").
    explicit BoardPage(const QString& programName);

    // Calls `row` with the text of each member's row, in page order; the text is valid until the
    // call returns. False when nothing is left of the page once its line breaks are removed; a page
    // without the table gives no rows and true. `pause`, when given, runs between the passes over
    // the whole page that come before the first row. `memo`, when given, is told of every piece.
    bool read(const QString& page, const std::function<void(QStringView row)>& row,
              const std::function<void()>& pause = {}, PieceMemo* memo = nullptr);

private:
    void piece(qsizetype index, QStringView text, PieceMemo* memo);
    void workPiece(QStringView piece);
    void emitRows(QStringView text);

    std::shared_ptr<const PagePattern> m_memberLink; // step 5
    std::shared_ptr<const PagePattern> m_entryCells; // step 7
    PageMatch m_match;
    bool m_rowPieces = true; // the program name keeps the rows apart (it has no "<" or ">")
    const std::function<void(QStringView)>* m_row = nullptr;
    QString m_buffer[2]; // the piece between steps
    QString m_pending;   // the start of a row whose end is in a later piece
};

} // namespace zelmora
