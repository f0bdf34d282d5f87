#pragma once

#include <QObject>
#include <QTimer>

class QDBusServiceWatcher;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace zelmora::ui {

// The notification-area icon of the resident controller. At login the panel that hosts tray
// icons may come up after us, and Qt decides once per process, at its first question, whether a
// StatusNotifier tray exists: so Qt is asked only once a StatusNotifier host is registered on the
// session bus (or on X11, where an XEmbed tray is looked up anew each time). The session bus is
// watched for org.kde.StatusNotifierWatcher: a panel that starts late, or starts again, gets the
// icon. When no tray can be expected at all (no watcher, no XEmbed tray) unavailable() comes at
// once; otherwise after the retry time.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QMenu* menu, QObject* parent = nullptr);
    ~TrayIcon() override;

    // How long to keep looking for a tray (defaults: every 2 s for 60 s).
    void setRetry(int intervalMs, int attempts);

    void AddTrayIcon();
    void RemoveTrayIcon();
    bool isShown() const;
    // The platform's icon once a tray has been found, else nullptr.
    QSystemTrayIcon* systemTrayIcon() const { return m_icon; }

    static QIcon programIcon();

signals:
    void leftClicked();
    void shown();
    // No tray can be expected now, or none appeared within the retry time: the program has to do
    // without one until shown() comes (once per stretch without a tray).
    void unavailable();

private:
    void tryShow();
    void onWatcherRegistered();
    void reportUnavailable();
    static bool trayExpected();

    QMenu* m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QTimer m_retry;
    QDBusServiceWatcher* m_watcher = nullptr;
    int m_attemptsLeft = 30;
    int m_attempts = 30;
    bool m_added = false;
    bool m_unavailableReported = false;
};

} // namespace zelmora::ui
