#pragma once

#include "groupware/BrowserLogin.h"
#include "ui/BrowserDownloads.h"
#include "ui/BrowserHost.h"
#include "ui/BrowserWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineProfile;

namespace zelmora::ui {

// Opens groupware pages in browser windows of our own, logged in by posting the login form first.
// The web engine is heavy (a hundred megabytes and more): nothing of it exists until the first
// page is opened; then one profile serves every window. Its cookies are its own, so every window
// logs in for itself, as a new browser would.
class BrowserPages : public QObject, public BrowserHost {
    Q_OBJECT
public:
    explicit BrowserPages(QObject* parent = nullptr);
    ~BrowserPages() override;

    // Program URL, credentials for the web server's own authentication, and the bound on each
    // page load (the request time-out).
    void setProgramUrl(const QString& programUrl) override { m_programUrl = programUrl; }
    void setServerCredentials(const QString& user, const QString& password) override;
    void setTimeoutSeconds(int seconds) override { m_timeoutSeconds = seconds; }
    // The web engine has its own network stack that only follows the application proxy: 0 the
    // system's settings, 1 none, 2 the given HTTP proxy.
    void setProxy(int mode, const QString& server, qint32 port) override;

    // The top page, logged in when userId is not 0.
    BrowserWindow* OpenTopPage(qint32 userId, const QString& password) override;
    // A groupware page after logging in; with userId 0 the program URL is shown instead.
    BrowserWindow* OpenPage(const QString& url, qint32 userId, const QString& password) override;
    // Any address, no login.
    BrowserWindow* OpenAddress(const QString& address) override;

    // Whether the web engine has been started (for tests of the lazy start).
    bool engineStarted() const override { return m_profile != nullptr; }
    QList<BrowserWindow*> openWindows() const;
    QList<QWidget*> openWindowWidgets() const override;

    // The downloads' file chooser (tests replace the desktop's).
    void setSaveChooser(BrowserDownloads::SaveChooser chooser) { m_downloads.setSaveChooser(std::move(chooser)); }

private:
    QWebEngineProfile* profile();
    // A new window on the one profile, with the server logon for the server's origin; pages in it
    // open their new windows through here too.
    BrowserWindow* newWindow();
    BrowserWindow* open(const QList<BrowserNavigation>& navigations);
    BrowserWindow* windowOf(QWebEnginePage* page) const;

    QWebEngineProfile* m_profile = nullptr;
    QList<QPointer<BrowserWindow>> m_windows;
    QString m_programUrl;
    QString m_serverUser;
    QString m_serverPassword;
    int m_timeoutSeconds = 180;
    BrowserDownloads m_downloads;
};

} // namespace zelmora::ui
