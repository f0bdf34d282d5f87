#pragma once

#include "groupware/Records.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace zelmora {

struct ConnectionSettings;
struct PageResult;
class GroupwareSession;

// Reading of the whereabouts board ("?page=WhereIndex&gid=") and of the own entry on the
// whereabouts entry page ("?page=WhereEntry&id=...&bpage=index").
//
// The read* functions work on page text only, so that they can be tested on fixtures and fuzzed;
// GetPositionList and GetMyPosition fetch the page and read it.

// Reads the board page of one group into `members` (cleared first; 0-based). `programName` is
// "office.exe" or "office.cgi": the member links on the page are matched against it. Returns
// false when nothing is left of the page once its line breaks are removed; a page without the
// expected table gives an empty list and true. The page is expected to have passed IsValidPage.
bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members);

// Reads the logged-in user's entry from the white row of the whereabouts entry page. The member
// id is not filled; every field is empty when the page does not show the entry.
MemberRecord readMyPosition(const QString& page);

// True when both texts are non-empty and each ends in a registration mark ("*" or "?"); the two
// marks need not be the same.
bool IsAutoRegistered(const QString& position, const QString& contact);

// Sets autoRegistered/present from the last characters of position and contact: both "*" is
// registered present, both "?" registered absent, anything else not automatic.
void applyRegistrationMarks(MemberRecord& record);

// Reads an update time as the board writes it, once the weekday is gone: "yyyy/m/d h:mm[:ss]" or
// "m/d h:mm[:ss]", with any run of spaces between date and time and full-width digits allowed.
// Without a year the date is taken in the year of `today`, or in the year before when that would
// put it more than a day after `today` (an entry from late December read in early January).
// Returns an invalid QDateTime when the text is not such a time.
QDateTime readUpdateTime(const QString& text, const QDate& today);

// Fetches "?page=WhereIndex&gid=" + `groupId` and reads it into `members` (cleared first). False
// when the page is rejected by IsValidPage or empty; `members` is then empty. When the logged-in
// user is on the board, the session's own record becomes a copy of that row. `fetched`, when
// given, receives the transfer's outcome for callers that report errors.
bool GetPositionList(const ConnectionSettings& connection, GroupwareSession& session, QList<MemberRecord>& members,
                     qint32 groupId, PageResult* fetched = nullptr);

// Fetches the logged-in user's whereabouts entry page and reads the own entry (member id not
// filled). Without a logged-in user nothing is fetched and the record is empty.
MemberRecord GetMyPosition(const ConnectionSettings& connection, const GroupwareSession& session,
                           PageResult* fetched = nullptr);

} // namespace zelmora
