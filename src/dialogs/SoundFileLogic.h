#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zelmora {

// The notification sound of the settings dialog: which files it takes and where its chooser starts.

inline const QString kSoundChooserTitle = QStringLiteral("WAVﾌｧｲﾙ選択");
// The two filters of the chooser, the first preselected.
inline const QString kSoundChooserFilter = QStringLiteral("WAVﾌｧｲﾙ (*.wav);;すべてのﾌｧｲﾙ (*.*)");

// True when the file name's extension is "wav" in any letter case.
bool IsWavFileName(const QString& path);

struct SoundChooserStart {
    QString folder;
    QString file; // preselected file name, empty for none
};

// Where the chooser opens: beside the file already named (which is preselected); otherwise in the
// system's sound folder (WINDIR + "/MEDIA" where that variable is set), else the first existing
// folder of `soundFolders` (the user's sound or music folders), else the program's folder.
SoundChooserStart SoundChooserStartFor(const QString& currentFile, const QString& windir,
                                       const QStringList& soundFolders, const QString& programFolder);

} // namespace zelmora
