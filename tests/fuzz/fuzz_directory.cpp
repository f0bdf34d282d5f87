// Group list and member readers on arbitrary page text: no crash, no hang, sane records.
#include "core/Cp932.h"
#include "groupware/Directory.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString page = zelmora::cp932::decode(QByteArrayView(data, qsizetype(size)));

    QList<GroupRecord> groups;
    if (readGroupList(page, groups) == groups.isEmpty()) {
        std::abort();
    }
    for (const GroupRecord& group : readBoardGroups(page)) {
        if (group.id == 0) {
            std::abort();
        }
    }

    DirectoryBuilder builder(QStringLiteral("office.exe"));
    builder.addGroupPage(page, 1);
    builder.addGroupPage(page, 2);
    for (const UserRecord& user : builder.users()) {
        // Each page adds a user once per line it is named on, and the same pages were added twice.
        if (user.groupIds.isEmpty() || user.groupIds.first() != 1 || user.groupIds.last() != 2) {
            std::abort();
        }
    }
    return 0;
}
