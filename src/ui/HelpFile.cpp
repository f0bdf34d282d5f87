#include "ui/HelpFile.h"

#include "core/Logging.h"
#include "core/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace zelmora {

namespace {
const QString kInstalledHelp = QStringLiteral("share/zelmora/help/index.html");

bool existingFile(const QString& path) {
    return QFileInfo(path).isFile();
}

void reportMissing(const QStringList& searched) {
    showMessage(kTitleError, MsgIcon::Warning,
                QStringLiteral("ヘルプファイルが見つかりません.\r\n次の場所を探しました:\r\n") +
                    searched.join(QStringLiteral("\r\n")));
}
} // namespace

QStringList helpFileCandidates(const QString& programFolder) {
    const QDir program(QFileInfo(programFolder).absoluteFilePath());
    return {
        QDir::cleanPath(program.filePath(kHelpFileName)),
        // <prefix>/bin/zelmora and <prefix>/share/zelmora/help
        QDir::cleanPath(program.filePath(QStringLiteral("../") + kInstalledHelp)),
        // <build>/src/app/zelmora and <build>/share/zelmora/help
        QDir::cleanPath(program.filePath(QStringLiteral("../../") + kInstalledHelp)),
    };
}

QString findHelpFile(const QString& programFolder, const std::function<bool(const QString&)>& isFile) {
    const auto exists = isFile ? isFile : existingFile;
    for (const QString& candidate : helpFileCandidates(programFolder)) {
        if (exists(candidate))
            return candidate;
    }
    return QString();
}

bool ShowHelp(const QString& helpFilePath, const QString& programFolder, const std::function<bool(const QUrl&)>& open) {
    QString path = helpFilePath;
    if (path.isEmpty() || !existingFile(path))
        path = findHelpFile(programFolder);
    if (path.isEmpty()) {
        qCWarning(lcApp) << "no help file in" << helpFileCandidates(programFolder);
        reportMissing(helpFileCandidates(programFolder));
        return false;
    }
    if (!open(QUrl::fromLocalFile(path))) {
        qCWarning(lcApp) << "help file could not be opened:" << path;
        showMessage(kTitleError, MsgIcon::Warning,
                    QStringLiteral("ヘルプファイルを開けませんでした.\r\n") + path +
                        QStringLiteral("\r\nHTMLファイルを開くブラウザが設定されているか確認して下さい."));
        return false;
    }
    qCInfo(lcApp) << "help opened:" << path;
    return true;
}

} // namespace zelmora
