#pragma once

#include "cli/CliArgs.h"

namespace zelmora::cli {

// zelmora-cli --data DIR settings show [--user ID]
// zelmora-cli --data DIR settings set KEY=VALUE...
int runSettings(const CliArgs& args);

} // namespace zelmora::cli
