#pragma once

#include "groupware/BrowserLogin.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class QAuthenticator;
class QLabel;
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

    // Credentials for a web server that asks for HTTP authentication, and the address of the
    // server they belong to. Only a request to that server's origin (scheme, host, port) is
    // answered, once per window (a second request means they were refused); every other request
    // is refused and the window says so.
    void setServerCredentials(const QString& user, const QString& password);
    void setServerOrigin(const QUrl& programUrl) { m_serverOrigin = programUrl; }

    // Where a page's new window ("target=_blank", window.open) comes from; without one the page
    // cannot open windows.
    using WindowFactory = std::function<BrowserWindow*()>;
    void setWindowFactory(WindowFactory factory);

    // A line at the foot of the window: what was refused, how a download goes.
    void showNotice(const QString& text);
    QString notice() const;

    // Runs the navigations in order, waiting (with the event loop running) for each one that
    // asks for it, then shows the window. `timeoutMs` bounds each wait.
    void run(const QList<BrowserNavigation>& navigations, int timeoutMs);

    QWebEngineView* view() const { return m_view; }

    // The window whose page opened this one, if any; and whether this one still shows nothing
    // (a new window whose link turned out to be a download).
    BrowserWindow* opener() const { return m_opener.data(); }
    bool isEmpty() const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void navigate(const BrowserNavigation& navigation);
    bool waitForLoad(int timeoutMs);

    void onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator);

    QWebEngineView* m_view = nullptr;
    QLabel* m_notice = nullptr;
    QPointer<BrowserWindow> m_opener;
    QUrl m_serverOrigin;
    QString m_serverUser;
    QString m_serverPassword;
    bool m_authenticationAnswered = false;
    bool m_closed = false;
};

} // namespace zelmora::ui
