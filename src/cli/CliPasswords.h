#pragma once

#include "cli/CliArgs.h"

#include <QString>

#include <optional>

namespace zelmora::cli {

// The groupware password and the server logon password of a command, from (first found wins)
// --password / --server-password, --password-file / --server-password-file (a file's first line;
// "-" reads a line of standard input, the groupware password's first when both ask for it), or the
// environment ($ZELMORA_PASSWORD, $ZELMORA_SERVER_PASSWORD). A password given as an argument is
// readable by every local user in the process list: a warning says so on standard error.
struct CliPasswords {
    std::optional<QString> password;
    std::optional<QString> serverPassword;
    QString error; // non-empty when a password file could not be read

    static CliPasswords read(const CliArgs& args);
};

} // namespace zelmora::cli
