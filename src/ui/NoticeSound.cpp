#include "ui/NoticeSound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace zelmora::ui {

namespace {
// A sound that never reports its end is given up after this long.
constexpr int kLongestSoundMs = 120000;

SoundPlayer& player() {
    static SoundPlayer p;
    return p;
}

void playFile(const QString& soundFile) {
    // Without a device QSoundEffect "plays" silently and may never report the end.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    auto* effect = new QSoundEffect(qApp);
    auto finish = [effect] { effect->deleteLater(); };
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect, finish] {
        if (effect->status() == QSoundEffect::Ready && !effect->isPlaying())
            effect->play();
        else if (effect->status() == QSoundEffect::Error)
            finish();
    });
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect, finish] {
        if (!effect->isPlaying())
            finish();
    });
    QTimer::singleShot(kLongestSoundMs, effect, finish);
    effect->setSource(QUrl::fromLocalFile(soundFile));
    if (effect->status() == QSoundEffect::Ready && !effect->isPlaying())
        effect->play();
}
} // namespace

void PlayNoticeSound(const QString& soundFile) {
    if (player()) {
        player()(soundFile);
        return;
    }
    if (soundFile.isEmpty())
        QApplication::beep();
    else
        playFile(soundFile);
}

SoundPlayer setSoundPlayer(SoundPlayer p) {
    return std::exchange(player(), std::move(p));
}

} // namespace zelmora::ui
