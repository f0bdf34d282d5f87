#pragma once

#include "groupware/BrowserLogin.h"

#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace zelmora::ui {

// One browser window on a groupware page. It stays hidden while its navigations load and is
// shown when they are done; the user closes it like any window (it deletes itself).
class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    BrowserWindow(QWebEngineProfile* profile, QWidget* parent = nullptr);
    ~BrowserWindow() override;

    // Credentials for a web server that asks for HTTP authentication; answered once per window
    // (a second request means they were refused, and the page shows the refusal).
    void setServerCredentials(const QString& user, const QString& password);

    // Runs the navigations in order, waiting (with the event loop running) for each one that
    // asks for it, then shows the window. `timeoutMs` bounds each wait.
    void run(const QList<BrowserNavigation>& navigations, int timeoutMs);

    QWebEngineView* view() const { return m_view; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void navigate(const BrowserNavigation& navigation);
    bool waitForLoad(int timeoutMs);

    QWebEngineView* m_view = nullptr;
    QString m_serverUser;
    QString m_serverPassword;
    bool m_authenticationAnswered = false;
    bool m_closed = false;
};

} // namespace zelmora::ui
