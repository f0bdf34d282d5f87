#pragma once

#include "groupware/Records.h"

#include <QDate>
#include <QList>
#include <QString>

namespace zelmora {

struct ConnectionSettings;

// Readers of the personal top page ("?_System=Login&_Update=再読込") and of the newest article on
// the bulletin index ("?page=BulletinIndex"). They work on page text only; callers skip them
// while nobody is logged in. Every match ignores case, and line breaks are removed from the page
// first, so the boxes may be written over any number of lines.

// Counts of the notice box: new mail, unread circulars, telephone memos, and workflow (pending
// applications plus application results). `latestArticleId` is the newest bulletin article id
// (-1 when unknown): when it is above `lastNotifiedArticleId`, newArticle is set and
// `lastNotifiedArticleId` is raised to it. A page without the box gives zero counts.
NoticeCounts GetNotice(const QString& page, qint32 latestArticleId, qint32& lastNotifiedArticleId);

// Today's appointments of the user named `userName` (the name as the directory has it) from the
// schedule box, dated `today`. Replaces the contents of `items` (0-based) and returns their number.
// A multi-day appointment comes last, titled "(複数日) " and its text. Times may be written with
// full-width digits; a line whose time is no time of day (such as 25:00) is kept as a line without
// time.
qsizetype GetTodaySchedule(const QString& page, const QString& userName, const QDate& today,
                           QList<ScheduleItem>& items);

// Links of the link box, replacing the contents of `links` (0-based). With a horizontal rule in
// the box the links before it and those after it are separated by a separator item (title "-",
// no url); links after a second rule are left out. Returns the number of items, separator included.
qsizetype GetLinks(const QString& page, QList<LinkItem>& links);

// Id of the newest article on the bulletin index page, -1 when the page shows none.
// `programName` is "office.exe" or "office.cgi", which the article links name.
qint32 readLatestArticleId(const QString& page, const QString& programName);

// Fetches the bulletin index ("?page=BulletinIndex") and reads the id of its newest article; -1
// when there is none or the page did not come.
qint32 GetLatestArticleId(const ConnectionSettings& connection);

} // namespace zelmora
