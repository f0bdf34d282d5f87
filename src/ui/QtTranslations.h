#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace zelmora::ui {

// Qt's own texts (the buttons of message boxes, the file chooser) in Japanese: "qtbase_ja" from
// Qt's translations folder, else from a copy beside the program. Returns the file loaded, or an
// empty text when none was found (Qt's texts then stay English).
// Also installs the texts Qt's translation lacks (QtGapTranslator) and makes Japanese the default
// locale (numbers, file kinds).
QString installQtTranslations(QCoreApplication& app);

// Before the application object: dates that Qt formats in the system locale (the file chooser's
// "更新日" column) are Japanese whatever the session's LC_TIME or LANG say.
void useJapaneseDates();

// The folders searched, in order: Qt's translations folder, then `programDir`/translations and
// `programDir`/../share/zelmora/translations.
QStringList qtTranslationFolders(const QString& programDir);

} // namespace zelmora::ui
