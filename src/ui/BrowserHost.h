#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zelmora::ui {

// The browser windows as the resident controller sees them. The implementation (BrowserPages)
// lives with the web engine in a module of its own that is loaded on the first page, so that a
// program at rest never maps the engine's libraries nor creates an OpenGL context.
class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    // Program URL, credentials for the web server's own authentication, the bound on each page
    // load, and the proxy (0 the system's settings, 1 none, 2 the given HTTP proxy).
    virtual void setProgramUrl(const QString& programUrl) = 0;
    virtual void setServerCredentials(const QString& user, const QString& password) = 0;
    virtual void setTimeoutSeconds(int seconds) = 0;
    virtual void setProxy(int mode, const QString& server, qint32 port) = 0;

    // The top page, logged in when userId is not 0; a groupware page after logging in; any
    // address without login. Each returns the new window (null when it was closed meanwhile).
    virtual QWidget* OpenTopPage(qint32 userId, const QString& password) = 0;
    virtual QWidget* OpenPage(const QString& url, qint32 userId, const QString& password) = 0;
    virtual QWidget* OpenAddress(const QString& address) = 0;

    // Whether the web engine has been started, and the windows shown now.
    virtual bool engineStarted() const = 0;
    virtual QList<QWidget*> openWindowWidgets() const = 0;
};

using BrowserHostFactory = std::function<std::unique_ptr<BrowserHost>()>;

// How the resident controller gets its browser host. By default the browser module is loaded
// (see BrowserModule.h); tests that link the implementation set a factory of their own.
void setBrowserHostFactory(BrowserHostFactory factory);
std::unique_ptr<BrowserHost> createBrowserHost();

} // namespace zelmora::ui
