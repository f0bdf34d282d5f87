#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace zelmora::ui {

// Qt's own texts (the buttons of message boxes, the file chooser) in Japanese: "qtbase_ja" from
// Qt's translations folder, else from a copy beside the program. Returns the file loaded, or an
// empty text when none was found (Qt's texts then stay English).
QString installQtTranslations(QCoreApplication& app);

// The folders searched, in order: Qt's translations folder, then `programDir`/translations and
// `programDir`/../share/zelmora/translations.
QStringList qtTranslationFolders(const QString& programDir);

} // namespace zelmora::ui
