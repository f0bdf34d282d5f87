#include "ui/TrayIcon.h"

#include "core/MessageBox.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace zelmora::ui {

TrayIcon::TrayIcon(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu) {
    m_retry.setInterval(2000);
    connect(&m_retry, &QTimer::timeout, this, &TrayIcon::tryShow);
}

TrayIcon::~TrayIcon() {
    RemoveTrayIcon();
}

QIcon TrayIcon::programIcon() {
    return QIcon(QStringLiteral(":/zelmora/icons/zelmora.svg"));
}

void TrayIcon::setRetry(int intervalMs, int attempts) {
    m_retry.setInterval(intervalMs);
    m_attempts = attempts;
}

void TrayIcon::AddTrayIcon() {
    m_attemptsLeft = m_attempts;
    tryShow();
}

void TrayIcon::tryShow() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_retry.stop();
        if (!m_icon) {
            m_icon = new QSystemTrayIcon(programIcon(), this);
            m_icon->setToolTip(kProgramName);
            m_icon->setContextMenu(m_menu);
            connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit leftClicked();
            });
        }
        m_icon->show();
        emit shown();
        return;
    }
    if (m_attemptsLeft-- > 0) {
        if (!m_retry.isActive())
            m_retry.start();
        return;
    }
    m_retry.stop();
    emit unavailable();
}

void TrayIcon::RemoveTrayIcon() {
    m_retry.stop();
    if (m_icon) {
        m_icon->hide();
        m_icon->setContextMenu(nullptr);
        delete m_icon;
        m_icon = nullptr;
    }
}

bool TrayIcon::isShown() const {
    return m_icon && m_icon->isVisible();
}

} // namespace zelmora::ui
