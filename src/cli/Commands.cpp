#include "cli/Commands.h"

namespace zelmora::cli {

const QList<Command>& commands() {
    static const QList<Command> table = {
    };
    return table;
}

} // namespace zelmora::cli
