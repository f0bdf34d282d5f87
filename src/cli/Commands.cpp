#include "cli/Commands.h"
#include "cli/PageCommand.h"
#include "cli/SettingsCommand.h"

namespace zelmora::cli {

int runCheckCommand(const CliArgs& args);
int runLoginCommand(const CliArgs& args);
int runAppsCommand(const CliArgs& args);
int runBoardCommand(const CliArgs& args);
int runMeCommand(const CliArgs& args);
int runChoicesCommand(const CliArgs& args);
int runPermissionCommand(const CliArgs& args);
int runPresentCommand(const CliArgs& args);
int runAbsentCommand(const CliArgs& args);
int runRegisterCommand(const CliArgs& args);
int runGroupsCommand(const CliArgs& args);
int runUsersCommand(const CliArgs& args);
int runNoticesCommand(const CliArgs& args);
int runLatestArticleCommand(const CliArgs& args);
int runScheduleCommand(const CliArgs& args);
int runLinksCommand(const CliArgs& args);
int runMemoCommand(const CliArgs& args);
int runAutostartCommand(const CliArgs& args);

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
        {"check", runCheckCommand, "check             is the server Cybozu Office 4? {\"ok\": B}"},
        {"login", runLoginCommand, "login --user ID   log in: {\"ok\": B, \"user\": ID}"},
        {"apps", runAppsCommand, "apps --user ID    usable applications: {\"mask\": N} (1 schedule ... 32 workflow)"},
        {"board", runBoardCommand,
         "board GID         whereabouts board of a group (0 everyone) as a JSON list of members"},
        {"me", runMeCommand, "me --user ID      the user's own whereabouts entry"},
        {"choices", runChoicesCommand,
         "choices --user ID the place, until and unit choices of the whereabouts entry page"},
        {"permission", runPermissionCommand,
         "permission --user ID  may the user change other members' entries? {\"state\": 0|1}"},
        {"present", runPresentCommand, "present --user ID automatic registration as present (marks \"*\")"},
        {"absent", runAbsentCommand, "absent --user ID  automatic registration as absent (marks \"?\")"},
        {"register", runRegisterCommand,
         "register PLACE --user ID [--contact C] [--until N] [--unit U] [--for ID]\n"
         "                  one whereabouts entry (no mark added), for the user or member --for"},
        {"groups", runGroupsCommand, "groups            the groups of the login page: [{\"id\": N, \"name\": S}]"},
        {"users", runUsersCommand,
         "users             the user directory gathered over every group's board:\n"
         "                  [{\"id\": N, \"name\": S, \"groups\": [N...], \"duplicate\": B}]"},
        {"notices", runNoticesCommand,
         "notices --user ID [--last-article N]\n"
         "                  notice counts of the top page: {\"mail\", \"circular\", \"memo\", \"workflow\": N,\n"
         "                  \"newArticle\": B (a bulletin article newer than N, default 0)}"},
        {"latest-article", runLatestArticleCommand,
         "latest-article --user ID  the newest bulletin article: {\"id\": N} (-1 when none)"},
        {"schedule", runScheduleCommand,
         "schedule --user ID today's schedule of the top page:\n"
         "                  [{\"kind\": 0|1|2, \"start\": \"HH:MM\"|null, \"end\": \"HH:MM\"|null, \"title\": S}]"},
        {"links", runLinksCommand,
         "links --user ID   the top page's links: [{\"title\": S, \"url\": S}] (separator: \"-\" and \"\")"},
        {"memo", runMemoCommand,
         "memo --to ID --user ID [--from NAME] [--request 0|1|2] [--tel T] [--message M] [--writer W]\n"
         "     [--time HH:MM]  a telephone memo for member --to (writer: the user's name by default)"},
        {"autostart", runAutostartCommand,
         "autostart on [--data DIR] | off | status\n"
         "                  start zelmora at login (on the data folder DIR): the entry\n"
         "                  ~/.config/autostart/zelmora.desktop; {\"autostart\": B, \"file\": PATH}"},
    };
    return table;
}

} // namespace zelmora::cli
