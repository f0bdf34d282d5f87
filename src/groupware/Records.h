#pragma once

#include "core/ApplicationFlags.h"
#include "core/DirectoryRecords.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace zelmora {

// Registration marks appended to both the whereabouts text and the contact text by the
// automatic registration.
inline constexpr QChar kMarkPresent = QLatin1Char('*');
inline constexpr QChar kMarkAbsent = QLatin1Char('?');

// One row of the whereabouts board.
struct MemberRecord {
    QString name;
    qint32 id = 0;
    QString position;  // whereabouts text, entities decoded
    QDateTime updated; // invalid when the page's text is not a date
    QString contact;   // entities decoded
    bool memo = false; // a telephone memo waits
    bool autoRegistered = false;
    bool present = false; // meaningful when autoRegistered: "*" true, "?" false
};

struct NoticeCounts {
    qint16 mail = 0;
    qint16 circular = 0;
    qint16 memo = 0;
    bool newArticle = false;
    qint16 workflow = 0;

    bool operator==(const NoticeCounts&) const = default;
};

struct ScheduleItem {
    enum Kind : qint16 { NoTime = 0, StartOnly = 1, StartEnd = 2 };
    qint16 kind = NoTime;
    QDateTime start;
    QDateTime end;
    QString title;
    bool armed = false;  // the alarm has still to be raised
    QDateTime alarmTime; // when the alarm is due
};

// One entry of the top page's link box; title "-" with an empty url separates two link groups.
struct LinkItem {
    QString title;
    QString url;

    bool isSeparator() const { return title == QLatin1String("-") && url.isEmpty(); }
    bool operator==(const LinkItem&) const = default;
};

} // namespace zelmora
