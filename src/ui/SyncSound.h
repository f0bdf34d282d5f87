#pragma once

#include <QString>

namespace zelmora::ui {

// Plays a WAV file and returns when it has ended, keeping the event loop running meanwhile. The
// wait is bounded by the file's playing time (plus a margin, at most a minute), so a sound that
// never reports its end, or a file the player cannot read, never holds the caller. Without an
// audio output nothing is played and the call returns at once.
void PlaySoundSync(const QString& path);

} // namespace zelmora::ui
