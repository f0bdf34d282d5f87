#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QString>

namespace zelmora {

// What the login dialog offers and selects, worked out from the directory without any widget.

// The users of `groupId`, in directory order, each once even when the directory lists the group
// twice for them.
QList<UserRecord> membersOfGroup(const QList<UserRecord>& users, qint32 groupId);

// The control that gets the focus when the login dialog is shown: the password once a name is
// selected, else the name list once a group is selected, else the group list.
enum class LoginFocus { Group, Name, Password };
LoginFocus loginFocus(bool groupSelected, bool nameSelected);

// The selection the dialog starts from: the remembered group (LASTLOGINUSER_GROUP) and user
// (LASTLOGINUSER_NAME), looked up by name as the lists show names (of two members with the same
// name, the one with the remembered id). An index is -1 when nothing
// is remembered or the name is not in the list.
struct LoginSelection {
    int groupIndex = -1;       // into `groups`
    QList<UserRecord> members; // the name list of the selected group
    int nameIndex = -1;        // into `members`
};
LoginSelection initialLoginSelection(const QList<GroupRecord>& groups, const QList<UserRecord>& users,
                                     qint32 lastGroupId, qint32 lastUserId);

} // namespace zelmora
