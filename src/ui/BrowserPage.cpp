#include "ui/BrowserPage.h"

#include "core/Logging.h"
#include "groupware/BrowserLogin.h"

namespace zelmora::ui {

BrowserPage::BrowserPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

QWebEnginePage* BrowserPage::createWindow(WebWindowType type) {
    Q_UNUSED(type) // tabs and dialogs alike become windows of their own
    return m_windowFactory ? m_windowFactory() : nullptr;
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // Pages build frames and pictures from about:blank, blob: and data: addresses of their own.
    const QString scheme = url.scheme().toLower();
    if (isWebAddress(url) || scheme == QLatin1String("about") || scheme == QLatin1String("blob") ||
        (!isMainFrame && scheme == QLatin1String("data")))
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    qCWarning(lcNet).noquote() << "browser refused to navigate to" << url.scheme() + QLatin1Char(':');
    emit navigationRefused(url);
    return false;
}

} // namespace zelmora::ui
