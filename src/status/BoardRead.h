#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QString>

#include <functional>

namespace zelmora {

// Reads the board of one group into `out` (GetPositionList); false when the board could not be read.
using BoardReader = std::function<bool(qint32 groupId, QList<MemberRecord>& out)>;

// Tab key of a group's tab ("ID" + id) and the group id taken back from a key (the text from its third
// character on; 0 when that is not a number).
QString tabKey(qint32 groupId);
qint32 groupIdFromTabKey(const QString& key);

// Reads the board(s) that GET_DATA_MODE asks for into `members` and returns the read result (false sets the
// refresh's error flag). tabGroupIds: the group id of each tab in tab order; currentTab: intCurrentTab
// (from 1). Mode 0 reads group 0; mode 1 the current tab's group; mode 2 every tab, merged with
// appendMergedBoard (the last tab's read decides the result). No tabs (modes 1, 2), a current tab outside
// the strip (mode 1) or another mode: false. `members` is left alone when nothing is read, except that
// mode 2 always empties it first.
bool readBoardsByMode(qint16 mode, const QList<qint32>& tabGroupIds, int currentTab, const BoardReader& read,
                      QList<MemberRecord>& members);

// Appends the rows of one board to the merged member list, leaving out members already in it.
void appendMergedBoard(QList<MemberRecord>& members, const QList<MemberRecord>& board);

} // namespace zelmora
