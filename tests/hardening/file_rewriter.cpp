// Rewrites a settings file and a user directory file with content A and B in turn until it is
// killed; the crash tests kill it at random moments. Prints "ready" once the first pair is written.
//   file_rewriter SETTINGS_FILE USERDATA_FILE FIRST(0|1)
#include "RewriteContent.h"

#include "core/SettingsFile.h"
#include "groupware/UserDataFile.h"

#include <cstdio>
#include <cstdlib>

using namespace zelmora;

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const QString settingsPath = QString::fromLocal8Bit(argv[1]);
    const QString userDataPath = QString::fromLocal8Bit(argv[2]);
    int which = std::atoi(argv[3]) == 0 ? 0 : 1;
    const Settings settings[2] = {test::rewriteSettings(0), test::rewriteSettings(1)};
    const SettingsContext contexts[2] = {test::rewriteContext(0), test::rewriteContext(1)};
    const QList<UserRecord> users[2] = {test::rewriteUsers(0), test::rewriteUsers(1)};
    for (bool first = true;; first = false) {
        if (WriteSettingsFile(settingsPath, test::kRewriteSection, settings[which], contexts[which]) != SettingsDone)
            return 1;
        if (!SaveUserData(users[which], userDataPath))
            return 1;
        if (first) {
            std::puts("ready");
            std::fflush(stdout);
        }
        which = 1 - which;
    }
}
