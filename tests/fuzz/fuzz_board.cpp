// The board reader on arbitrary page text: no crash, no hang.
#include "core/Cp932.h"
#include "core/DateTimeText.h"
#include "groupware/Board.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // cp932 as the server sends it, and UTF-8 so that the field marker characters can occur too.
    for (const QString& page : {zelmora::cp932::decode(bytes), QString::fromUtf8(bytes)}) {
        QList<zelmora::MemberRecord> members;
        zelmora::readPositionList(page, QStringLiteral("office.exe"), members);
        zelmora::readDateTime(page, QDate(2002, 6, 3));
        zelmora::readTimeOfDay(page);
    }
    return 0;
}
