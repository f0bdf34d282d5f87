#pragma once

#include <QString>

namespace zelmora {

// Login name of the user running this session (the account's name from the password database,
// else $USER); empty when neither is known. Callers use "COMMON" for an empty name.
QString GetLoginUserName();

// The logon name the program works with: the login name, or "COMMON" when it is empty.
inline QString logonNameOrCommon(const QString& loginName) {
    return loginName.isEmpty() ? QStringLiteral("COMMON") : loginName;
}

} // namespace zelmora
