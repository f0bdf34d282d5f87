#include "ui/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace zelmora::ui {

namespace {
bool isInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}
} // namespace

InputBlocker::InputBlocker(QWidget* window) : QObject(window), m_window(window) {}

InputBlocker::~InputBlocker() {
    setBlocked(false);
}

void InputBlocker::setBlocked(bool blocked) {
    if (blocked == m_blocked)
        return;
    m_blocked = blocked;
    if (blocked)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!m_blocked || !m_window || !isInputEvent(event->type()) || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == m_window || m_window->isAncestorOf(widget);
}

} // namespace zelmora::ui
