#pragma once

#include <QObject>
#include <QTimer>

class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace zelmora::ui {

// The notification-area icon of the resident controller. At login the panel that hosts tray
// icons may come up after us, and QSystemTrayIcon decides once whether a tray exists: so
// AddTrayIcon keeps asking for a while before it gives up and reports unavailable().
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
    // No tray appeared within the retry time: the program has to do without one.
    void unavailable();

private:
    void tryShow();

    QMenu* m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QTimer m_retry;
    int m_attemptsLeft = 30;
    int m_attempts = 30;
};

} // namespace zelmora::ui
