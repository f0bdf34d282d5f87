// UserData.dat reader on arbitrary bytes: no crash, and what it read is written and read back alike.
#include "core/Cp932.h"
#include "groupware/UserDataFile.h"

#include <cstdint>
#include <cstdlib>

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QList<UserRecord> users;
    parseUserData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), users);

    // Names without quotes, commas or line breaks, in characters that cp932 can write back, survive a
    // round trip unchanged.
    QList<UserRecord> plain;
    for (const UserRecord& user : users) {
        if (!user.name.contains(QLatin1Char('"')) && !user.name.contains(QLatin1Char(',')) &&
            !user.name.contains(QLatin1Char('\r')) && !user.name.contains(QLatin1Char('\n')) &&
            !user.name.contains(QChar(0xFFFD)) && cp932::decode(cp932::encode(user.name)) == user.name) {
            plain.append(user);
        }
    }
    QList<UserRecord> again;
    if (!parseUserData(composeUserData(plain), again) || again.size() != plain.size()) {
        std::abort();
    }
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (again[i].id != plain[i].id || again[i].name != plain[i].name || again[i].groupIds != plain[i].groupIds ||
            again[i].number != plain[i].number || again[i].duplicateName != plain[i].duplicateName) {
            std::abort();
        }
    }
    return 0;
}
