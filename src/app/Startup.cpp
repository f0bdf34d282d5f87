#include "app/Startup.h"

#include "core/AppState.h"
#include "core/Logging.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "ui/HelpFile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace zelmora {

namespace {
const QDate kReleaseDate(2002, 6, 30);

const QString kScriptingHostMessage =
    QStringLiteral("ゼルモラを動作させるためにはWindows Scripting Host Ver5.5以降が必要です.\r\n"
                   "このコンピュータにはWindows Scripting Hostがインストールされていないか、"
                   "古いバージョンがインストールされています.");
const QString kBrowserMessage =
    QStringLiteral("ゼルモラを動作させるためにはインターネットエクスプローラ Ver4.0以降が必要です.\r\n"
                   "このコンピュータにはインターネットエクスプローラがインストールされていないか、"
                   "古いバージョンがインストールされています.");
const QString kCommonDefaultsMessage = QStringLiteral("設定ファイルにエラーがありましたので既定値を使用します.\r\n"
                                                      "設定を再度行って下さい.");

// The page readers rely on "." stopping at line ends, case-insensitive and global matching and
// "$1" replacements; an engine that gets one of them wrong would misread every page.
bool regularExpressionsWork() {
    const QRegularExpression dot(QStringLiteral("(*ANYCRLF)a.c"), QRegularExpression::CaseInsensitiveOption);
    if (!dot.isValid() || !dot.match(QStringLiteral("xABCx")).hasMatch() ||
        dot.match(QStringLiteral("a\nc")).hasMatch() || dot.match(QStringLiteral("a\rc")).hasMatch())
        return false;
    QString text = QStringLiteral("<td>在席</td><td>外出</td>");
    text.replace(QRegularExpression(QStringLiteral("<td>([^<]*)</td>")), QStringLiteral("[\\1]"));
    return text == QStringLiteral("[在席][外出]");
}

bool fileSystemUsable(const QString& dataFolder) {
    if (dataFolder.isEmpty())
        return false;
    const QFileInfo info(dataFolder);
    if (!info.exists() && !QDir().mkpath(dataFolder))
        return false;
    const QFileInfo created(dataFolder);
    return created.isDir() && created.isReadable() && created.isExecutable();
}
} // namespace

QString versionLabelText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3 ").arg(major).arg(minor).arg(revision) +
           kReleaseDate.toString(QStringLiteral("(yyyy/MM/dd)"));
}

bool isWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    // Permission bits do not tell about read-only mounts; a file that can be created does.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zelmora-probe-XXXXXX")));
    return probe.open();
}

bool isInstalledProgramFolder(const QString& programFolder) {
    return QFileInfo(QDir(programFolder).filePath(QStringLiteral("../share/zelmora"))).isDir();
}

bool programFolderHoldsData(const QString& programFolder) {
    return !isInstalledProgramFolder(programFolder) && isWritableFolder(programFolder);
}

QString chooseDataFolder(const QStringList& arguments, const QString& programFolder, const QString& configFolder,
                         const std::function<bool(const QString&)>& isWritable) {
    const QString commandLine = arguments.join(QLatin1Char(' '));
    if (!commandLine.isEmpty())
        return commandLine;
    if (isWritable(programFolder) || configFolder.isEmpty())
        return programFolder;
    return configFolder;
}

void InitializeStartupState(Settings& settings, AppState& appState, const QString& dataFolder,
                            const QString& programFolder, const QString& logonName) {
    const QDir data(dataFolder);
    appState.settingsFilePath = data.filePath(kSettingsFileName);
    appState.userDataFilePath = data.filePath(kUserDataFileName);
    appState.helpFilePath = findHelpFile(programFolder);
    settings.connection = ConnectionSettings{}; // program name and URL included
    appState.logonName = logonName.isEmpty() ? QStringLiteral("COMMON") : logonName;
    settings.connection.HERE_POSITION = QStringLiteral("在席");
    settings.connection.HERE_TELNO.clear();
    ResetUserSettings(settings.user);
    qCInfo(lcApp) << "data folder" << dataFolder << "logon name" << appState.logonName;
}

EnvironmentProblem checkEnvironment(const QString& dataFolder, const QString& webEngineProcess) {
    if (!fileSystemUsable(dataFolder)) {
        qCWarning(lcApp) << "data folder not usable:" << dataFolder;
        return EnvironmentProblem::FileSystem;
    }
    if (!regularExpressionsWork()) {
        qCWarning(lcApp) << "regular expression engine does not work as needed";
        return EnvironmentProblem::RegularExpressions;
    }
    if (!webEngineProcess.isEmpty() && !QFileInfo(webEngineProcess).isExecutable()) {
        qCWarning(lcApp) << "browser helper program missing:" << webEngineProcess;
        return EnvironmentProblem::Browser;
    }
    return EnvironmentProblem::None;
}

void reportEnvironmentProblem(EnvironmentProblem problem) {
    switch (problem) {
    case EnvironmentProblem::None:
        return;
    case EnvironmentProblem::FileSystem:
    case EnvironmentProblem::RegularExpressions:
        showMessage(kTitleError, MsgIcon::Critical, kScriptingHostMessage);
        return;
    case EnvironmentProblem::Browser:
        showMessage(kTitleError, MsgIcon::Critical, kBrowserMessage);
        return;
    }
}

QString defaultWebEngineProcessPath() {
    const QString fromEnvironment = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath))
        .filePath(QStringLiteral("QtWebEngineProcess"));
}

CommonSettingsOutcome handleCommonSettingsResult(qint16 result) {
    switch (result) {
    case SettingsDeclined:
        qCInfo(lcApp) << "settings file missing; the user chose not to create it";
        return CommonSettingsOutcome::End;
    case SettingsMissing:
        qCInfo(lcApp) << "settings file missing; first setup";
        return CommonSettingsOutcome::FirstSetup;
    case SettingsError:
        qCWarning(lcApp) << "[COMMON] has an error; defaults used";
        showMessage(MessageRequest{kTitleConfirm, MsgIcon::Information, kCommonDefaultsMessage, MsgButtons::Ok, true});
        return CommonSettingsOutcome::Continue;
    default:
        return CommonSettingsOutcome::Continue;
    }
}

} // namespace zelmora
