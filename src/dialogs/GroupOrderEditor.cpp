#include "dialogs/GroupOrderEditor.h"

#include "groupware/Directory.h"

namespace zelmora {

void GroupOrderEditor::load(const QList<GroupRecord>& groups, const QList<qint32>& order) {
    m_groups = groups;
    m_entries.clear();
    for (const qint32 id : order) {
        const qsizetype index = groupIndexById(groups, id);
        if (index >= 0)
            m_entries.append(groups.at(index));
        else if (groups.isEmpty())
            m_entries.append(GroupRecord{id, QString(), true});
    }
}

QList<qint32> GroupOrderEditor::ids() const {
    QList<qint32> ids;
    ids.reserve(m_entries.size());
    for (const GroupRecord& entry : m_entries)
        ids.append(entry.id);
    return ids;
}

bool GroupOrderEditor::contains(qint32 groupId) const {
    for (const GroupRecord& entry : m_entries) {
        if (entry.id == groupId)
            return true;
    }
    return false;
}

int GroupOrderEditor::add(qsizetype groupIndex, int selected) {
    if (!isRow(selected))
        selected = -1;
    if (groupIndex < 0 || groupIndex >= m_groups.size() || contains(m_groups.at(groupIndex).id))
        return selected;
    if (selected < 0) {
        m_entries.append(m_groups.at(groupIndex));
        return -1;
    }
    m_entries.insert(selected, m_groups.at(groupIndex));
    return selected + 1;
}

int GroupOrderEditor::remove(int selected) {
    if (isRow(selected))
        m_entries.removeAt(selected);
    return -1;
}

int GroupOrderEditor::moveUp(int selected) {
    if (!isRow(selected))
        return -1;
    if (selected == 0)
        return selected;
    m_entries.swapItemsAt(selected, selected - 1);
    return selected - 1;
}

int GroupOrderEditor::moveDown(int selected) {
    if (!isRow(selected))
        return -1;
    if (selected == m_entries.size() - 1)
        return selected;
    m_entries.swapItemsAt(selected, selected + 1);
    return selected + 1;
}

} // namespace zelmora
