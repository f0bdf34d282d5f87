// autostart on|off|status: the session's autostart entry that starts zelmora at login.
#include "cli/CliOutput.h"
#include "core/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace zelmora::cli {

namespace {
constexpr const char* kSynopsis = "autostart on [--data DIR] | off | status";

// The desktop program beside this one (an installation or a build folder), else by name from PATH.
QString programPath() {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelmora"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString build = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../app/zelmora"));
    if (QFileInfo(build).isExecutable())
        return QDir::cleanPath(build);
    return QStringLiteral("zelmora");
}

QJsonObject state(const QString& path) {
    return QJsonObject{{"autostart", QFile::exists(path)}, {"file", path}};
}

int switchOn(const QString& path, const CliArgs& args) {
    QString dataFolder = args.value(QStringLiteral("data"));
    if (dataFolder.contains(QLatin1Char('\n')) || dataFolder.contains(QLatin1Char('\r'))) {
        printErr(QStringLiteral("--data: a folder name with a line break cannot be started at login\n"));
        return ExitUsage;
    }
    if (!dataFolder.isEmpty())
        dataFolder = QFileInfo(dataFolder).absoluteFilePath();
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
        file.write(autostartEntryText(programPath(), dataFolder).toUtf8()) < 0 || !file.commit()) {
        printErr(QStringLiteral("cannot write %1\n").arg(path));
        return ExitFailed;
    }
    printJson(state(path));
    return ExitOk;
}

int switchOff(const QString& path) {
    if (QFile::exists(path) && !QFile::remove(path)) {
        printErr(QStringLiteral("cannot remove %1\n").arg(path));
        return ExitFailed;
    }
    printJson(state(path));
    return ExitOk;
}
} // namespace

int runAutostartCommand(const CliArgs& args) {
    const QString mode = args.rest().value(0);
    const bool known = mode == QLatin1String("on") || mode == QLatin1String("off") || mode == QLatin1String("status");
    if (args.rest().size() != 1 || !known || (args.has(QStringLiteral("data")) && mode != QLatin1String("on"))) {
        printErr(QStringLiteral("usage: zelmora-cli %1\n").arg(QString::fromUtf8(kSynopsis)));
        return ExitUsage;
    }
    const QString path = autostartEntryPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    if (mode == QLatin1String("on"))
        return switchOn(path, args);
    if (mode == QLatin1String("off"))
        return switchOff(path);
    printJson(state(path));
    return ExitOk;
}

} // namespace zelmora::cli
