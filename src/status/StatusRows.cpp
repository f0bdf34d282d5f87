#include "status/StatusRows.h"

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
    QList<StatusRow> rows;
    for (const MemberRecord& member : members) {
        const auto user =
            std::find_if(users.cbegin(), users.cend(), [&member](const UserRecord& u) { return u.id == member.id; });
        if (user == users.cend())
            continue;
        const auto matches = std::count(user->groupIds.cbegin(), user->groupIds.cend(), tabGroupId);
        for (qsizetype i = 0; i < matches; ++i)
            rows.append(makeRow(member, today));
    }
    return rows;
}

} // namespace zelmora
