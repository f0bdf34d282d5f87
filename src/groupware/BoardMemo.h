#pragma once

#include "groupware/Records.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTimeZone>

namespace zelmora {

// The records last read from each group's board page, handed out again while the page comes back
// unchanged. A board seldom changes between two refreshes, and reading a thousand rows costs more
// than the rest of a refresh; comparing the page with the last one costs a memcmp.
//
// What a read gives depends on the page text, the program name the member links are matched
// against, the day (an update time without a date is today's) and the time zone. An entry is used
// only when all four are what they were.
class BoardMemo {
public:
    struct Key {
        QString page;
        QString programName;
        QDate today;
        QTimeZone zone;

        bool operator==(const Key& other) const;
    };

    // The records read before under `key` for the group, or nullptr.
    const QList<MemberRecord>* find(qint32 groupId, const Key& key) const;
    void store(qint32 groupId, const Key& key, const QList<MemberRecord>& members);
    void clear() { m_entries.clear(); }

private:
    // A user who clicks through the tabs of a large organisation leaves one entry per group; past
    // this many the memo starts again rather than keep every page.
    static constexpr qsizetype kMaxGroups = 16;

    struct Entry {
        Key key;
        QList<MemberRecord> members;
    };
    QHash<qint32, Entry> m_entries;
};

} // namespace zelmora
