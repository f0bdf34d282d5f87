#include "dialogs/LoginChoices.h"

#include "groupware/Directory.h"

namespace zelmora {

QList<UserRecord> membersOfGroup(const QList<UserRecord>& users, qint32 groupId) {
    QList<UserRecord> members;
    for (const UserRecord& user : users) {
        if (user.groupIds.contains(groupId))
            members.append(user);
    }
    return members;
}

LoginFocus loginFocus(bool groupSelected, bool nameSelected) {
    if (nameSelected)
        return LoginFocus::Password;
    return groupSelected ? LoginFocus::Name : LoginFocus::Group;
}

namespace {
// The combo boxes select by text, so the first entry with the name wins, as the dialog's lists do.
template <typename Record> int indexOfName(const QList<Record>& records, const QString& name) {
    if (name.isEmpty())
        return -1;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (records.at(i).name == name)
            return int(i);
    }
    return -1;
}
} // namespace

LoginSelection initialLoginSelection(const QList<GroupRecord>& groups, const QList<UserRecord>& users,
                                     qint32 lastGroupId, qint32 lastUserId) {
    LoginSelection selection;
    if (lastGroupId != -1)
        selection.groupIndex = indexOfName(groups, groupNameById(groups, lastGroupId));
    if (selection.groupIndex < 0)
        return selection;
    selection.members = membersOfGroup(users, groups.at(selection.groupIndex).id);
    if (lastUserId == -1)
        return selection;
    const QString name = userNameById(users, lastUserId);
    selection.nameIndex = indexOfName(selection.members, name);
    // Two members of one group may share a name; the remembered id tells which of them it was.
    for (qsizetype i = selection.nameIndex + 1; selection.nameIndex >= 0 && i < selection.members.size(); ++i) {
        const UserRecord& member = selection.members.at(i);
        if (member.name == name && member.id == lastUserId &&
            selection.members.at(selection.nameIndex).id != lastUserId) {
            selection.nameIndex = int(i);
            break;
        }
    }
    return selection;
}

} // namespace zelmora
