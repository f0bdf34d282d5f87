#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace zelmora {

// The help is an HTML guide opened in the desktop's browser. A copy beside the program wins
// (a portable folder), then the guide of an installation under <prefix>/share, then the copy
// the build puts into the build folder, so that a program run from there finds it too.
inline const QString kHelpFileName = QStringLiteral("ゼルモラ.html");

// The places looked at, in order, as clean absolute paths.
QStringList helpFileCandidates(const QString& programFolder);

// The first candidate that is a file, or an empty string.
QString findHelpFile(const QString& programFolder,
                     const std::function<bool(const QString&)>& isFile = std::function<bool(const QString&)>());

// Opens the help (`open` hands a URL to the desktop). `helpFilePath` is the file found at start-up;
// when it is gone, the candidates are looked at again. A help that cannot be found or opened is
// reported in a message instead of doing nothing. Returns whether the help was handed over.
bool ShowHelp(const QString& helpFilePath, const QString& programFolder, const std::function<bool(const QUrl&)>& open);

} // namespace zelmora
