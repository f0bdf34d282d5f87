#include "groupware/BoardMemo.h"

namespace zelmora {

bool BoardMemo::Key::sameReading(const Key& other) const {
    return today == other.today && zone == other.zone && programName == other.programName;
}

bool BoardMemo::Key::operator==(const Key& other) const {
    // The page last: it is the long one, and the sizes are compared before the characters.
    return sameReading(other) && page == other.page;
}

const BoardMemo::Entry* BoardMemo::find(qint32 groupId) const {
    const auto entry = m_entries.constFind(groupId);
    return entry == m_entries.cend() ? nullptr : &*entry;
}

void BoardMemo::store(qint32 groupId, const Entry& entry) {
    if (m_entries.size() >= kMaxGroups && !m_entries.contains(groupId))
        m_entries.clear();
    m_entries.insert(groupId, entry);
}

} // namespace zelmora
