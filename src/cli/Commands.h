#pragma once

#include "cli/CliArgs.h"

namespace zelmora::cli {

// One entry per command of zelmora-cli. Each command lives in its own file and returns an ExitCode.
struct Command {
    const char* name;
    int (*run)(const CliArgs& args);
    const char* usage;
};

// The table of commands, in the order `zelmora-cli --help` lists them.
const QList<Command>& commands();

} // namespace zelmora::cli
