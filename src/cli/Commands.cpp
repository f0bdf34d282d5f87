#include "cli/Commands.h"
#include "cli/PageCommand.h"
#include "cli/SettingsCommand.h"

namespace zelmora::cli {

const QList<Command>& commands() {
    static const QList<Command> table = {
        {"settings", runSettings,
         "--data DIR settings show [--user ID] | settings set KEY=VALUE...\n"
         "      show: Zelmora.ini as JSON (no passwords); the user section is --user or the last login;\n"
         "            exit 1 when the file is missing.\n"
         "      set:  change [COMMON] keys, other sections kept; a value the program would not accept\n"
         "            exits 1, a key that is not a [COMMON] key exits 2; nothing is written then."},
        {"page", runPageCommand,
         "page [QUERY]      print a page of the server (exit 0 usable, 1 error page, 3 no answer)"},
    };
    return table;
}

} // namespace zelmora::cli
