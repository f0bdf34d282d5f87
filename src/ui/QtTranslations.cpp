#include "ui/QtTranslations.h"

#include "core/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace zelmora::ui {

QStringList qtTranslationFolders(const QString& programDir) {
    const QDir program(programDir);
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath), program.filePath(QStringLiteral("translations")),
            QDir::cleanPath(program.filePath(QStringLiteral("../share/zelmora/translations")))};
}

QString installQtTranslations(QCoreApplication& app) {
    // Every text of the program is Japanese whatever the session's locale, and so are Qt's.
    for (const QString& folder : qtTranslationFolders(QCoreApplication::applicationDirPath())) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_ja"), folder)) {
            QCoreApplication::installTranslator(translator);
            qCInfo(lcApp) << "Qt translations:" << translator->filePath();
            return translator->filePath();
        }
        delete translator;
    }
    qCWarning(lcApp) << "qtbase_ja not found: Qt's own texts stay English; install qt6-translations-l10n";
    return {};
}

} // namespace zelmora::ui
