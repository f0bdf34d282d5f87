#include "groupware/BoardMemo.h"

namespace zelmora {

bool BoardMemo::Key::operator==(const Key& other) const {
    // The page last: it is the long one, and the sizes are compared before the characters.
    return today == other.today && zone == other.zone && programName == other.programName && page == other.page;
}

const QList<MemberRecord>* BoardMemo::find(qint32 groupId, const Key& key) const {
    const auto entry = m_entries.constFind(groupId);
    if (entry == m_entries.cend() || !(entry->key == key))
        return nullptr;
    return &entry->members;
}

void BoardMemo::store(qint32 groupId, const Key& key, const QList<MemberRecord>& members) {
    if (m_entries.size() >= kMaxGroups && !m_entries.contains(groupId))
        m_entries.clear();
    m_entries.insert(groupId, Entry{key, members});
}

} // namespace zelmora
