#include "ui/QtTranslations.h"

#include "core/Logging.h"
#include "ui/QtGapTranslator.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zelmora::ui {

QStringList qtTranslationFolders(const QString& programDir) {
    const QDir program(programDir);
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath), program.filePath(QStringLiteral("translations")),
            QDir::cleanPath(program.filePath(QStringLiteral("../share/zelmora/translations")))};
}

void useJapaneseDates() {
    // Qt reads LC_ALL, then LC_TIME, then LANG for the system locale's dates; it needs no installed
    // C library locale for that. A Japanese LC_ALL is left as it is; another one becomes LANG, so the
    // other categories (the character set above all) stay what the session chose.
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty() && !all.startsWith("ja")) {
        qputenv("LANG", all);
        qunsetenv("LC_ALL");
    }
    qputenv("LC_TIME", "ja_JP.UTF-8");
}

QString installQtTranslations(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QCoreApplication::installTranslator(new QtGapTranslator(&app));
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
