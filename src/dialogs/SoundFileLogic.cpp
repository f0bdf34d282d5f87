#include "dialogs/SoundFileLogic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zelmora {

bool IsWavFileName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

SoundChooserStart SoundChooserStartFor(const QString& currentFile, const QString& windir,
                                       const QStringList& soundFolders, const QString& programFolder) {
    if (!currentFile.isEmpty()) {
        const QFileInfo info(currentFile);
        return {info.absolutePath(), info.fileName()};
    }
    if (!windir.isEmpty())
        return {QDir(windir).filePath(QStringLiteral("MEDIA")), {}};
    for (const QString& folder : soundFolders) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return {folder, {}};
    }
    return {programFolder, {}};
}

} // namespace zelmora
