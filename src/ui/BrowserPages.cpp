#include "ui/BrowserPages.h"

#include "groupware/BrowserLogin.h"
#include "ui/BrowserWindow.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace zelmora::ui {

BrowserPages::BrowserPages(QObject* parent)
    : QObject(parent), m_downloads([this](QWebEnginePage* page) { return windowOf(page); }) {}

BrowserPages::~BrowserPages() {
    // Pages must be gone before the profile they use.
    for (const QPointer<BrowserWindow>& window : m_windows)
        delete window.data();
    delete m_profile;
}

void BrowserPages::setServerCredentials(const QString& user, const QString& password) {
    m_serverUser = user;
    m_serverPassword = password;
}

void BrowserPages::setProxy(int mode, const QString& server, qint32 port) {
    switch (mode) {
    case 1:
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        break;
    case 2:
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, server, port > 0 && port <= 65535 ? quint16(port) : quint16(0)));
        break;
    default:
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        break;
    }
}

QWebEngineProfile* BrowserPages::profile() {
    if (!m_profile) {
        // Off the record: no cookies or cache on disk, and every navigation asks the server
        // anew, as the groupware's pages must never come from a cache.
        m_profile = new QWebEngineProfile;
        m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        // The groupware opens its link box and some pages with window.open.
        m_profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        connect(m_profile, &QWebEngineProfile::downloadRequested, &m_downloads, &BrowserDownloads::onDownloadRequested);
    }
    return m_profile;
}

QList<BrowserWindow*> BrowserPages::openWindows() const {
    QList<BrowserWindow*> windows;
    for (const QPointer<BrowserWindow>& window : m_windows) {
        if (window && window->isVisible())
            windows.append(window.data());
    }
    return windows;
}

QList<QWidget*> BrowserPages::openWindowWidgets() const {
    QList<QWidget*> widgets;
    for (BrowserWindow* window : openWindows())
        widgets.append(window);
    return widgets;
}

BrowserWindow* BrowserPages::newWindow() {
    m_windows.removeAll(nullptr);
    auto* window = new BrowserWindow(profile());
    window->setServerCredentials(m_serverUser, m_serverPassword);
    window->setServerOrigin(QUrl(m_programUrl));
    window->setWindowFactory([this] { return newWindow(); });
    m_windows.append(window);
    return window;
}

BrowserWindow* BrowserPages::windowOf(QWebEnginePage* page) const {
    for (const QPointer<BrowserWindow>& window : m_windows) {
        if (window && page && window->view()->page() == page)
            return window.data();
    }
    return nullptr;
}

BrowserWindow* BrowserPages::open(const QList<BrowserNavigation>& navigations) {
    if (navigations.isEmpty())
        return nullptr;
    BrowserWindow* window = newWindow();
    QPointer<BrowserWindow> guard(window);
    window->run(navigations, qMax(1, m_timeoutSeconds) * 1000);
    return guard.data();
}

BrowserWindow* BrowserPages::OpenTopPage(qint32 userId, const QString& password) {
    return open(topPageNavigations(m_programUrl, userId, password));
}

BrowserWindow* BrowserPages::OpenPage(const QString& url, qint32 userId, const QString& password) {
    return open(pageNavigations(m_programUrl, url, userId, password));
}

BrowserWindow* BrowserPages::OpenAddress(const QString& address) {
    return open(plainNavigations(address));
}

} // namespace zelmora::ui
