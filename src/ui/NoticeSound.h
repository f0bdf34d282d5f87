#pragma once

#include <QString>

#include <functional>

namespace zelmora::ui {

// The sound of the notice and alarm windows: the WAV file ALARM_SOUNDFILE played asynchronously,
// or the standard beep when no file is set. A file that cannot be played gives no sound at all
// (no beep in its place) and no message. Without an audio output nothing is played: the sound is
// a courtesy, the window itself is the cue. Several sounds may play at once.
void PlayNoticeSound(const QString& soundFile);

// Replaces the player (tests record the calls instead of playing); returns the previous one. An
// empty function restores the real player.
using SoundPlayer = std::function<void(const QString& soundFile)>;
SoundPlayer setSoundPlayer(SoundPlayer player);

} // namespace zelmora::ui
