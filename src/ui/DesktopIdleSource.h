#pragma once

#include "core/IdleSource.h"
#include "ui/IdleTimeReader.h"

#include <QString>

#include <memory>
#include <vector>

namespace zelmora::ui {

// The idle source of the desktop session, chosen in order of preference: Mutter's IdleMonitor, in
// a Wayland session the compositor's ext-idle-notify-v1 then org_kde_kwin_idle, the freedesktop
// screen saver, and on real X11 only the X screen saver extension then the global pointer. The first that answers is
// used; when it stops answering, the next sample chooses again. When nothing answers the idle detection keeps the user
// present.
class DesktopIdleSource : public IdleSource {
public:
    DesktopIdleSource();
    // For tests: the idle-time readers to try, and whether the pointer may be used.
    DesktopIdleSource(std::vector<std::unique_ptr<IdleTimeReader>> readers, bool cursorUsable);
    ~DesktopIdleSource() override;

    std::optional<QPoint> cursorPosition() override;
    std::optional<qint64> sessionIdleSeconds() override;

    // Name of the source in use ("Mutter IdleMonitor", "X11 cursor position"), empty when none.
    QString name() const;
    // Chooses a source now; false when none answers.
    bool select();

private:
    enum class Choice { None, Reader, Cursor };
    std::optional<qint64> selectReader();

    std::vector<std::unique_ptr<IdleTimeReader>> m_readers;
    bool m_cursorUsable;
    Choice m_choice = Choice::None;
    IdleTimeReader* m_reader = nullptr;
};

} // namespace zelmora::ui
