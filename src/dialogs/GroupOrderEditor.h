#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QString>

namespace zelmora {

// The display order of the status window's tabs as the settings dialog edits it (GROUP_DISP_ORDER).
// Rows count from 0 as in the list box; -1 is "no selection". Every operation returns the row that
// is selected afterwards.
class GroupOrderEditor {
public:
    // `groups`: the group list the names come from. An id of `order` that names no group of a
    // non-empty list is left out: the group is gone from the server. Without a group list (the
    // directory is not loaded yet) every id is kept, with an empty name.
    void load(const QList<GroupRecord>& groups, const QList<qint32>& order);

    const QList<GroupRecord>& entries() const { return m_entries; }
    QList<qint32> ids() const;
    bool contains(qint32 groupId) const;

    // Inserts group `groupIndex` of the group list before row `selected`, or appends it when
    // nothing is selected. Nothing happens for an index outside the list or a group already listed.
    // The entry that was selected stays selected.
    int add(qsizetype groupIndex, int selected);
    // Removes the selected row; afterwards nothing is selected.
    int remove(int selected);
    // Swap the selected row with its neighbour; the moved entry stays selected.
    int moveUp(int selected);
    int moveDown(int selected);

private:
    bool isRow(int row) const { return row >= 0 && row < m_entries.size(); }

    QList<GroupRecord> m_groups;
    QList<GroupRecord> m_entries;
};

} // namespace zelmora
