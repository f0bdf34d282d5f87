#include "status/RowColour.h"

namespace zelmora {

CellColour entryColour(const MemberRecord& member, const QDate& today) {
    // An entry without an update time counts as stale: the member never registered anything.
    if (!member.updated.isValid() || member.updated.date() != today)
        return CellColour::Red;
    if (member.position.contains(kMarkAbsent))
        return CellColour::Magenta;
    if (member.position.contains(kMarkPresent))
        return CellColour::Blue;
    return CellColour::Black;
}

} // namespace zelmora
