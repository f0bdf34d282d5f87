// The readers of the whereabouts entry page on arbitrary page text: no crash, no hang.
#include "core/Cp932.h"
#include "groupware/Board.h"
#include "groupware/Registration.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString page = zelmora::cp932::decode(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const zelmora::MemberRecord own = zelmora::readMyPosition(page);
    zelmora::IsAutoRegistered(own.position, own.contact);
    zelmora::readWhereEntryChoices(page).placesWithoutSeparators();
    zelmora::permissionStateFromPage(page, zelmora::PermissionKept);
    return 0;
}
