#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace zelmora {

struct AppState;
struct Settings;

// The first stage of the program's start: data folder, defaults, the environment it needs and the
// common settings. Widget-free; main.cpp shows the windows around it.

inline const QString kSettingsFileName = QStringLiteral("Zelmora.ini");
inline const QString kUserDataFileName = QStringLiteral("UserData.dat");

// "Version 1.2.3 (2002/06/30)": the label of the splash window.
QString versionLabelText(int major, int minor, int revision);

// The folder of Zelmora.ini and UserData.dat: the arguments joined by single spaces when there are
// any (a folder whose name holds spaces may be given unquoted), else the program's folder, or
// `configFolder` (the per-user configuration folder) when the program's folder is not writable.
QString chooseDataFolder(const QStringList& arguments, const QString& programFolder, const QString& configFolder,
                         const std::function<bool(const QString&)>& isWritable);
bool isWritableFolder(const QString& folder);
// Whether the program runs from an installation (<prefix>/bin beside <prefix>/share/zelmora). Such a
// folder never holds the data files, even when it is writable (a run as root would otherwise write
// Zelmora.ini into /usr/bin, where the package manager neither expects nor removes it).
bool isInstalledProgramFolder(const QString& programFolder);
// The program folder as a data folder: writable and not an installation.
bool programFolderHoldsData(const QString& programFolder);

// Paths (the help file: the first found by findHelpFile, or empty), connection defaults and the program URL, the logon
// name, HERE_POSITION "在席" and an empty HERE_TELNO, and the per-user defaults.
void InitializeStartupState(Settings& settings, AppState& appState, const QString& dataFolder,
                            const QString& programFolder, const QString& logonName);

// What the environment check found missing; each has its message.
enum class EnvironmentProblem {
    None,
    FileSystem,         // the data folder can neither be found nor created, or not listed
    RegularExpressions, // the pattern engine rejects or misreads the program's pattern dialect
    Browser,            // the embedded browser's helper process is not installed
};

// Checks in order: the data folder (created when missing), the regular-expression engine, then
// whether the browser component can run (`webEngineProcess`: path of its helper program; empty
// skips the check for builds without the browser).
EnvironmentProblem checkEnvironment(const QString& dataFolder, const QString& webEngineProcess);
// Shows the message of a problem (critical, "エラー"); nothing for None.
void reportEnvironmentProblem(EnvironmentProblem problem);
// The helper program of Qt WebEngine as this installation would start it: QTWEBENGINEPROCESS_PATH
// when set, else QtWebEngineProcess in Qt's folder of helper programs.
QString defaultWebEngineProcessPath();

// How the start goes on after ReadCommonSettings.
enum class CommonSettingsOutcome {
    End,        // the file is missing and the user chose not to create it: end without a message
    FirstSetup, // the file is missing and will be created: the launch begins with the settings dialog
    Continue,   // read, or read with an error after the defaults-used message
};
// Maps the result of ReadCommonSettings and shows the defaults-used message for an error.
CommonSettingsOutcome handleCommonSettingsResult(qint16 result);

} // namespace zelmora
