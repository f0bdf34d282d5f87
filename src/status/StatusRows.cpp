#include "status/StatusRows.h"

#include <QHash>

#include <algorithm>

namespace zelmora {

QList<QString> statusHeaders() {
    return {QStringLiteral("氏名"), QStringLiteral("行先"), QStringLiteral("ﾒﾓ"), QStringLiteral("連絡先TEL"),
            QStringLiteral("最終更新日時")};
}

namespace {
StatusRow makeRow(const MemberRecord& member, const QDate& today) {
    StatusRow row;
    row.userId = member.id;
    row.name = member.name;
    row.position = member.position;
    row.memo = member.memo ? QStringLiteral("○") : QString();
    row.contact = member.contact;
    if (member.updated.isValid())
        row.updated = member.updated.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    row.colour = entryColour(member, today);
    return row;
}
} // namespace

QList<StatusRow> statusRows(const QList<MemberRecord>& members, const QList<UserRecord>& users, qint32 tabGroupId,
                            const QDate& today) {
    // The first directory entry of each id, as a search from the front would find it.
    QHash<qint32, const UserRecord*> byId;
    byId.reserve(users.size());
    for (const UserRecord& user : users)
        if (!byId.contains(user.id))
            byId.insert(user.id, &user);
    QList<StatusRow> rows;
    rows.reserve(members.size());
    for (const MemberRecord& member : members) {
        const UserRecord* user = byId.value(member.id);
        if (!user)
            continue;
        const auto matches = std::count(user->groupIds.cbegin(), user->groupIds.cend(), tabGroupId);
        for (qsizetype i = 0; i < matches; ++i)
            rows.append(makeRow(member, today));
    }
    return rows;
}

} // namespace zelmora
