#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QSystemTrayIcon;

namespace zelmora::ui {

// Posts a notification to the desktop's notification service, in addition to our own windows:
// org.freedesktop.Notifications on the session bus when it is there, else a balloon of the tray
// icon when the tray can show messages. A click on the notification (its default action) runs the
// function given with it. Nothing is shown where neither exists.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);
    ~DesktopNotifier() override;

    // The tray icon for the fallback; it must be shown for balloons to appear.
    void setTrayIcon(QSystemTrayIcon* tray);

    // Posts one notification; returns false when there is no service to post it to.
    virtual bool notify(const QString& title, const QString& body, std::function<void()> activated);

    // Whether the session bus offers the notification service (running or activatable).
    static bool hasNotificationService();

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool notifyOverBus(const QString& title, const QString& body, std::function<void()> activated);
    bool notifyOverTray(const QString& title, const QString& body, std::function<void()> activated);
    void connectBusSignals();

    QPointer<QSystemTrayIcon> m_tray;
    std::function<void()> m_trayActivated;
    QHash<uint, std::function<void()>> m_pending;
    bool m_busConnected = false;
};

} // namespace zelmora::ui
