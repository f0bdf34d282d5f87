#pragma once

#include "cli/CliArgs.h"

namespace zelmora::cli {

// page [QUERY]: prints the server's page after an optional login. Exit status: 0 usable page,
// 1 error page or refused login, 3 no answer.
int runPageCommand(const CliArgs& args);

} // namespace zelmora::cli
