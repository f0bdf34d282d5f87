#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace zelmora::ui {

// Makes a window ignore the user's input without greying it out, the way a disabled top-level
// window behaves on the desktop: clicks, keys, wheel and context-menu requests for the window or
// any widget inside it are dropped while blocked. The window's controls keep their own enabled
// state, so the few that must look disabled are disabled separately.
class InputBlocker : public QObject {
    Q_OBJECT
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

    void setBlocked(bool blocked);
    bool isBlocked() const { return m_blocked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    bool m_blocked = false;
};

} // namespace zelmora::ui
