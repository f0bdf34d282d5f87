#include "ui/SyncSound.h"

#include "ui/WavDuration.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace zelmora::ui {

namespace {
constexpr qint64 kMarginMs = 2000;
constexpr qint64 kUnknownLengthMs = 10000;
constexpr qint64 kLongestWaitMs = 60000;
} // namespace

void PlaySoundSync(const QString& path) {
    // QSoundEffect "plays" silently without a device and may never report the end.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    QSoundEffect effect;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    const qint64 length = WavDurationMs(path).value_or(kUnknownLengthMs);
    bound.setInterval(int(qBound<qint64>(kMarginMs, length + kMarginMs, kLongestWaitMs)));
    bool started = false;
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Ready && !started) {
            started = true;
            effect.play();
        } else if (effect.status() == QSoundEffect::Error) {
            loop.quit();
        }
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect.isPlaying())
            loop.quit();
    });
    effect.setSource(QUrl::fromLocalFile(path));
    if (effect.status() == QSoundEffect::Error)
        return;
    if (effect.status() == QSoundEffect::Ready && !started) {
        started = true;
        effect.play();
    }
    bound.start();
    loop.exec();
    effect.stop();
}

} // namespace zelmora::ui
