// zelmora-cli: the groupware library and the settings file from a shell, for scripts,
// cron jobs and administrators.
#include "cli/CliArgs.h"
#include "cli/CliConnection.h"
#include "cli/Commands.h"

#include <QCoreApplication>

using namespace zelmora::cli;

namespace {
void printUsage() {
    QString text = QStringLiteral("usage: zelmora-cli [options] COMMAND [arguments]\n\ncommands:\n");
    for (const Command& c : commands())
        text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.usage));
    text += QStringLiteral("\n%1\n").arg(QString::fromUtf8(kConnectionUsage));
    printErr(text);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelmora-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELMORA_VERSION_STRING));

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        printUsage();
        return ExitOk;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        printOut(QStringLiteral("zelmora-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitOk;
    }
    const CliArgs args = CliArgs::parse(arguments);
    if (!args.error.isEmpty()) {
        printErr(args.error + QLatin1Char('\n'));
        return ExitUsage;
    }
    for (const Command& c : commands()) {
        if (args.command() == QLatin1String(c.name))
            return c.run(args);
    }
    if (!args.command().isEmpty())
        printErr(QStringLiteral("unknown command: %1\n").arg(args.command()));
    printUsage();
    return ExitUsage;
}
