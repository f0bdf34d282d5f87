#pragma once

#include "groupware/BoardMemo.h"
#include "groupware/Records.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

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
// `betweenRows`, when given, runs after each row has been added to `members`, and between the
// passes over the whole page before the first row.
bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members,
                      const std::function<void()>& betweenRows = {});

// The same for `key`'s page, read with its program name, day and zone. The pieces of the page that
// `last` (an earlier read) holds unchanged keep its records when it was read with the same program
// name, day and zone; `pieces`, when given, receives this read's pieces for the next one.
bool readPositionList(const BoardMemo::Key& key, QList<MemberRecord>& members, const BoardMemo::Entry* last,
                      BoardMemo::Pieces* pieces, const std::function<void()>& betweenRows = {});

// Reads the logged-in user's entry from the white row of the whereabouts entry page. The member
// id is not filled; every field is empty when the page does not show the entry.
MemberRecord readMyPosition(const QString& page);

// True when both texts are non-empty and each ends in a registration mark ("*" or "?"); the two
// marks need not be the same.
bool IsAutoRegistered(const QString& position, const QString& contact);

// Sets autoRegistered/present from the last characters of position and contact: both "*" is
// registered present, both "?" registered absent, anything else not automatic.
void applyRegistrationMarks(MemberRecord& record);

// Fetches "?page=WhereIndex&gid=" + `groupId` and reads it into `members` (cleared first). False
// when the page is rejected by IsValidPage or empty; `members` is then empty. When the logged-in
// user is on the board, the session's own record becomes a copy of that row. Between rows the
// events that are waiting are processed (every few milliseconds), so that a long board never
// freezes the windows; the callers' guards keep a second read of the same list from starting. `fetched`, when
// given, receives the transfer's outcome for callers that report errors.
bool GetPositionList(const ConnectionSettings& connection, GroupwareSession& session, QList<MemberRecord>& members,
                     qint32 groupId, PageResult* fetched = nullptr);

// Fetches the logged-in user's whereabouts entry page and reads the own entry (member id not
// filled). Without a logged-in user nothing is fetched and the record is empty.
MemberRecord GetMyPosition(const ConnectionSettings& connection, const GroupwareSession& session,
                           PageResult* fetched = nullptr);

} // namespace zelmora
