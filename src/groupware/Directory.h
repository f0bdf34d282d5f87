#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"
#include "net/TransferResult.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace zelmora {

// The group list and the user directory, read from the login-group page
// ("?page=LoginGroup&group=0&bpage=") and from the whereabouts page of every group
// ("?page=WhereIndex&gid=..."). Page text only; the lists are 0-based.

// Groups of the "Group" select, all shown, in page order. Returns false, with an empty list, when
// the select has no options.
bool readGroupList(const QString& page, QList<GroupRecord>& groups);

// Groups offered by the "gid" select of a whereabouts page, in page order, without the "all
// groups" option (value 0) and options without a value: the groups whose pages list the members.
QList<GroupRecord> readBoardGroups(const QString& page);

// Gathers the users from the whereabouts pages of the groups, one page after the other. A user
// listed under several groups (same id and same name) becomes one record with the group ids in the
// order the pages were added; the same id under another name becomes another user.
class DirectoryBuilder {
public:
    // `programName` is "office.exe" or "office.cgi", which the member links name.
    explicit DirectoryBuilder(const QString& programName);

    void addGroupPage(const QString& page, qint32 groupId);

    // The users in the order first seen, with the duplicate-name flag set on every user whose name
    // another user has too.
    QList<UserRecord> users() const;

private:
    QString m_linkStart;
    QString m_linkLine;
    QList<UserRecord> m_users;
    QHash<QPair<qint32, QString>, qsizetype> m_index;
};

// Fetches "?page=LoginGroup&group=0&bpage=" and reads the groups into `groups` (cleared first).
// False when the page does not arrive, is rejected by IsValidPage or has no groups. `fetched`, when
// given, receives the transfer's outcome for callers that report errors.
bool GetGroupList(const ConnectionSettings& connection, QList<GroupRecord>& groups, PageResult* fetched = nullptr);

// Fetches the whereabouts page of all groups, then that of every group it offers, and gathers the
// users into `users` (cleared first). False, with an empty list, when the first page is rejected or
// any page fails to arrive; `fetched` then receives the failed transfer's outcome.
bool GetUserData(const ConnectionSettings& connection, QList<UserRecord>& users, PageResult* fetched = nullptr);

// Name of the group with `id`, empty when there is none.
QString groupNameById(const QList<GroupRecord>& groups, qint32 id);
// Index of the first group with `id`, -1 when there is none.
qsizetype groupIndexById(const QList<GroupRecord>& groups, qint32 id);
// Name of the first user with `id`, empty when there is none.
QString userNameById(const QList<UserRecord>& users, qint32 id);
// Index of the first user with `id`, -1 when there is none.
qsizetype userIndexById(const QList<UserRecord>& users, qint32 id);

} // namespace zelmora
