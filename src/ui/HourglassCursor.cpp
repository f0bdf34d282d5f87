#include "ui/HourglassCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace zelmora::ui {

HourglassCursor::HourglassCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_active = true;
}

HourglassCursor::~HourglassCursor() {
    restore();
}

void HourglassCursor::restore() {
    if (!m_active)
        return;
    m_active = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace zelmora::ui
