#pragma once

#include "core/IdleTimeScale.h"
#include "ui/IdleTimeReader.h"

#include <QElapsedTimer>

namespace zelmora::ui {

// Session idle time over the session bus: GNOME's compositor (Mutter's IdleMonitor, in
// milliseconds) or a freedesktop screen saver service (KDE, Xfce, ...; unit varies). Both work on
// Wayland, where no program sees the global pointer.
class DBusIdleSource : public IdleTimeReader {
public:
    enum class Kind { MutterIdleMonitor, FreedesktopScreenSaver };

    explicit DBusIdleSource(Kind kind);

    QString name() const override;
    std::optional<qint64> idleSeconds() override;

private:
    std::optional<quint64> readIdleTime() const;

    Kind m_kind;
    IdleTimeScale m_scale;
    QElapsedTimer m_sinceLastReading;
};

} // namespace zelmora::ui
