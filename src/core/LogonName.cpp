#include "core/LogonName.h"

#include <QByteArray>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace zelmora {

QString GetLoginUserName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name &&
        *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::fromLocal8Bit(qgetenv("USER"));
}

} // namespace zelmora
