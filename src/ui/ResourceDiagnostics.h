#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace zelmora::ui {

// What the running program holds, for support: a resident program must not grow over weeks.
struct ResourceSample {
    qint64 rssKb = -1;       // resident memory (-1 where /proc is missing)
    int menuActions = 0;     // items of every menu, the tray menu included
    int actions = 0;         // actions alive under the windows and the application object
    int topLevelWidgets = 0; // windows, menus and pop-ups, hidden ones included
    int visibleTopLevel = 0; // of those, the ones shown
    int objects = 0;         // objects under the windows and the application
};

ResourceSample sampleResources();
// "rss_kb=… menu_actions=… actions=… top_level=… visible=… objects=…", one log line.
QString describe(const ResourceSample& sample);

// Timers are left out: most are members of their windows, not children, and cannot be found.
// Logs a sample on zelmora.diag once per period (a minute) and when the application quits; inert,
// not even started, unless that category is switched on.
class ResourceDiagnostics : public QObject {
    Q_OBJECT
public:
    explicit ResourceDiagnostics(int periodMs, QObject* parent = nullptr);

    // Starts the periodic log when zelmora.diag is on; false (and nothing runs) otherwise.
    bool startIfEnabled();

private:
    static constexpr int kRetryMs = 50;

    void sampleAtRest();
    void log(const char* when);

    QTimer m_timer;
    bool m_exitLogged = false;
};

} // namespace zelmora::ui
