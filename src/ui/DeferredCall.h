#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace zelmora::ui {

// A one-shot timer that runs a function after the current event (a menu's or a click's handler)
// has returned. Used where an action must not run inside the handler that asked for it, such as
// opening a browser window from a menu command while the menu is still closing.
class DeferredCall : public QObject {
    Q_OBJECT
public:
    DeferredCall(int intervalMs, std::function<void()> function, QObject* parent = nullptr);

    // Arms the timer; a second start before the tick restarts it, so the function runs once.
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    int interval() const { return m_timer.interval(); }

private:
    QTimer m_timer;
    std::function<void()> m_function;
};

} // namespace zelmora::ui
