#pragma once

#include <QWebEnginePage>

#include <functional>

namespace zelmora::ui {

// The web page of a browser window: a page that asks for a new window ("target=_blank",
// window.open) gets one from the window's opener, and a navigation to anything but a web address
// is refused (the engine would hand "mailto:", "file:" or a custom scheme to the desktop).
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    using WindowFactory = std::function<QWebEnginePage*()>;

    explicit BrowserPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setWindowFactory(WindowFactory factory) { m_windowFactory = std::move(factory); }

signals:
    // A navigation that was not allowed, for the window to tell its user.
    void navigationRefused(const QUrl& url);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    WindowFactory m_windowFactory;
};

} // namespace zelmora::ui
