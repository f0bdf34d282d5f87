#pragma once

#include "groupware/Records.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTimeZone>

namespace zelmora {

// What the last read of each group's board page gave, for the next read of it. A board seldom
// changes between two refreshes, or changes in a few rows, and reading a thousand rows costs more
// than the rest of a refresh: the same page again gives the same records, and a row whose piece of
// the page is the same gives the same record.
//
// What a read gives depends on the page text, the program name the member links are matched
// against, the day (an update time without a date is today's) and the time zone: records are
// taken over only when the last three are what they were.
class BoardMemo {
public:
    struct Key {
        QString page;
        QString programName;
        QDate today;
        QTimeZone zone;

        // Everything but the page is the same: rows read then read the same now.
        bool sameReading(const Key& other) const;
        bool operator==(const Key& other) const;
    };

    // The pieces of a read: where each stands in the text the reader worked on, and the records it
    // gave, by piece index.
    struct Pieces {
        struct Span {
            qsizetype at = -1; // -1: the piece's rows are not its own (a row was open before or after it)
            qsizetype length = 0;
            qsizetype first = 0; // its records in the read's list
            qsizetype count = 0;
        };
        QString text;
        QList<Span> spans;
    };

    struct Entry {
        Key key;
        QList<MemberRecord> members;
        Pieces pieces;
    };

    // The last read of the group's board, or nullptr.
    const Entry* find(qint32 groupId) const;
    void store(qint32 groupId, const Entry& entry);

private:
    // A user who clicks through the tabs of a large organisation leaves one entry per group; past
    // this many the memo starts again rather than keep every page.
    static constexpr qsizetype kMaxGroups = 16;

    QHash<qint32, Entry> m_entries;
};

} // namespace zelmora
