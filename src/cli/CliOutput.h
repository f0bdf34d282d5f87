#pragma once

#include "cli/CliArgs.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

namespace zelmora {
struct PageResult;
struct PostResult;
} // namespace zelmora

namespace zelmora::cli {

class CliConnection;

// Opens the connection from the options and logs in when --user was given; an exit code other
// than ExitOk ends the command (its message is already on stderr).
int openAndLogin(CliConnection& connection, const CliArgs& args);

// The same for a command that needs a logged-in user: without --user, and without a stored password
// of the data folder's last user, prints the usage of `synopsis` and returns ExitUsage.
int openAndLoginUser(CliConnection& connection, const CliArgs& args, const char* synopsis);

// Prints "usage: zelmora-cli [options] " + `synopsis` and the connection options; ExitUsage.
int usage(const char* synopsis);

// Writes `value` as JSON (UTF-8, one document, newline-terminated) on stdout.
void printJson(const QJsonArray& value);
void printJson(const QJsonObject& value);

// "YYYY-MM-DDTHH:MM:SS" in local time, or null for an invalid date-time.
QJsonValue dateTimeJson(const QDateTime& at);

// Exit code and message for a page that could not be read: ExitNoAnswer when the server did not
// answer, ExitFailed otherwise (transfer error after an answer, error page, or `what`).
int pageFailure(const PageResult& page, const QString& what = {});

// Exit code and message for a post: ExitOk, ExitNoAnswer without an answer, ExitFailed otherwise.
int postOutcome(const PostResult& post);

} // namespace zelmora::cli
